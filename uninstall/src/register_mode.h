#pragma once

#include <string>
#include <string_view>

#include "prompts.h"

namespace uninstall {

// The main program's file name, as the build names it.
std::wstring_view MainProgramFileName();

// The main program expected beside the program at `ownPath`: its path trimmed of white space
// and cut after the last "\" or "/", then the main program's file name.
std::wstring MainProgramBeside(std::wstring_view ownPath);

// Register mode: records the main program beside `ownPath` and the version under the local
// machine's install key. Only a refused write access is told to the user. True when both
// values were written.
bool RegisterInstallation(std::wstring_view ownPath, host::PromptService& prompts);

inline constexpr wchar_t kRegisterDeniedText[] = L"注册软件失败, 请以管理员身份运行此程序";

}  // namespace uninstall
