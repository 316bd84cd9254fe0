#include "register_mode.h"

#include "platform/errors.h"
#include "platform/registry.h"
#include "product.h"

#ifndef TOVI_MAIN_PROGRAM_FILE
#error "TOVI_MAIN_PROGRAM_FILE names the main program's file"
#endif

namespace uninstall {
namespace {

std::wstring_view Trim(std::wstring_view s) {
    constexpr std::wstring_view blanks = L" \t\r\n\v\f";
    const std::size_t begin = s.find_first_not_of(blanks);
    if (begin == std::wstring_view::npos) {
        return {};
    }
    return s.substr(begin, s.find_last_not_of(blanks) - begin + 1);
}

}  // namespace

std::wstring_view MainProgramFileName() {
    return TOVI_MAIN_PROGRAM_FILE;
}

std::wstring MainProgramBeside(std::wstring_view ownPath) {
    const std::wstring_view path = Trim(ownPath);
    const std::size_t cut = path.find_last_of(L"\\/");
    std::wstring folder(cut == std::wstring_view::npos ? std::wstring_view()
                                                       : path.substr(0, cut + 1));
    return folder + std::wstring(MainProgramFileName());
}

bool RegisterInstallation(std::wstring_view ownPath, host::PromptService& prompts) {
    if (Trim(ownPath).empty()) {
        return false;
    }
    const std::wstring mainProgram = MainProgramBeside(ownPath);
    platform::RegKey key;
    const platform::LONG opened =
        key.Create(platform::RegRoot::LocalMachine, kInstallKey, platform::kKeyWrite);
    if (opened == static_cast<platform::LONG>(platform::kErrorAccessDenied)) {
        prompts.Show({kRegisterDeniedText, host::PromptButtons::Ok, host::PromptIcon::Warning,
                      kProgramTitle});
        return false;
    }
    if (opened != 0) {
        return false;
    }
    const bool pathWritten = key.SetString(kPathValue, mainProgram) == 0;
    const bool versionWritten = key.SetString(kVersionValue, kProductVersion) == 0;
    return pathWritten && versionWritten;
}

}  // namespace uninstall
