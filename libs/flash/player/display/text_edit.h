#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "flash/avm1/value.h"

namespace flash {

// The selection of a text field as character indexes: the caret and the other end of the
// selection. Empty when both are the same. A field keeps it while it has no focus.
struct TextSelection {
    std::size_t anchor = 0;
    std::size_t caret = 0;

    std::size_t Begin() const { return anchor < caret ? anchor : caret; }
    std::size_t End() const { return anchor < caret ? caret : anchor; }
    bool Empty() const { return anchor == caret; }
    // Selects [begin, end) with the caret at `end`.
    void Select(std::size_t begin, std::size_t end) {
        anchor = begin;
        caret = end;
    }
    void PlaceCaret(std::size_t at) { anchor = caret = at; }
    // Keeps both ends within a text of `length` characters.
    void Clamp(std::size_t length);
};

// A restrict pattern: which characters may be typed or pasted. "A-Z" ranges, "^" switches
// between allowing and refusing what follows, "\" takes the next character as it is. A
// pattern that starts with "^" allows everything it does not refuse.
class CharRestriction {
  public:
    explicit CharRestriction(avm1::StringView pattern);
    // The character as it goes in: itself, else its other case when only that is allowed.
    std::optional<char16_t> Admit(char16_t c) const;

  private:
    struct Range {
        char16_t first;
        char16_t last;
        bool allowed;
    };
    bool Allows(char16_t c) const;

    std::vector<Range> ranges_;
    bool allowedByDefault_ = false;
};

// What an edit may put into a field.
struct EditLimits {
    std::size_t maxChars = 0;  // 0: no limit
    const CharRestriction* restriction = nullptr;
    bool multiline = false;
};

// Caret movements; `extend` keeps the other end of the selection where it is.
enum class CaretMove : std::uint8_t { Left, Right, LineStart, LineEnd, Up, Down, Start, End };

// A change to a field's text: characters [begin, end) replaced by `text`.
struct TextChange {
    std::size_t begin = 0;
    std::size_t end = 0;
    avm1::String text;
};

// Edits of a field's plain text ("\r" ends a paragraph) at its selection; nothing when the
// text stays as it is.
// Typing: the selection replaced by what of `typed` restrict admits and maxChars leaves
// room for.
std::optional<TextChange> TypingChange(const avm1::String& text, const TextSelection& selection,
                                       avm1::StringView typed, const EditLimits& limits);
// Backspace and Delete: the selection, else the character before or after the caret.
std::optional<TextChange> DeletionChange(const avm1::String& text, const TextSelection& selection,
                                         bool forward);
// Makes a change to plain text; the caret goes after what went in.
void ApplyChange(avm1::String& text, TextSelection& selection, const TextChange& change);
void MoveCaret(const avm1::String& text, TextSelection& selection, CaretMove move, bool extend);

}  // namespace flash
