// A real SIGTERM while a modal dialog is open: the dialog is cancelled, later prompts are not
// shown, and the main window closes.
#include "host/end_on_signal.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/msgdlg.h>
// After the message dialog base it builds on.
#include <wx/generic/msgdlgg.h>
#include <wx/timer.h>

#include <csignal>

#include "tovi/testing/gui.h"

namespace {

TEST(EndOnSignal, ASignalCancelsTheOpenDialogAndClosesTheMainWindow) {
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        host::ResetEnding();
        auto* top = new wxFrame(nullptr, wxID_ANY, "main");
        wxTheApp->SetTopWindow(top);
        bool closed = false;
        top->Bind(wxEVT_CLOSE_WINDOW, [&](wxCloseEvent& event) {
            closed = true;
            event.Skip();
        });
        host::EndOnSignals();

        wxGenericMessageDialog box(top, "question", "caption", wxYES_NO);
        wxTimer watchdog;
        watchdog.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            ADD_FAILURE() << "the dialog stayed open";
            box.EndModal(wxID_YES);
        });
        watchdog.StartOnce(10000);
        box.CallAfter([signal] { std::raise(signal); });
        EXPECT_EQ(box.ShowModal(), wxID_CANCEL);
        watchdog.Stop();
        EXPECT_TRUE(host::IsEnding());

        wxGenericMessageDialog later(top, "later", "caption", wxOK);
        EXPECT_EQ(later.ShowModal(), wxID_CANCEL);
        EXPECT_TRUE(tovi::testing::PumpEventsUntil([&] { return closed; }));
        wxTheApp->SetTopWindow(nullptr);
    }
    host::ResetEnding();
}

}  // namespace
