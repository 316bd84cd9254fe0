#pragma once

#include <string>

#include "platform/types.h"

namespace platform {

// The system's message text for a Windows error code, as FormatMessageW gives it: Chinese,
// ending with CR LF. A code without a message gives an empty text.
std::wstring SystemErrorText(DWORD code);

}  // namespace platform
