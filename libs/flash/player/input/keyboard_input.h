#pragma once

#include <cstdint>
#include <set>

namespace flash {

class DisplayObject;
class Runtime;

// The keyboard as the movie sees it: the keys held (Key.isDown), the last key and its
// character (Key.getCode, Key.getAscii), the toggle keys, and the object that has the
// keyboard focus. Key codes are Flash's (Key.LEFT is 37, letters are their capitals).
// Each call runs the scripts it sets off before it returns: the focused object's
// onKeyDown/onKeyUp, clip events and Key listeners, then buttons' key press actions.
class KeyboardInput {
  public:
    explicit KeyboardInput(Runtime& runtime);

    void Down(int code, char32_t character);
    void Up(int code, char32_t character);

    bool IsDown(int code) const { return held_.contains(code); }
    bool IsToggled(int code) const;
    int LastCode() const { return lastCode_; }
    int LastAscii() const { return lastAscii_; }

    DisplayObject* Focus() const { return focus_; }
    // Moves the focus, telling the objects (onKillFocus, onSetFocus) and Selection's
    // listeners; null takes it away.
    void SetFocus(DisplayObject* object);

    // An object going away loses the focus without events.
    void Forget(const DisplayObject& object);

    // The code a DefineButton2 key press condition uses for a key (the named keys have codes
    // 1 to 19, the others their character), or 0 for a key without one.
    static std::uint8_t ButtonKeyCode(int code, char32_t character);

  private:
    void QueueKeyPress(std::uint8_t buttonCode);

    Runtime& runtime_;
    std::set<int> held_;
    bool capsLock_ = false;
    bool numLock_ = false;
    int lastCode_ = 0;
    int lastAscii_ = 0;
    DisplayObject* focus_ = nullptr;
};

}  // namespace flash
