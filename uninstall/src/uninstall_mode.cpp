#include "uninstall_mode.h"

#include <algorithm>

#include "platform/errors.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "product.h"

namespace uninstall {

CommandLine SplitProgram(std::wstring_view command) {
    constexpr std::wstring_view blanks = L" \t";
    std::size_t i = command.find_first_not_of(blanks);
    if (i == std::wstring_view::npos) {
        return {};
    }
    CommandLine result;
    if (command[i] == L'"') {
        const std::size_t close = command.find(L'"', i + 1);
        result.program = command.substr(
            i + 1, close == std::wstring_view::npos ? std::wstring_view::npos : close - i - 1);
        i = close == std::wstring_view::npos ? command.size() : close + 1;
    } else {
        const std::size_t end = std::min(command.find_first_of(blanks, i), command.size());
        result.program = command.substr(i, end - i);
        i = end;
    }
    const std::size_t rest = command.find_first_not_of(blanks, i);
    if (rest != std::wstring_view::npos) {
        result.parameters = command.substr(rest);
    }
    return result;
}

UninstallOutcome RequestRemoval(host::PromptService& prompts) {
    const host::Message damaged{kDamagedText, host::PromptButtons::Ok, host::PromptIcon::Error,
                                kDamagedCaption};
    platform::RegKey entry;
    const platform::LONG opened =
        entry.Open(platform::RegRoot::LocalMachine, UninstallEntryKey(), platform::kKeyRead);
    if (opened == static_cast<platform::LONG>(platform::kErrorFileNotFound)) {
        prompts.Show(damaged);
        return UninstallOutcome::kNoEntry;
    }
    platform::RegValue value;
    CommandLine command;
    if (opened == 0 && entry.QueryValue(kRemovalCommandValue, &value) == 0 &&
        (value.type == platform::kRegSz || value.type == platform::kRegExpandSz)) {
        command = SplitProgram(platform::RegStringFromBytes(value.data));
    }
    if (command.program.empty()) {
        // An entry that names no removal command leaves nothing to start.
        prompts.Show(damaged);
        return UninstallOutcome::kNoEntry;
    }
    const std::intptr_t started =
        platform::ShellOpen(L"open", command.program.c_str(), command.parameters.c_str(), nullptr,
                            platform::kSwShowNormal);
    return started > 32 ? UninstallOutcome::kStarted : UninstallOutcome::kStartFailed;
}

}  // namespace uninstall
