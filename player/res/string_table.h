#pragma once

#include <string>

// The string table of ToviFlash. A command's string holds its description, a line break and
// its tooltip; the ribbon takes both from it when an element sets neither.
namespace res {

// The string with this id, or null when the table has none.
const wchar_t* FindString(int id);
// The string with this id, or an empty text.
std::wstring LoadString(int id);

struct CommandStrings {
    std::wstring description;  // before the line break
    std::wstring tooltip;      // after it
};
// A command string split at its first line break; a string without one is all description.
CommandStrings SplitCommandString(const std::wstring& text);

}  // namespace res
