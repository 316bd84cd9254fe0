#pragma once

#include "app/prompt_service.h"

class wxWindow;

// The prompt service of the running program: wxWidgets message boxes and file dialogs over
// the main window, captioned with the program's name.
class WxPrompts : public PromptService {
  public:
    PromptAnswer Message(const wxString& text, PromptButtons buttons, PromptIcon icon) override;
    std::optional<wxString> AskFile(const FileDialogRequest& request) override;
};
