#pragma once

#include <string>
#include <string_view>

#include "prompts.h"

namespace uninstall {

// A recorded command line split into its program (the first word, quotes removed) and the
// rest, which is handed on as the program's parameters unchanged.
struct CommandLine {
    std::wstring program;
    std::wstring parameters;
};
CommandLine SplitProgram(std::wstring_view command);

enum class UninstallOutcome { kNoEntry, kStarted, kStartFailed };

// Uninstall mode: finds the installation's uninstall entry under the local machine and starts
// the removal command recorded in it, detached, without waiting for it. A missing entry (or
// one without a command) gives the damaged-installation message; a failure to start is not
// reported.
UninstallOutcome RequestRemoval(host::PromptService& prompts);

inline constexpr wchar_t kDamagedText[] = L"此安装文件可能已经损坏, 无法完成卸载工作。";
inline constexpr wchar_t kDamagedCaption[] = L"卸载出错";

}  // namespace uninstall
