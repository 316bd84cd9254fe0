#include "host/testing/scripted_prompts.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>

namespace host::testing {

ScriptedPrompts::~ScriptedPrompts() {
    EXPECT_TRUE(answers.empty()) << answers.size() << " answers were not asked for";
    EXPECT_TRUE(files.empty()) << files.size() << " file dialogs were not shown";
}

PromptAnswer ScriptedPrompts::Show(const Message& message) {
    shown.push_back(message);
    if (message.buttons == PromptButtons::Ok) {
        return PromptAnswer::Ok;
    }
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << message.text.utf8_str();
        return PromptAnswer::No;
    }
    const bool yes = answers.front();
    answers.pop_front();
    return yes ? PromptAnswer::Yes : PromptAnswer::No;
}

std::optional<wxString> ScriptedPrompts::ShowFileDialog(const FileRequest& request) {
    dialogs.push_back(request);
    if (files.empty()) {
        ADD_FAILURE() << "unexpected file dialog";
        return std::nullopt;
    }
    std::optional<wxString> path = files.front();
    files.pop_front();
    return path;
}

int ScriptedPrompts::RunModal(wxDialog& dialog) {
    modals.push_back(dialog.GetTitle());
    return wxID_OK;
}

std::vector<wxString> ScriptedPrompts::Texts() const {
    std::vector<wxString> texts;
    for (const Message& m : shown) {
        texts.push_back(m.text);
    }
    return texts;
}

std::vector<wxString> ScriptedPrompts::Questions() const {
    std::vector<wxString> texts;
    for (const Message& m : shown) {
        if (m.buttons == PromptButtons::YesNo) {
            texts.push_back(m.text);
        }
    }
    return texts;
}

}  // namespace host::testing
