#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace replay {

// One event of an input.json. Positions are pixels of the view; keys carry Flash's key code
// and the character the key gives.
struct InputEvent {
    enum class Type {
        MouseMove,
        MouseDown,
        MouseUp,
        KeyDown,
        KeyUp,
        TextInput,
        TextControl,
        SetClipboardText,
        MouseWheel,
        FocusGained,
        FocusLost,
        Wait,
        Other
    };
    Type type = Type::Other;
    std::string name;  // the type as input.json gives it
    double x = 0;
    double y = 0;
    std::string button = "Left";  // "Left", "Middle", "Right"
    int keyCode = 0;
    char32_t character = 0;  // the key's character, or the first character typed
    std::string text;        // TextInput: what was typed; SetClipboardText: the text (UTF-8)
    std::string control;     // TextControl: "Enter", "Paste", ...
    double lines = 0;        // MouseWheel: lines turned, positive away from the user
};

class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Limits on what one input.json may hold.
inline constexpr std::size_t kMaxInputBytes = 8u << 20;
inline constexpr std::size_t kMaxInputValues = 1'000'000;

// Reads input.json: an array of event objects. Events of kinds not listed in InputEvent
// become Type::Other and keep their name. Throws InputError, naming the event, for text
// that is not such an array, for an event without the fields its kind needs (a mouse event
// without "pos", a key event without a known "key"), and beyond the limits above.
std::vector<InputEvent> ParseInputEvents(const std::string& json);

// Reads and parses an input.json file; InputError also for a file that cannot be read.
std::vector<InputEvent> ReadInputFile(const std::string& path);

// UTF-8 text as wide characters; a broken sequence becomes U+FFFD.
std::wstring WideText(const std::string& utf8);

// Flash's key code and character for a key as input.json names it: a name ("ArrowLeft",
// "Enter", "LeftShift", ...) or one character; key code 0 for an unknown name.
InputEvent KeyOf(const std::string& name, bool isCharacter);

}  // namespace replay
