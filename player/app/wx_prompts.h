#pragma once

#include "app/prompt_service.h"

#include <memory>

class wxFileDialog;
class wxWindow;

// The prompt service of the running program: wxWidgets message boxes and file dialogs over
// the main window, captioned with the program's name.
class WxPrompts : public PromptService {
  public:
    PromptAnswer Message(const wxString& text, PromptButtons buttons, PromptIcon icon) override;
    std::optional<wxString> ShowFileDialog(const FileDialogRequest& request) override;

    // The dialog a request shows, not shown yet.
    static std::unique_ptr<wxFileDialog> MakeFileDialog(wxWindow* owner,
                                                        const FileDialogRequest& request);
};
