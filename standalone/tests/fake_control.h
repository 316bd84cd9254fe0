#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "player_control.h"

namespace standalone::testing {

// What the fake control was asked, and how it answers. Shared with the test, so it outlives
// the window that owns the control.
struct ControlLog {
    std::vector<std::string> calls;  // "LoadMovie <path>", "Play", "GotoFrame 7", ...
    std::vector<std::uint32_t> volumes;
    bool failCreate = false;
    bool failLoad = false;
    bool actionScript3 = false;  // every loaded movie is written for ActionScript 3
    long totalFrames = 24;
    long frameNum = 3;
    long scaleMode = 0;
    std::string quality = "high";
};

// A control without a player: a plain panel that records the operations.
std::unique_ptr<PlayerControl> MakeFakeControl(std::shared_ptr<ControlLog> log);

}  // namespace standalone::testing
