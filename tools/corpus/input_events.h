#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace corpus {

// One event of a case's input.json. Positions are pixels of the viewport; keys carry
// Flash's key code and the character the key gives.
struct InputEvent {
    enum class Type { MouseMove, MouseDown, MouseUp, KeyDown, KeyUp, TextInput, TextControl, Wait,
                      Other };
    Type type = Type::Other;
    double x = 0;
    double y = 0;
    std::string button = "Left";  // "Left", "Middle", "Right"
    int keyCode = 0;
    char32_t character = 0;  // the key's character, or the text typed
    std::string control;     // TextControl: "Enter", "Paste", ...
};

class InputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads input.json: an array of event objects. Events of kinds the runner does not know
// become Type::Other. Throws InputError for text that is not such an array.
std::vector<InputEvent> ParseInputEvents(const std::string& json);

// Flash's key code and character for a key as input.json names it: a name ("ArrowLeft",
// "Enter", "LeftShift", ...) or one character; 0 for an unknown name.
InputEvent KeyOf(const std::string& name, bool isCharacter);

}  // namespace corpus
