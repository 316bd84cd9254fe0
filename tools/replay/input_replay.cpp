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

struct Control {
    const char* name;
    flash::TextCommand command;
};

constexpr Control kControls[] = {
    {"MoveLeft", flash::TextCommand::MoveLeft},
    {"MoveRight", flash::TextCommand::MoveRight},
    {"MoveUp", flash::TextCommand::MoveUp},
    {"MoveDown", flash::TextCommand::MoveDown},
    {"MoveLeftLine", flash::TextCommand::MoveLineStart},
    {"MoveRightLine", flash::TextCommand::MoveLineEnd},
    {"MoveLeftDocument", flash::TextCommand::MoveTextStart},
    {"MoveRightDocument", flash::TextCommand::MoveTextEnd},
    {"SelectLeft", flash::TextCommand::SelectLeft},
    {"SelectRight", flash::TextCommand::SelectRight},
    {"SelectUp", flash::TextCommand::SelectUp},
    {"SelectDown", flash::TextCommand::SelectDown},
    {"SelectLeftLine", flash::TextCommand::SelectLineStart},
    {"SelectRightLine", flash::TextCommand::SelectLineEnd},
    {"SelectAll", flash::TextCommand::SelectAll},
    {"Backspace", flash::TextCommand::Backspace},
    {"Delete", flash::TextCommand::Delete},
    {"Enter", flash::TextCommand::Enter},
    {"Copy", flash::TextCommand::Copy},
    {"Cut", flash::TextCommand::Cut},
    {"Paste", flash::TextCommand::Paste},
};

}  // namespace

ReplayRun::ReplayRun(flash::Player& player, std::vector<InputEvent> events, int width, int height)
    : player_(player), events_(std::move(events)) {
    player_.SetRandomSeed(kRandomSeed);
    width_ = width > 0 ? width : std::max(1, player_.StageWidth());
    height_ = height > 0 ? height : std::max(1, player_.StageHeight());
    player_.SetViewSize(width_, height_);
    player_.SetClipboard(&clipboard_);
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
        case InputEvent::Type::TextInput:
            player_.TextInput(WideText(e.text));
            break;
        case InputEvent::Type::TextControl:
            SendControl(e);
            break;
        case InputEvent::Type::SetClipboardText:
            clipboard_.SetText(WideText(e.text));
            break;
        case InputEvent::Type::MouseWheel:
            player_.MouseWheel(static_cast<int>(e.lines));
            break;
        case InputEvent::Type::FocusGained:
        case InputEvent::Type::FocusLost:
            player_.WindowFocus(e.type == InputEvent::Type::FocusGained);
            break;
        default:
            ++skipped_[e.name];
            break;
    }
}

void ReplayRun::SendControl(const InputEvent& e) {
    for (const Control& c : kControls) {
        if (e.control == c.name) {
            player_.TextControl(c.command);
            return;
        }
    }
    ++skipped_[e.name + " " + e.control];
}

}  // namespace replay
