#include "input/keyboard_input.h"

#include <span>

#include "display/button_object.h"
#include "display/movie_clip.h"
#include "display/text_field.h"
#include "input/focus_order.h"
#include "input/interactive.h"
#include "input/mouse_input.h"
#include "input/text_typing.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"
#include "runtime/script_engine.h"

namespace flash {

namespace {

constexpr int kTab = 9;
constexpr int kShift = 16;
constexpr int kSpace = 32;
constexpr std::uint8_t kFirstCharacterCode = 32;  // key press codes below are named keys

avm1::Value ObjectValue(Runtime& runtime, DisplayObject* object) {
    avm1::Clip* clip = object != nullptr ? object->ScriptClip() : nullptr;
    return clip != nullptr ? avm1::Value::Obj(runtime.Vm().ObjectOf(*clip)) : avm1::Value::Null();
}

// Buttons and clips that may have key press handlers, in display order; hidden ones hear
// no key presses.
void CollectKeyTargets(DisplayObject& object, std::vector<DisplayObject*>& out) {
    if (!object.Visible()) {
        return;
    }
    if (object.GetDisplayKind() != DisplayObject::DisplayKind::Graphic) {
        out.push_back(&object);
    }
    object.ForEachChild([&out](DisplayObject& child) { CollectKeyTargets(child, out); });
}

bool HasKeyPressHandler(MovieClip& clip, std::uint8_t buttonCode) {
    const swf::PlaceObject* place = clip.PlacedBy();
    if (place == nullptr) {
        return false;
    }
    for (const swf::ClipAction& action : place->clipActions) {
        if ((action.events & swf::kClipKeyPress) != 0 && action.keyCode == buttonCode) {
            return true;
        }
    }
    return false;
}

// The object's own _focusrect, else the movie's.
bool FocusRectWanted(const DisplayObject& object) {
    return object.OwnFocusRect().value_or(object.GetRuntime().FocusRectOn());
}

}  // namespace

KeyboardInput::KeyboardInput(Runtime& runtime)
    : runtime_(runtime), typing_(std::make_unique<TextTyping>(runtime)) {}

KeyboardInput::~KeyboardInput() = default;

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

void KeyboardInput::Toggle(int code) {
    if (!toggled_.erase(code)) {
        toggled_.insert(code);
    }
}

void KeyboardInput::ButtonDown(int code) {
    held_.insert(code);
    Toggle(code);
}

void KeyboardInput::Down(int code, char32_t character) {
    held_.insert(code);
    Toggle(code);
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
    bool pressHandled = false;
    std::uint8_t buttonCode = ButtonKeyCode(code, character);
    // While a field takes typing, characters reach key press handlers as they are typed.
    if (buttonCode >= kFirstCharacterCode && TypingField() != nullptr) {
        buttonCode = 0;
    }
    if (buttonCode != 0) {
        pressHandled = QueueKeyPress(buttonCode);
        runtime_.RunQueued();
    }
    // A key press handler for Tab or Space takes the key from the focus.
    if (code == kTab && !pressHandled) {
        MoveFocusByTab();
    } else if (code == kSpace && !pressHandled) {
        ClickFocused();
    }
}

void KeyboardInput::ClickFocused() {
    DisplayObject* focus = focus_;
    if (focus == nullptr || focus->Removed() ||
        (focus->AsButton() == nullptr && focus->AsClip() == nullptr)) {
        return;
    }
    QueueButtonEvent(runtime_, *focus, swf::kCondOverUpToOverDown);
    runtime_.RunQueued();
    if (!focus->Removed()) {
        QueueButtonEvent(runtime_, *focus, swf::kCondOverDownToOverUp);
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

bool KeyboardInput::QueueKeyPress(std::uint8_t buttonCode) {
    std::vector<DisplayObject*> targets;
    for (const auto& [level, root] : runtime_.Levels()) {
        CollectKeyTargets(*root, targets);
    }
    bool handled = false;
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
                    handled = true;
                }
            }
        } else if (MovieClip* clip = target->AsClip()) {
            handled = HasKeyPressHandler(*clip, buttonCode) || handled;
            runtime_.QueueClipEvent(*clip, swf::kClipKeyPress, Runtime::Lane::Frame, false,
                                    buttonCode);
        }
    }
    return handled;
}

TextFieldObject* KeyboardInput::FocusedField() const {
    return focus_ != nullptr && !focus_->Removed() ? dynamic_cast<TextFieldObject*>(focus_)
                                                   : nullptr;
}

void KeyboardInput::SetFocus(DisplayObject* object) {
    focusByKeyboard_ = false;
    if (auto* field = dynamic_cast<TextFieldObject*>(object)) {
        field->Selection().Select(0, field->Text().size());
    }
    if (object == focus_) {
        return;
    }
    DisplayObject* old = focus_;
    focus_ = object;
    TellFocusChange(old, object);
}

void KeyboardInput::TellFocusChange(DisplayObject* old, DisplayObject* now) {
    avm1::Value oldValue = ObjectValue(runtime_, old);
    avm1::Value newValue = ObjectValue(runtime_, now);
    ScriptEngine& scripts = runtime_.Scripts();
    if (old != nullptr && !old->Removed() && old->ScriptClip() != nullptr) {
        scripts.CallHandler(*old->ScriptClip(), u"onKillFocus", std::span(&newValue, 1),
                            old->Movie().Version());
    }
    if (now != nullptr && !now->Removed() && now->ScriptClip() != nullptr) {
        scripts.CallHandler(*now->ScriptClip(), u"onSetFocus", std::span(&oldValue, 1),
                            now->Movie().Version());
    }
    if (MovieClip* root = runtime_.LevelClip(0)) {
        const avm1::Value args[] = {oldValue, newValue};
        scripts.Broadcast(u"Selection", u"onSetFocus", args, root->Movie().Version());
    }
}

void KeyboardInput::MoveFocusByTab() {
    DisplayObject* next = NextTabStop(runtime_, focus_, IsDown(kShift));
    if (next == nullptr) {
        return;
    }
    // Keyboard focus lights a button or clip up as the pointer would.
    if (dynamic_cast<TextFieldObject*>(next) == nullptr) {
        runtime_.Mouse().Highlight(next);
    }
    SetFocus(next);
    focusByKeyboard_ = true;
    focusRect_ = FocusRectWanted(*next);
}

bool KeyboardInput::ShowsFocusRect() const {
    return focusByKeyboard_ && focusRect_ && focus_ != nullptr && !focus_->Removed() &&
           dynamic_cast<TextFieldObject*>(focus_) == nullptr;
}

void KeyboardInput::WindowFocusLost() {
    if (focus_ == nullptr) {
        return;
    }
    if (focusByKeyboard_) {
        runtime_.Mouse().Highlight(nullptr);
    }
    SetFocus(nullptr);
}

void KeyboardInput::CheckRemovedFocus() {
    if (focus_ != nullptr && focus_->Removed()) {
        DisplayObject* old = focus_;
        focus_ = nullptr;
        focusByKeyboard_ = false;
        TellFocusChange(old, nullptr);
    }
}

std::optional<std::int32_t> KeyboardInput::TabIndex(const DisplayObject& object) const {
    auto it = tabIndexes_.find(&object);
    return it != tabIndexes_.end() ? std::optional<std::int32_t>(it->second) : std::nullopt;
}

void KeyboardInput::SetTabIndex(const DisplayObject& object, std::optional<std::int32_t> index) {
    if (index) {
        tabIndexes_[&object] = *index;
    } else {
        tabIndexes_.erase(&object);
    }
}

void KeyboardInput::Forget(const DisplayObject& object) {
    tabIndexes_.erase(&object);
    if (focus_ == &object) {
        focus_ = nullptr;
        focusByKeyboard_ = false;
    }
}

TextFieldObject* KeyboardInput::TypingField() const {
    TextFieldObject* field = FocusedField();
    return field != nullptr && field->Settings().editable ? field : nullptr;
}

void KeyboardInput::TextInput(avm1::StringView text) {
    TextFieldObject* field = FocusedField();
    if (field == nullptr) {
        return;
    }
    // A key press handler for a typed character takes it from the field.
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < kFirstCharacterCode || c >= 127 || TypingField() == nullptr ||
            !QueueKeyPress(static_cast<std::uint8_t>(c))) {
            continue;
        }
        if (i > from) {
            typing_->Type(*field, text.substr(from, i - from));
        }
        runtime_.RunQueued();
        from = i + 1;
        if (FocusedField() != field) {
            return;
        }
    }
    if (from < text.size()) {
        typing_->Type(*field, text.substr(from));
    }
}

void KeyboardInput::TextControl(TextCommand command) {
    if (TextFieldObject* field = FocusedField()) {
        typing_->Command(*field, command);
    }
}

void KeyboardInput::SetClipboard(Clipboard* clipboard) {
    typing_->SetClipboard(clipboard);
}

}  // namespace flash
