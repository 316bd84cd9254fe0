#include "key_map.h"

#include <wx/defs.h>

namespace flash {

namespace {

struct Special {
    int wx;
    int flash;
    char32_t character;
};

constexpr Special kSpecial[] = {
    {WXK_BACK, 8, 8},
    {WXK_TAB, 9, 9},
    {WXK_RETURN, 13, 13},
    {WXK_NUMPAD_ENTER, 13, 13},
    {WXK_ESCAPE, 27, 27},
    {WXK_SPACE, 32, 32},
    {WXK_DELETE, 46, 127},
    {WXK_NUMPAD_DELETE, 46, 127},
    {WXK_SHIFT, 16, 0},
    {WXK_CONTROL, 17, 0},
    {WXK_ALT, 18, 0},
    {WXK_CAPITAL, 20, 0},
    {WXK_PAGEUP, 33, 0},
    {WXK_PAGEDOWN, 34, 0},
    {WXK_END, 35, 0},
    {WXK_HOME, 36, 0},
    {WXK_LEFT, 37, 0},
    {WXK_UP, 38, 0},
    {WXK_RIGHT, 39, 0},
    {WXK_DOWN, 40, 0},
    {WXK_INSERT, 45, 0},
    {WXK_NUMPAD_LEFT, 37, 0},
    {WXK_NUMPAD_UP, 38, 0},
    {WXK_NUMPAD_RIGHT, 39, 0},
    {WXK_NUMPAD_DOWN, 40, 0},
    {WXK_NUMPAD_HOME, 36, 0},
    {WXK_NUMPAD_END, 35, 0},
    {WXK_NUMPAD_PAGEUP, 33, 0},
    {WXK_NUMPAD_PAGEDOWN, 34, 0},
    {WXK_NUMPAD_INSERT, 45, 0},
    {WXK_MULTIPLY, 106, U'*'},
    {WXK_NUMPAD_MULTIPLY, 106, U'*'},
    {WXK_ADD, 107, U'+'},
    {WXK_NUMPAD_ADD, 107, U'+'},
    {WXK_SUBTRACT, 109, U'-'},
    {WXK_NUMPAD_SUBTRACT, 109, U'-'},
    {WXK_DECIMAL, 110, U'.'},
    {WXK_NUMPAD_DECIMAL, 110, U'.'},
    {WXK_DIVIDE, 111, U'/'},
    {WXK_NUMPAD_DIVIDE, 111, U'/'},
};

// The punctuation keys of a US keyboard: the character, its shifted one, the key code.
struct Punctuation {
    char32_t plain;
    char32_t shifted;
    int flash;
};

constexpr Punctuation kPunctuation[] = {
    {U';', U':', 186},  {U'=', U'+', 187}, {U',', U'<', 188},  {U'-', U'_', 189},
    {U'.', U'>', 190},  {U'/', U'?', 191}, {U'`', U'~', 192},  {U'[', U'{', 219},
    {U'\\', U'|', 220}, {U']', U'}', 221}, {U'\'', U'"', 222},
};

constexpr char32_t kShiftedDigits[] = U")!@#$%^&*(";

struct Editing {
    int wx;
    TextCommand plain;
    TextCommand shifted;
};

constexpr Editing kEditing[] = {
    {WXK_LEFT, TextCommand::MoveLeft, TextCommand::SelectLeft},
    {WXK_NUMPAD_LEFT, TextCommand::MoveLeft, TextCommand::SelectLeft},
    {WXK_RIGHT, TextCommand::MoveRight, TextCommand::SelectRight},
    {WXK_NUMPAD_RIGHT, TextCommand::MoveRight, TextCommand::SelectRight},
    {WXK_UP, TextCommand::MoveUp, TextCommand::SelectUp},
    {WXK_NUMPAD_UP, TextCommand::MoveUp, TextCommand::SelectUp},
    {WXK_DOWN, TextCommand::MoveDown, TextCommand::SelectDown},
    {WXK_NUMPAD_DOWN, TextCommand::MoveDown, TextCommand::SelectDown},
    {WXK_HOME, TextCommand::MoveLineStart, TextCommand::SelectLineStart},
    {WXK_NUMPAD_HOME, TextCommand::MoveLineStart, TextCommand::SelectLineStart},
    {WXK_END, TextCommand::MoveLineEnd, TextCommand::SelectLineEnd},
    {WXK_NUMPAD_END, TextCommand::MoveLineEnd, TextCommand::SelectLineEnd},
    {WXK_BACK, TextCommand::Backspace, TextCommand::Backspace},
    {WXK_DELETE, TextCommand::Delete, TextCommand::Delete},
    {WXK_NUMPAD_DELETE, TextCommand::Delete, TextCommand::Delete},
    {WXK_RETURN, TextCommand::Enter, TextCommand::Enter},
    {WXK_NUMPAD_ENTER, TextCommand::Enter, TextCommand::Enter},
};

struct Shortcut {
    int letter;
    TextCommand command;
};

constexpr Shortcut kShortcuts[] = {
    {'A', TextCommand::SelectAll},
    {'C', TextCommand::Copy},
    {'X', TextCommand::Cut},
    {'V', TextCommand::Paste},
};

}  // namespace

FlashKey FlashKeyOf(int wxKeyCode, bool shift) {
    for (const Special& s : kSpecial) {
        if (s.wx == wxKeyCode) {
            return {s.flash, s.character};
        }
    }
    if (wxKeyCode >= WXK_NUMPAD0 && wxKeyCode <= WXK_NUMPAD9) {
        const int digit = wxKeyCode - WXK_NUMPAD0;
        return {96 + digit, static_cast<char32_t>(U'0' + digit)};
    }
    if (wxKeyCode >= WXK_F1 && wxKeyCode <= WXK_F12) {
        return {112 + (wxKeyCode - WXK_F1), 0};
    }
    if (wxKeyCode >= 'A' && wxKeyCode <= 'Z') {
        return {wxKeyCode, static_cast<char32_t>(shift ? wxKeyCode : wxKeyCode - 'A' + 'a')};
    }
    if (wxKeyCode >= 'a' && wxKeyCode <= 'z') {
        const int upper = wxKeyCode - 'a' + 'A';
        return {upper, static_cast<char32_t>(shift ? upper : wxKeyCode)};
    }
    if (wxKeyCode >= '0' && wxKeyCode <= '9') {
        return {wxKeyCode,
                shift ? kShiftedDigits[wxKeyCode - '0'] : static_cast<char32_t>(wxKeyCode)};
    }
    for (const Punctuation& p : kPunctuation) {
        if (static_cast<char32_t>(wxKeyCode) == p.plain ||
            static_cast<char32_t>(wxKeyCode) == p.shifted) {
            return {p.flash, shift ? p.shifted : p.plain};
        }
    }
    return {};
}

std::optional<TextCommand> TextCommandOf(int wxKeyCode, bool shift, bool control) {
    if (control) {
        const int letter = wxKeyCode >= 'a' && wxKeyCode <= 'z' ? wxKeyCode - 'a' + 'A' : wxKeyCode;
        for (const Shortcut& s : kShortcuts) {
            if (s.letter == letter) {
                return s.command;
            }
        }
        return std::nullopt;
    }
    for (const Editing& e : kEditing) {
        if (e.wx == wxKeyCode) {
            return shift ? e.shifted : e.plain;
        }
    }
    return std::nullopt;
}

bool IsTypedCharacter(char32_t character, bool controlOrAlt) {
    return !controlOrAlt && character >= 0x20 && character != 0x7F &&
           !(character >= 0x80 && character < 0xA0) && character <= 0x10FFFF;
}

}  // namespace flash
