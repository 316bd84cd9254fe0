// The source-terms dialog under Xvfb, run modally as the view runs it.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include <functional>

#include "get_sous.h"
#include "maker_site.h"
#include "platform/shell.h"
#include "testing/scripted_prompts.h"
#include "tovi/testing/files.h"
#include "tovi/testing/gui.h"

namespace {

using tovi::testing::Bytes;

Bytes ShippedFile() {
    return tovi::testing::ReadFileBytes(tovi::testing::ProgramDir() / "Binary" / "Roles.dat");
}

void Click(wxWindow* control, wxEventType type) {
    wxCommandEvent click(type, control->GetId());
    click.SetEventObject(control);
    if (auto* box = wxDynamicCast(control, wxCheckBox)) {
        click.SetInt(box->IsChecked() ? 1 : 0);
    }
    control->ProcessWindowEvent(click);
}

// Runs `script` inside the next modal dialog's loop.
void WhenShown(std::function<void(CGetSous&)> script) {
    wxTheApp->CallAfter([script] {
        for (wxWindow* window : wxTopLevelWindows) {
            if (auto* dialog = dynamic_cast<CGetSous*>(window); dialog && dialog->IsModal()) {
                script(*dialog);
                return;
            }
        }
        ADD_FAILURE() << "no terms dialog";
    });
}

TEST(GetSousTest, GetFollowsTheAgreementBox) {
    ScriptedPrompts prompts;
    CGetSous dialog(nullptr, prompts);
    WhenShown([](CGetSous& d) {
        EXPECT_EQ(d.GetTitle(), wxS("ToviFlash播放器"));
        auto* text = wxDynamicCast(d.FindWindow(IDC_ROLES_TEXT), wxTextCtrl);
        auto* agree = wxDynamicCast(d.FindWindow(IDC_ROLES_AGREE), wxCheckBox);
        wxWindow* get = d.FindWindow(wxID_OK);
        ASSERT_TRUE(text && agree && get);
        EXPECT_TRUE(text->IsMultiLine());
        EXPECT_FALSE(text->IsEditable());
        wxString shown = text->GetValue();
        wxString expected = d.GetText();
        shown.Replace(wxS("\r"), wxString());
        expected.Replace(wxS("\r"), wxString());
        EXPECT_EQ(shown, expected);
        EXPECT_TRUE(expected.StartsWith(wxS("版本 1：ToviFlash")));
        EXPECT_EQ(agree->GetLabel(), wxS("我同意以上条款, 并承诺将遵从以上约定"));
        EXPECT_EQ(get->GetLabel(), wxS("获取"));
        EXPECT_EQ(d.FindWindow(wxID_CANCEL)->GetLabel(), wxS("关闭"));

        EXPECT_FALSE(agree->IsChecked());
        EXPECT_FALSE(get->IsEnabled());
        agree->SetValue(true);
        Click(agree, wxEVT_CHECKBOX);
        EXPECT_TRUE(get->IsEnabled());
        agree->SetValue(false);
        Click(agree, wxEVT_CHECKBOX);
        EXPECT_FALSE(get->IsEnabled());
        agree->SetValue(true);
        Click(agree, wxEVT_CHECKBOX);
        tovi::testing::PumpEvents(std::chrono::milliseconds(100));
        tovi::testing::SaveScreenshot(&d, "source_terms.png");
        Click(get, wxEVT_BUTTON);
    });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST(GetSousTest, RefusedFileShowsTheMessageAndCancels) {
    struct Case {
        const char* name;
        std::function<void(Bytes&)> change;
    };
    const Case cases[] = {
        {"1279 bytes", [](Bytes& b) { b.resize(1279); }},
        {"1745 bytes", [](Bytes& b) { b.resize(1745, 0x20); }},
        {"byte at offset 2 changed", [](Bytes& b) { b[2] = 0x49; }},
    };
    tovi::testing::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bytes = ShippedFile();
        c.change(bytes);
        const auto file = dir / "Roles.dat";
        tovi::testing::WriteFileBytes(file, bytes);
        ScriptedPrompts prompts;
        CGetSous dialog(nullptr, prompts, file.wstring());
        EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
        EXPECT_FALSE(dialog.IsShown());
        EXPECT_EQ(prompts.Texts(), std::vector<wxString>{wxString(kRolesFailedText)});
    }
}

TEST(GetSousTest, GetOpensTheSourcePageCloseDoesNot) {
    std::vector<platform::ShellRequest> opened;
    platform::SetShellRecorder([&](const platform::ShellRequest& r) { opened.push_back(r); });
    ScriptedPrompts prompts;

    WhenShown([](CGetSous& d) { Click(d.FindWindow(wxID_CANCEL), wxEVT_BUTTON); });
    ShowSourceTerms(nullptr, prompts);
    EXPECT_TRUE(opened.empty());

    WhenShown([](CGetSous& d) {
        auto* agree = wxDynamicCast(d.FindWindow(IDC_ROLES_AGREE), wxCheckBox);
        agree->SetValue(true);
        Click(agree, wxEVT_CHECKBOX);
        Click(d.FindWindow(wxID_OK), wxEVT_BUTTON);
    });
    ShowSourceTerms(nullptr, prompts);
    platform::SetShellRecorder(nullptr);
    ASSERT_EQ(opened.size(), 1u);
    ASSERT_FALSE(opened[0].arguments.empty());
    EXPECT_EQ(wxString::FromUTF8(opened[0].arguments.back()),
              wxString(kMakerSite) + wxS("/ToviFlash/Source/"));
}

}  // namespace
