#pragma once

#include <memory>

#include "host/prompts.h"

class wxFileDialog;

namespace host {

// The prompt service of a running program: wxWidgets' own message dialogs (a request to end
// can cancel them, unlike the toolkit's native ones) and file dialogs, over the main window,
// captioned with the program's name.
class WxPrompts : public PromptService {
  public:
    explicit WxPrompts(wxString caption) : caption_(std::move(caption)) {}

    PromptAnswer Show(const Message& message) override;
    std::optional<wxString> ShowFileDialog(const FileRequest& request) override;
    int RunModal(wxDialog& dialog) override;

    // The dialog a request shows, not shown yet.
    static std::unique_ptr<wxFileDialog> MakeFileDialog(const FileRequest& request);

  private:
    wxString caption_;
};

}  // namespace host
