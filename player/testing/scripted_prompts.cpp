#include "testing/scripted_prompts.h"

#include <gtest/gtest.h>

ScriptedPrompts::ScriptedPrompts() {
    SetPrompts(this);
}

ScriptedPrompts::~ScriptedPrompts() {
    SetPrompts(nullptr);
    EXPECT_TRUE(answers.empty()) << answers.size() << " answers were not asked for";
    EXPECT_TRUE(files.empty()) << files.size() << " file dialogs were not shown";
}

PromptAnswer ScriptedPrompts::Message(const wxString& text, PromptButtons buttons,
                                      PromptIcon icon) {
    shown.push_back({text, buttons, icon});
    if (buttons == PromptButtons::Ok) {
        return PromptAnswer::Ok;
    }
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.utf8_str();
        return PromptAnswer::No;
    }
    PromptAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<wxString> ScriptedPrompts::ShowFileDialog(const FileDialogRequest& request) {
    dialogs.push_back(request);
    if (files.empty()) {
        ADD_FAILURE() << "unexpected file dialog";
        return std::nullopt;
    }
    std::optional<wxString> path = files.front();
    files.pop_front();
    return path;
}

std::vector<wxString> ScriptedPrompts::Texts() const {
    std::vector<wxString> texts;
    for (const Shown& s : shown) {
        texts.push_back(s.text);
    }
    return texts;
}
