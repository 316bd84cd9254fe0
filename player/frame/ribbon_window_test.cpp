#include "ribbon_window.h"

#include <gtest/gtest.h>
#include <wx/dcclient.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/ribbon/page.h>
#include <wx/ribbon/panel.h>
#include <wx/sizer.h>

#include "image_strips.h"
#include "ribbon_layout.h"
#include "ribbon_tooltip.h"
#include "tovi/testing/gui.h"

namespace {

class RibbonWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frame =
            new wxFrame(nullptr, wxID_ANY, "ToviFlash播放器", wxDefaultPosition, wxSize(900, 500));
        ribbon::BuildLayout(model, handles, {});
        window = new ribbon::RibbonWindow(frame, model, frame, images);
        window->Realize();
        auto* sizer = new wxBoxSizer(wxVERTICAL);
        sizer->Add(window, 0, wxEXPAND);
        sizer->Add(new wxPanel(frame), 1, wxEXPAND);
        frame->SetSizer(sizer);
        frame->Layout();
        frame->Show();
        tovi::testing::PumpEvents(std::chrono::milliseconds(200));
    }
    void TearDown() override {
        frame->Destroy();
        tovi::testing::PumpEvents(std::chrono::milliseconds(20));
    }

    res::ImageStrips images;
    ribbon::Ribbon model;
    ribbon::Handles handles;
    wxFrame* frame = nullptr;
    ribbon::RibbonWindow* window = nullptr;
};

// Every element of every page is drawn inside its panel, none on top of another, and the
// pages are kept as screenshots.
TEST_F(RibbonWindowTest, EveryPageShowsAllItsElements) {
    for (size_t i = 0; i < window->bar()->GetPageCount(); ++i) {
        window->bar()->SetActivePage(i);
        tovi::testing::PumpEvents(std::chrono::milliseconds(150));
        for (const auto& panel : model.categories()[i]->panels()) {
            std::vector<wxRect> taken;
            for (const auto& e : panel->elements()) {
                wxWindow* host = nullptr;
                wxRect rect;
                ASSERT_TRUE(window->Locate(*e, &host, &rect)) << i;
                EXPECT_TRUE(host->IsShownOnScreen()) << i;
                EXPECT_FALSE(rect.IsEmpty());
                EXPECT_TRUE(wxRect(host->GetClientSize()).Contains(rect))
                    << "page " << i << " element " << e->id();
                for (const wxRect& other : taken) {
                    EXPECT_FALSE(other.Intersects(rect)) << "page " << i << " element " << e->id();
                }
                taken.push_back(rect);
            }
        }
        tovi::testing::SaveScreenshot(frame, "ribbon_page_" + std::to_string(i) + ".png");
    }
}

TEST_F(RibbonWindowTest, ToolTipShowsTheBoldTipAboveTheWrappedDescription) {
    const ribbon::Element* play = model.FindById(32777);
    wxWindow* host = nullptr;
    wxRect rect;
    ASSERT_TRUE(window->Locate(*play, &host, &rect));
    window->Hover(play, host, rect);
    window->ShowToolTipNow();
    ribbon::RichToolTip* tip = window->toolTip();
    ASSERT_TRUE(tip->IsShown());
    EXPECT_EQ(tip->tooltip(), L"播放");
    EXPECT_EQ(tip->description(), L"播放当前Flash动画");
    // Shown below the ribbon.
    EXPECT_GE(tip->GetScreenPosition().y, window->GetScreenRect().GetBottom());
    tovi::testing::SaveScreenshot(tip, "tooltip.png");
    window->Hover(nullptr, host, wxRect());
    EXPECT_FALSE(tip->IsShown());

    // Long descriptions wrap at 200 pixels; line breaks in the text are kept.
    wxClientDC dc(tip);
    wxString text =
        L"生成一个包含当前播放动画的EXE文件, 这样您可以单独打开它 and some words "
        L"that should wrap\r\n设置过大的值可能会影响性能";
    wxArrayString lines = ribbon::WrapText(dc, text, ribbon::kToolTipDescriptionWidth);
    EXPECT_GE(lines.size(), 3u);
    wxString joined;
    for (const wxString& line : lines) {
        EXPECT_LE(dc.GetTextExtent(line).x, ribbon::kToolTipDescriptionWidth) << line;
        joined += line;
    }
    EXPECT_EQ(lines.back(), L"设置过大的值可能会影响性能");
    joined.Replace(" ", "");
    wxString expected = text;
    expected.Replace("\r\n", "");
    expected.Replace(" ", "");
    EXPECT_EQ(joined, expected);
}

TEST_F(RibbonWindowTest, NarrowWindowCollapsesPanelsToTheirIcons) {
    frame->SetSize(360, 400);
    window->bar()->SetActivePage(static_cast<size_t>(1));  // "文件"
    tovi::testing::PumpEvents(std::chrono::milliseconds(200));
    wxRibbonPage* page = window->bar()->GetPage(1);
    int minimised = 0;
    for (wxWindow* child : page->GetChildren()) {
        if (auto* panel = wxDynamicCast(child, wxRibbonPanel); panel && panel->IsMinimised()) {
            ++minimised;
            EXPECT_TRUE(panel->GetMinimisedIcon().IsOk()) << panel->GetLabel();
        }
    }
    EXPECT_GT(minimised, 0);
    tovi::testing::SaveScreenshot(frame, "ribbon_collapsed_panels.png");
}

}  // namespace
