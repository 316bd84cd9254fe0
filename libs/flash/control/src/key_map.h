#pragma once

#include <optional>

#include "flash/player/player.h"

namespace flash {

// A key the window reports, as Flash's key code and the character it types.
struct FlashKey {
    int code = 0;  // 0: a key Flash has no code for
    char32_t character = 0;
};

// wxWidgets' key code (WXK_... or the key's character) with the shift state, in Flash's
// terms: letters and digits keep their capitals' codes, the punctuation keys take the codes
// of a US keyboard, and the character follows the shift state on that layout.
FlashKey FlashKeyOf(int wxKeyCode, bool shift);

// The editing command a key press gives the focused text field: arrows, Home and End (with
// Shift they select), Backspace, Delete, Enter, and Ctrl with A, C, X or V.
std::optional<TextCommand> TextCommandOf(int wxKeyCode, bool shift, bool control);

// Whether a character a key or an input method gives is text to type (not a control
// character, not a key combination with Ctrl or Alt).
bool IsTypedCharacter(char32_t character, bool controlOrAlt);

}  // namespace flash
