// What the prompt service does around its dialogs: the final name of a save and the question
// before replacing a file; where the real file dialog starts.
#include "host/prompts.h"

#include <gtest/gtest.h>
#include <wx/filedlg.h>
#include <wx/utils.h>

#include "host/testing/scripted_prompts.h"
#include "host/wx_prompts.h"
#include "tovi/testing/files.h"

namespace {

wxString W(const std::filesystem::path& p) {
    return wxString::FromUTF8(p.string());
}

TEST(PromptService, ASaveNameGetsItsExtensionAndReplacingIsAskedOfTheFinalName) {
    tovi::testing::TempDir dir;
    tovi::testing::WriteFileText(dir / "kept.swf", "x");
    host::FileRequest save;
    save.save = true;
    save.overwritePrompt = true;
    save.defaultExtension = wxS("swf");
    const struct {
        const char* typed;
        std::optional<bool> answer;  // none: nothing is asked
        const char* result;          // null: none
    } cases[] = {
        {"new", std::nullopt, "new.swf"},
        {"new.txt", std::nullopt, "new.txt"},
        {"kept", false, nullptr},
        {"kept", true, "kept.swf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        host::testing::ScriptedPrompts prompts;
        prompts.ChooseFile(W(dir / c.typed));
        if (c.answer) {
            prompts.Answer(*c.answer);
        }
        const std::optional<wxString> chosen = prompts.AskFile(save);
        EXPECT_EQ(chosen, c.result ? std::optional<wxString>(W(dir / c.result)) : std::nullopt);
        EXPECT_EQ(prompts.Questions().size(), c.answer ? 1u : 0u);
        if (c.answer) {
            EXPECT_EQ(prompts.Questions()[0], host::ReplaceQuestion(wxS("kept.swf")));
        }
    }
}

TEST(PromptService, TheFileDialogStartsInTheRequestedFolderOrTheHomeFolder) {
    tovi::testing::TempDir dir;
    for (const auto& [folder, expected] : std::vector<std::pair<wxString, wxString>>{
             {W(dir.path()), W(dir.path())}, {wxString(), wxGetHomeDir()}}) {
        host::FileRequest request;
        request.folder = folder;
        EXPECT_EQ(host::WxPrompts::MakeFileDialog(request)->GetDirectory(), expected);
    }
}

}  // namespace
