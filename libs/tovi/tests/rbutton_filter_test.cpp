// The right-button filter on real windows under Xvfb: what the control still receives, what
// the view is told, and the press handed past the filter.
#include <gtest/gtest.h>
#include <wx/evtloop.h>
#include <wx/frame.h>
#include <wx/utils.h>

#include <vector>

#include "tovi.h"
#include "tovi/testing/gui.h"

namespace {

using tovi::testing::PumpEvents;
using tovi::testing::PumpEventsUntil;

struct Seen {
    wxEventType type;
    wxPoint at;
    bool operator==(const Seen&) const = default;
};

// A window that notes the mouse events it gets. It handles the right-button press itself
// (as the control opens its menu), everything else goes on.
class Recorder : public wxWindow {
  public:
    Recorder(wxWindow* parent, const wxRect& rect)
        : wxWindow(parent, wxID_ANY, rect.GetPosition(), rect.GetSize()) {
        for (wxEventType type : {wxEVT_MOTION, wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_RIGHT_DOWN,
                                 wxEVT_RIGHT_UP}) {
            Connect(type, wxMouseEventHandler(Recorder::OnMouse));
        }
    }
    std::vector<Seen> seen;
    std::vector<wxObject*> objects;

  private:
    void OnMouse(wxMouseEvent& event) {
        seen.push_back({event.GetEventType(), event.GetPosition()});
        objects.push_back(event.GetEventObject());
        event.Skip(event.GetEventType() != wxEVT_RIGHT_DOWN);
    }
};

class RbuttonFilterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "host", wxPoint(0, 0), wxSize(400, 300));
        view = new Recorder(frame, wxRect(0, 0, 400, 300));
        control = new Recorder(view, wxRect(30, 20, 200, 150));
        frame->Show();
        PumpEventsUntil([&] { return frame->IsShownOnScreen(); });
    }
    void TearDown() override { frame->Destroy(); }

    // Delivers an event to the control as the window system does.
    bool Send(wxEventType type, wxPoint at) {
        wxMouseEvent event(type);
        event.SetPosition(at);
        event.SetEventObject(control);
        event.SetId(control->GetId());
        return control->GetEventHandler()->ProcessEvent(event);
    }

    wxEventLoop loop;
    wxEventLoopActivator activeLoop{&loop};
    wxFrame* frame = nullptr;
    Recorder* view = nullptr;
    Recorder* control = nullptr;
};

TEST_F(RbuttonFilterTest, WithholdsTheRightPressAndTellsTheViewOfTheRest) {
    EXPECT_EQ(FiterRbutton(view, control), control->GetEventHandler());
    struct Case {
        wxEventType type;
        bool control;  // the control receives it
        bool view;     // a copy is posted to the view
    };
    const Case cases[] = {
        {wxEVT_RIGHT_DOWN, false, false}, {wxEVT_RIGHT_UP, true, true},
        {wxEVT_LEFT_DOWN, true, true},    {wxEVT_MOTION, true, true},
        {wxEVT_LEFT_UP, true, false},
    };
    const wxPoint at(5, 7);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        control->seen.clear();
        view->seen.clear();
        Send(c.type, at);
        const std::vector<Seen> once{{c.type, at}};
        const std::vector<Seen> none;
        EXPECT_EQ(control->seen, c.control ? once : none);
        // Posted: the view hears of it only once events are dispatched.
        EXPECT_TRUE(view->seen.empty());
        PumpEvents(std::chrono::milliseconds(30));
        // Same parameters: the position stays in the control's client area.
        EXPECT_EQ(view->seen, c.view ? once : none);
        if (c.view && !view->objects.empty()) {
            EXPECT_EQ(view->objects.front(), view);
        }
    }
}

TEST_F(RbuttonFilterTest, InstallingTwiceForwardsOnce) {
    wxEvtHandler* first = FiterRbutton(view, control);
    EXPECT_EQ(FiterRbutton(view, control), first);
    Send(wxEVT_LEFT_DOWN, wxPoint(1, 2));
    EXPECT_FALSE(Send(wxEVT_RIGHT_DOWN, wxPoint(1, 2)));
    PumpEvents(std::chrono::milliseconds(30));
    EXPECT_EQ(view->seen, (std::vector<Seen>{{wxEVT_LEFT_DOWN, {1, 2}}}));
    EXPECT_EQ(control->seen, (std::vector<Seen>{{wxEVT_LEFT_DOWN, {1, 2}}}));
}

TEST_F(RbuttonFilterTest, PopUpHandsTheControlARightPressAtTheCursor) {
    EXPECT_EQ(PopuFlashMenu(), 0) << "nothing filtered yet";
    FiterRbutton(view, control);
    const wxPoint before = control->ScreenToClient(wxGetMousePosition());
    EXPECT_EQ(PopuFlashMenu(), 1);
    const wxPoint after = control->ScreenToClient(wxGetMousePosition());
    ASSERT_EQ(control->seen.size(), 1u);
    EXPECT_EQ(control->seen[0].type, wxEVT_RIGHT_DOWN);
    // The pointer is shared with other tests on the display: it may have moved meanwhile.
    EXPECT_TRUE(control->seen[0].at == before || control->seen[0].at == after);
    PumpEvents(std::chrono::milliseconds(30));
    EXPECT_TRUE(view->seen.empty());
    // The filter still withholds the user's own right presses.
    Send(wxEVT_RIGHT_DOWN, wxPoint(3, 3));
    EXPECT_EQ(control->seen.size(), 1u);
}

TEST_F(RbuttonFilterTest, AControlThatIsGoneIsForgotten) {
    FiterRbutton(view, control);
    control->Destroy();
    control = nullptr;
    EXPECT_EQ(PopuFlashMenu(), 0);
    // Events of other windows pass untouched.
    wxMouseEvent press(wxEVT_RIGHT_DOWN);
    press.SetEventObject(view);
    view->GetEventHandler()->ProcessEvent(press);
    EXPECT_EQ(view->seen.size(), 1u);
}

}  // namespace
