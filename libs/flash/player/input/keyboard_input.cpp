#include "input/keyboard_input.h"

#include "display/button_object.h"
#include "display/movie_clip.h"
#include "runtime/runtime.h"

namespace flash {

namespace {

constexpr int kCapsLock = 20;
constexpr int kNumLock = 144;

avm1::Value ObjectValue(Runtime& runtime, DisplayObject* object) {
    avm1::Clip* clip = object != nullptr ? object->ScriptClip() : nullptr;
    return clip != nullptr ? avm1::Value::Obj(runtime.Vm().ObjectOf(*clip)) : avm1::Value::Null();
}

// Buttons and clips that may have key press handlers, in display order.
void CollectKeyTargets(DisplayObject& object, std::vector<DisplayObject*>& out) {
    if (object.GetDisplayKind() != DisplayObject::DisplayKind::Graphic) {
        out.push_back(&object);
    }
    object.ForEachChild([&out](DisplayObject& child) { CollectKeyTargets(child, out); });
}

}  // namespace

KeyboardInput::KeyboardInput(Runtime& runtime) : runtime_(runtime) {}

std::uint8_t KeyboardInput::ButtonKeyCode(int code, char32_t character) {
    switch (code) {
        case 37:
            return 1;  // left
        case 39:
            return 2;  // right
        case 36:
            return 3;  // home
        case 35:
            return 4;  // end
        case 45:
            return 5;  // insert
        case 46:
            return 6;  // delete
        case 8:
            return 8;  // backspace
        case 13:
            return 13;  // enter
        case 38:
            return 14;  // up
        case 40:
            return 15;  // down
        case 33:
            return 16;  // page up
        case 34:
            return 17;  // page down
        case 9:
            return 18;  // tab
        case 27:
            return 19;  // escape
        default:
            break;
    }
    return character >= 32 && character < 127 ? static_cast<std::uint8_t>(character) : 0;
}

bool KeyboardInput::IsToggled(int code) const {
    if (code == kCapsLock) {
        return capsLock_;
    }
    if (code == kNumLock) {
        return numLock_;
    }
    return false;
}

void KeyboardInput::Down(int code, char32_t character) {
    held_.insert(code);
    if (code == kCapsLock) {
        capsLock_ = !capsLock_;
    } else if (code == kNumLock) {
        numLock_ = !numLock_;
    }
    lastCode_ = code;
    lastAscii_ = character < 0x10000 ? static_cast<int>(character) : 0;
    if (focus_ != nullptr && !focus_->Removed()) {
        runtime_.QueueMethod(*focus_, u"onKeyDown", Runtime::Lane::Frame);
    }
    for (MovieClip* clip : runtime_.ClipsNewestFirst()) {
        runtime_.QueueClipEvent(*clip, swf::kClipKeyDown, Runtime::Lane::Frame, false);
    }
    runtime_.QueueBroadcast(u"Key", u"onKeyDown");
    runtime_.RunQueued();
    if (std::uint8_t buttonCode = ButtonKeyCode(code, character)) {
        QueueKeyPress(buttonCode);
        runtime_.RunQueued();
    }
}

void KeyboardInput::Up(int code, char32_t character) {
    held_.erase(code);
    lastCode_ = code;
    if (character != 0 && character < 0x10000) {
        lastAscii_ = static_cast<int>(character);
    }
    if (focus_ != nullptr && !focus_->Removed()) {
        runtime_.QueueMethod(*focus_, u"onKeyUp", Runtime::Lane::Frame);
    }
    for (MovieClip* clip : runtime_.ClipsNewestFirst()) {
        runtime_.QueueClipEvent(*clip, swf::kClipKeyUp, Runtime::Lane::Frame, false);
    }
    runtime_.QueueBroadcast(u"Key", u"onKeyUp");
    runtime_.RunQueued();
}

void KeyboardInput::QueueKeyPress(std::uint8_t buttonCode) {
    std::vector<DisplayObject*> targets;
    for (const auto& [level, root] : runtime_.Levels()) {
        CollectKeyTargets(*root, targets);
    }
    for (DisplayObject* target : targets) {
        if (ButtonObject* button = target->AsButton()) {
            avm1::Clip* timeline = button->Parent();
            if (timeline == nullptr) {
                continue;
            }
            for (const swf::ButtonAction& action : button->Definition().actions) {
                if (action.keyCode == buttonCode) {
                    runtime_.QueueActionsFor(*button, *timeline, action.actions,
                                             Runtime::Lane::Frame);
                }
            }
        } else if (MovieClip* clip = target->AsClip()) {
            runtime_.QueueClipEvent(*clip, swf::kClipKeyPress, Runtime::Lane::Frame, false,
                                    buttonCode);
        }
    }
}

void KeyboardInput::SetFocus(DisplayObject* object) {
    if (object == focus_) {
        return;
    }
    DisplayObject* old = focus_;
    focus_ = object;
    avm1::Value oldValue = ObjectValue(runtime_, old);
    avm1::Value newValue = ObjectValue(runtime_, object);
    if (old != nullptr && !old->Removed()) {
        runtime_.QueueMethod(*old, u"onKillFocus", Runtime::Lane::Frame, false, {newValue});
    }
    if (object != nullptr) {
        runtime_.QueueMethod(*object, u"onSetFocus", Runtime::Lane::Frame, false, {oldValue});
    }
    runtime_.QueueBroadcast(u"Selection", u"onSetFocus", {oldValue, newValue});
}

void KeyboardInput::Forget(const DisplayObject& object) {
    if (focus_ == &object) {
        focus_ = nullptr;
    }
}

}  // namespace flash
