#pragma once

#include <string>
#include <string_view>

namespace flash {

// UTF-8 <-> wide text at the control's edge (wchar_t is UTF-32 on Linux, UTF-16 on Windows).
// Invalid input becomes U+FFFD.
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

}  // namespace flash
