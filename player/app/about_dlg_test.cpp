// The about box: its name and version, and the link that opens the maker's site through the
// shell.
#include "app/about_dlg.h"

#include <gtest/gtest.h>
#include <wx/hyperlink.h>
#include <wx/stattext.h>

#include "image_strips.h"
#include "platform/shell.h"
#include "resource_ids.h"

TEST(AboutDlg, ShowsTheVersionAndItsLinkOpensTheSiteThroughTheShell) {
    res::ImageStrips images;
    CAboutDlg about(nullptr, images);
    EXPECT_EQ(about.GetId(), IDD_ABOUTBOX);
    bool version = false;
    for (wxWindow* child : about.GetChildren()) {
        if (auto* text = wxDynamicCast(child, wxStaticText)) {
            version = version || text->GetLabel().Contains(wxS("ToviFlash播放器 V 1.0"));
        }
    }
    EXPECT_TRUE(version);

    auto* link = wxDynamicCast(about.FindWindow(IDC_ABOUT_LINK), wxHyperlinkCtrl);
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->GetURL(), kMakerWebSite);
    std::vector<platform::ShellRequest> opened;
    platform::SetShellRecorder([&](const platform::ShellRequest& r) { opened.push_back(r); });
    wxHyperlinkEvent click(link, link->GetId(), link->GetURL());
    link->GetEventHandler()->ProcessEvent(click);
    platform::SetShellRecorder(nullptr);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].arguments, std::vector<std::string>{wxString(kMakerWebSite).utf8_string()});
}
