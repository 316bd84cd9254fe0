#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "host/prompts.h"

namespace host::testing {

// The prompt service of tests: records every message, file dialog and modal dialog and
// answers from queues the test fills. A question or file dialog with no answer queued fails
// the test and is answered No or cancelled; answers left over at the end fail it too.
class ScriptedPrompts : public PromptService {
  public:
    ScriptedPrompts() = default;
    ~ScriptedPrompts() override;

    PromptAnswer Show(const Message& message) override;
    std::optional<wxString> ShowFileDialog(const FileRequest& request) override;
    int RunModal(wxDialog& dialog) override;

    ScriptedPrompts& Answer(bool yes) {
        answers.push_back(yes);
        return *this;
    }
    ScriptedPrompts& ChooseFile(std::optional<wxString> path) {
        files.push_back(std::move(path));
        return *this;
    }
    // The texts shown (messages and questions), in order.
    std::vector<wxString> Texts() const;
    // The texts of the questions only.
    std::vector<wxString> Questions() const;

    std::deque<bool> answers;
    std::deque<std::optional<wxString>> files;
    std::vector<Message> shown;
    std::vector<FileRequest> dialogs;
    std::vector<wxString> modals;  // titles of the modal dialogs run
};

}  // namespace host::testing
