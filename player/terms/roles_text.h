#pragma once

#include <wx/string.h>

#include <optional>

namespace terms {

// Reads a terms file: refused (none) when it cannot be opened, fails the length or byte
// checks, or cannot be read as a line file. The lines (at most 501, each cut at 500
// characters) are joined with CR LF; the text is shown as it stands.
std::optional<wxString> LoadRolesText(const wxString& path);

}  // namespace terms
