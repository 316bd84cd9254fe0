#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

// ShellExecute with the "open" verb. Documents, folders and web addresses go to the desktop's
// handler (xdg-open); a program file is started itself, its parameters split as a command
// line splits them and handed over as separate arguments, never through a shell. Nothing is
// waited for. The result follows ShellExecute: greater than 32 is success; 2 file not found,
// 3 path not found, 5 access denied, 31 no handler.
namespace platform {

inline constexpr int kSwHide = 0;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShow = 5;

std::intptr_t ShellOpen(const wchar_t* verb, const wchar_t* file, const wchar_t* parameters,
                        const wchar_t* directory, int showCommand);

// What ShellOpen would start: the program and its arguments.
struct ShellRequest {
    std::string program;
    std::vector<std::string> arguments;
    std::string directory;
};

// Splits parameters the way a Windows command line is split: blanks separate, double quotes
// group, backslashes before a quote escape it.
std::vector<std::wstring> SplitCommandLine(std::wstring_view parameters);

// Test hook: requests go to `recorder` instead of being started (null restores starting).
void SetShellRecorder(std::function<void(const ShellRequest&)> recorder);

}  // namespace platform
