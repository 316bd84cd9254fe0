#include "input_replay.h"

#include <algorithm>

#include "flash/player/player.h"

namespace replay {

namespace {

flash::MouseButton Button(const std::string& name) {
    if (name == "Right") {
        return flash::MouseButton::Right;
    }
    return name == "Middle" ? flash::MouseButton::Middle : flash::MouseButton::Left;
}

}  // namespace

ReplayRun::ReplayRun(flash::Player& player, std::vector<InputEvent> events, int width, int height)
    : player_(player), events_(std::move(events)) {
    player_.SetRandomSeed(kRandomSeed);
    width_ = width > 0 ? width : std::max(1, player_.StageWidth());
    height_ = height > 0 ? height : std::max(1, player_.StageHeight());
    player_.SetViewSize(width_, height_);
}

void ReplayRun::NextFrame() {
    player_.Advance();
    RunUntilWait();
}

void ReplayRun::RunUntilWait() {
    while (next_ < events_.size()) {
        const InputEvent& e = events_[next_++];
        if (e.type == InputEvent::Type::Wait) {
            return;
        }
        Send(e);
    }
}

void ReplayRun::Send(const InputEvent& e) {
    switch (e.type) {
        case InputEvent::Type::MouseMove:
            player_.MouseMove(e.x, e.y);
            break;
        case InputEvent::Type::MouseDown:
            player_.MouseDown(e.x, e.y, Button(e.button));
            break;
        case InputEvent::Type::MouseUp:
            player_.MouseUp(e.x, e.y, Button(e.button));
            break;
        case InputEvent::Type::KeyDown:
            player_.KeyDown(e.keyCode, e.character);
            break;
        case InputEvent::Type::KeyUp:
            player_.KeyUp(e.keyCode, e.character);
            break;
        default:
            ++skipped_[e.name];
            break;
    }
}

}  // namespace replay
