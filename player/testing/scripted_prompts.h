#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "app/prompt_service.h"

// A prompt service for tests: records every message and answers from queues filled by the
// test. A question or a file dialog with no answer queued fails the test and is answered No or
// cancelled. Installs itself for its lifetime.
class ScriptedPrompts : public PromptService {
  public:
    ScriptedPrompts();
    ~ScriptedPrompts() override;

    struct Shown {
        wxString text;
        PromptButtons buttons;
        PromptIcon icon;
    };

    PromptAnswer Message(const wxString& text, PromptButtons buttons, PromptIcon icon) override;
    std::optional<wxString> ShowFileDialog(const FileDialogRequest& request) override;

    ScriptedPrompts& Answer(bool yes) {
        answers.push_back(yes ? PromptAnswer::Yes : PromptAnswer::No);
        return *this;
    }
    ScriptedPrompts& ChooseFile(std::optional<wxString> path) {
        files.push_back(std::move(path));
        return *this;
    }
    // The texts shown, in order.
    std::vector<wxString> Texts() const;

    std::deque<PromptAnswer> answers;
    std::deque<std::optional<wxString>> files;
    std::vector<Shown> shown;
    std::vector<FileDialogRequest> dialogs;
};
