#pragma once

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

}  // namespace flash
