#include "testing/session_test.h"

#include "playback/flash_window.h"
#include "tovi/testing/gui.h"

void SessionTest::TearDown() {
    if (frame) {
        frame->Close(true);
        tovi::testing::PumpEventsUntil([this] { return frame == nullptr; });
    }
    session.reset();
    SetFlashWindowFactory({});
}

bool SessionTest::Start(const wxString& file) {
    return session->Start(file, [this](wxDocManager* manager, PlayerContext&) {
        frame = new TestFrame(manager);
        frame->Bind(wxEVT_DESTROY, [this](wxWindowDestroyEvent& e) {
            if (e.GetEventObject() == frame) {
                frame = nullptr;
            }
            e.Skip();
        });
        return frame;
    });
}
