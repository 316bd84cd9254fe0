#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "flash/avm1/value.h"
#include "flash/player/player.h"

namespace flash {

class DisplayObject;
class Runtime;
class TextFieldObject;
class TextTyping;

// The keyboard as the movie sees it: the keys held (Key.isDown), the last key and its
// character (Key.getCode, Key.getAscii), which keys are toggled, and the object that has the
// keyboard focus. Key codes are Flash's (Key.LEFT is 37, letters are their capitals; the
// mouse buttons are keys 1, 2 and 4). Each call runs the scripts it sets off before it
// returns: the focused object's onKeyDown/onKeyUp, clip events and Key listeners, then
// buttons' key press actions; Tab then moves the focus unless a key press took it, and Space
// clicks the focused button.
class KeyboardInput {
  public:
    explicit KeyboardInput(Runtime& runtime);
    ~KeyboardInput();

    void Down(int code, char32_t character);
    void Up(int code, char32_t character);
    // A mouse button as a key: held and toggled, without key events.
    void ButtonDown(int code);
    void ButtonUp(int code) { held_.erase(code); }

    // Typing into the focused text field.
    void TextInput(avm1::StringView text);
    void TextControl(TextCommand command);
    void SetClipboard(Clipboard* clipboard);

    bool IsDown(int code) const { return held_.contains(code); }
    // Pressed an odd number of times (Caps Lock on, and so on for every key).
    bool IsToggled(int code) const { return toggled_.contains(code); }
    int LastCode() const { return lastCode_; }
    int LastAscii() const { return lastAscii_; }

    DisplayObject* Focus() const { return focus_; }
    // The focused text field, when a text field has the focus.
    TextFieldObject* FocusedField() const;
    // The same when it takes typing (an input field).
    TextFieldObject* TypingField() const;
    // Moves the focus, telling the objects (onKillFocus, onSetFocus) and Selection's
    // listeners at once; null takes it away. A text field given the focus this way has all
    // its text selected.
    void SetFocus(DisplayObject* object);
    // Whether the focus came by Tab.
    bool FocusByKeyboard() const { return focusByKeyboard_; }
    // Whether the focused object shows the yellow focus rectangle: a button or clip that
    // took the focus by Tab while its _focusrect (its own, else the movie's) was on.
    bool ShowsFocusRect() const;

    // tabIndex of buttons, as scripts set it.
    std::optional<std::int32_t> TabIndex(const DisplayObject& object) const;
    void SetTabIndex(const DisplayObject& object, std::optional<std::int32_t> index);

    // The window lost the keyboard focus: the movie loses it too.
    void WindowFocusLost();
    // After objects left the display list: a focused one among them loses the focus, with
    // events.
    void CheckRemovedFocus();
    // An object going away for good loses the focus without events.
    void Forget(const DisplayObject& object);

    // The code a DefineButton2 key press condition uses for a key (the named keys have codes
    // 1 to 19, the others their character), or 0 for a key without one.
    static std::uint8_t ButtonKeyCode(int code, char32_t character);

  private:
    // Queues the key press actions for a key; whether any button or clip has one.
    bool QueueKeyPress(std::uint8_t buttonCode);
    void Toggle(int code);
    void MoveFocusByTab();
    // Space presses and releases the focused button or clip.
    void ClickFocused();
    void TellFocusChange(DisplayObject* old, DisplayObject* now);

    Runtime& runtime_;
    std::set<int> held_;
    std::set<int> toggled_;
    int lastCode_ = 0;
    int lastAscii_ = 0;
    DisplayObject* focus_ = nullptr;
    bool focusByKeyboard_ = false;
    bool focusRect_ = false;  // _focusrect when the focus came by Tab
    std::unique_ptr<TextTyping> typing_;
    std::map<const DisplayObject*, std::int32_t> tabIndexes_;
};

}  // namespace flash
