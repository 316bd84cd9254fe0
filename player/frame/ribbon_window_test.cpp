#include "ribbon_window.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/sizer.h>

#include <wx/image.h>
#include <wx/ribbon/page.h>
#include <wx/ribbon/panel.h>
#include "ribbon_layout.h"
#include "tovi/testing/files.h"
#include "tovi/testing/gui.h"

namespace {

class RibbonWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frame =
            new wxFrame(nullptr, wxID_ANY, "ToviFlash播放器", wxDefaultPosition, wxSize(900, 500));
        ribbon::BuildLayout(model, handles, {});
        window = new ribbon::RibbonWindow(frame, model, frame);
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

    ribbon::Ribbon model;
    ribbon::Handles handles;
    wxFrame* frame = nullptr;
    ribbon::RibbonWindow* window = nullptr;
};

TEST_F(RibbonWindowTest, Shows) {
    tovi::testing::SaveScreenshot(frame, "ribbon_now_playing.png");
    for (size_t i = 1; i < window->bar()->GetPageCount(); ++i) {
        window->bar()->SetActivePage(i);
        window->bar()->Refresh();
        ASSERT_EQ(window->bar()->GetActivePage(), static_cast<int>(i));
        tovi::testing::PumpEvents(std::chrono::milliseconds(1000));
        tovi::testing::SaveScreenshot(frame, "ribbon_page_" + std::to_string(i) + ".png");
    }
}

}  // namespace
