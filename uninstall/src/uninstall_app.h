#pragma once

#include <string>
#include <vector>

#include "command_line.h"
#include "prompts.h"
#include "unregister_mode.h"

namespace uninstall {

// The uninstaller: one mode per start, chosen by the command line, then the program ends. It
// has no window of its own; its only windows are the message boxes of its prompt service.
class CUninstallApp {
  public:
    CUninstallApp(host::PromptService& prompts, UserFiles& files)
        : prompts_(prompts), files_(files) {}

    // Runs the mode the arguments (without the program name) ask for, as the program at
    // `ownPath`; returns the mode's result, which the program reports to no one.
    bool Run(const std::vector<std::wstring>& arguments, const std::wstring& ownPath);

    Mode mode() const { return mode_; }

  private:
    host::PromptService& prompts_;
    UserFiles& files_;
    Mode mode_ = Mode::Uninstall;
};

}  // namespace uninstall
