#pragma once

#include <gtest/gtest.h>
#include <wx/evtloop.h>

#include <memory>

#include "app/player_session.h"
#include "image_strips.h"
#include "testing/scripted_prompts.h"
#include "testing/test_frame.h"

// Base of tests that run a player session on a TestFrame. The session, with fresh settings
// and lists, the prompts the test answers and its own image strips, exists from the start;
// Start brings it up. At the end the main window closes, the session ends and the flash
// window factory the test set is forgotten.
class SessionTest : public ::testing::Test {
  protected:
    void TearDown() override;
    bool Start(const wxString& file = {});

    PlayerSettings& Settings() { return session->Settings(); }
    MediaLists& Lists() { return session->Lists(); }

    // Timers need an active event loop to be dispatched while the test pumps events.
    wxEventLoop loop;
    wxEventLoopActivator activeLoop{&loop};
    ScriptedPrompts prompts;
    res::ImageStrips images;
    std::unique_ptr<PlayerSession> session = std::make_unique<PlayerSession>(prompts, images);
    TestFrame* frame = nullptr;
};
