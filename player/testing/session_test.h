#pragma once

#include <gtest/gtest.h>
#include <wx/evtloop.h>

#include <memory>

#include "app/player_session.h"
#include "testing/test_frame.h"

// Base of tests that run a player session on a TestFrame: starts it, and at the end closes
// the main window, ends the session and forgets the flash window factory the test set.
class SessionTest : public ::testing::Test {
  protected:
    void TearDown() override;
    bool Start(const wxString& file = {});

    // Timers need an active event loop to be dispatched while the test pumps events.
    wxEventLoop loop;
    wxEventLoopActivator activeLoop{&loop};
    std::unique_ptr<PlayerSession> session;
    TestFrame* frame = nullptr;
};
