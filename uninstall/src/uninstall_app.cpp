#include "uninstall_app.h"

#include "platform/folders.h"
#include "register_mode.h"
#include "uninstall_mode.h"

namespace uninstall {

bool CUninstallApp::Run(const std::vector<std::wstring>& arguments, const std::wstring& ownPath) {
    mode_ = ModeFromCommandLine(arguments);
    switch (mode_) {
        case Mode::Register:
            return RegisterInstallation(ownPath, prompts_);
        case Mode::Unregister:
            return UnregisterUser(platform::GetAppDataFolder(), files_);
        case Mode::Uninstall:
            return RequestRemoval(prompts_) == UninstallOutcome::kStarted;
    }
    return false;
}

}  // namespace uninstall
