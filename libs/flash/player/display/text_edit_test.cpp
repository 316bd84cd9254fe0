// Editing a field's text at its selection: what restrict and maxChars let in, deleting, and
// caret movements.
#include "display/text_edit.h"

#include <gtest/gtest.h>

namespace flash {
namespace {

TEST(CharRestrictionTest, PatternsAdmitTheirCharacters) {
    struct Case {
        const char16_t* pattern;
        const char16_t* typed;
        const char16_t* admitted;
    } cases[] = {
        {u"bc", u"aAbBcCdD", u"bbcc"},  // the other case of an allowed letter goes in
        {u"a-z", u"aZ09-", u"az"},      // a range
        {u"z-a", u"m", u"m"},           // a range either way round
        {u"^0-9", u"a1b2", u"ab"},      // everything but what "^" refuses
        {u"A-Z^Q", u"AQqZ", u"AZ"},     // refused in both cases
        {u"0-9^5", u"159", u"19"},      // refused after allowed
        {u"\\-\\^", u"-^a", u"-^"},     // escaped specials stand for themselves
        {u"", u"abc", u""},             // an empty pattern allows nothing
        {u"a-", u"a-b", u"a-"},         // a dash at the end is a character
    };
    for (const Case& c : cases) {
        CharRestriction restriction(c.pattern);
        std::u16string admitted;
        for (const char16_t* p = c.typed; *p != 0; ++p) {
            if (std::optional<char16_t> in = restriction.Admit(*p)) {
                admitted += *in;
            }
        }
        EXPECT_EQ(admitted, std::u16string(c.admitted))
            << std::string(c.pattern, c.pattern + std::char_traits<char16_t>::length(c.pattern));
    }
}

TEST(TextEditTest, InsertKeepsWithinMaxCharsAndRestrict) {
    CharRestriction bc(u"bc");
    struct Case {
        const char* name;
        const char16_t* text;
        std::size_t begin, end;
        const char16_t* typed;
        EditLimits limits;
        const char16_t* result;
        std::size_t caret;
    } cases[] = {
        {"at the caret", u"ac", 1, 1, u"b", {}, u"abc", 2},
        {"over the selection", u"abcd", 1, 3, u"X", {}, u"aXd", 2},
        {"up to maxChars", u"", 0, 0, u"abcdef", {3, nullptr, false}, u"abc", 3},
        {"the selection makes room", u"abc", 0, 3, u"xyz", {3, nullptr, false}, u"xyz", 3},
        {"restrict before maxChars", u"", 0, 0, u"aAbBcC", {3, &bc, false}, u"bbc", 3},
        {"nothing admitted keeps the text", u"xy", 0, 2, u"aaa", {0, &bc, false}, u"xy", 2},
        {"single line drops breaks", u"", 0, 0, u"a\r\nb", {}, u"ab", 2},
        {"multiline keeps one \\r per break",
         u"",
         0,
         0,
         u"a\r\nb\nc",
         {0, nullptr, true},
         u"a\rb\rc",
         5},
        {"control characters stay out", u"", 0, 0, u"\x1b\x08q", {}, u"q", 1},
        {"a selection past the end", u"ab", 9, 9, u"c", {}, u"abc", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::u16string text = c.text;
        TextSelection s;
        s.Select(c.begin, c.end);
        std::optional<TextChange> change = TypingChange(text, s, c.typed, c.limits);
        if (change) {
            ApplyChange(text, s, *change);
        }
        EXPECT_EQ(text, std::u16string(c.result));
        EXPECT_EQ(change.has_value(), text != std::u16string(c.text));
        EXPECT_EQ(s.caret, c.caret);
    }
}

TEST(TextEditTest, DeleteTakesTheSelectionOrOneCharacter) {
    struct Case {
        bool forward;
        std::size_t begin, end;
        const char16_t* result;
        std::size_t caret;
        bool changed;
    } cases[] = {
        {false, 2, 2, u"acd", 1, true},   {true, 2, 2, u"abd", 2, true},
        {false, 0, 0, u"abcd", 0, false}, {true, 4, 4, u"abcd", 4, false},
        {false, 3, 1, u"ad", 1, true},    {true, 1, 3, u"ad", 1, true},
    };
    for (const Case& c : cases) {
        std::u16string text = u"abcd";
        TextSelection s;
        s.Select(c.begin, c.end);
        std::optional<TextChange> change = DeletionChange(text, s, c.forward);
        if (change) {
            ApplyChange(text, s, *change);
        }
        EXPECT_EQ(change.has_value(), c.changed);
        EXPECT_EQ(text, std::u16string(c.result));
        EXPECT_EQ(s.caret, c.caret);
    }
}

TEST(TextEditTest, CaretMovesByCharacterAndParagraph) {
    const std::u16string text = u"abc\rde\rfghi";
    struct Case {
        const char* name;
        std::size_t anchor, caret;
        CaretMove move;
        bool extend;
        std::size_t newAnchor, newCaret;
    } cases[] = {
        {"left", 2, 2, CaretMove::Left, false, 1, 1},
        {"left at the start", 0, 0, CaretMove::Left, false, 0, 0},
        {"left collapses a selection to its start", 1, 3, CaretMove::Left, false, 1, 1},
        {"right collapses a selection to its end", 3, 1, CaretMove::Right, false, 3, 3},
        {"shift right grows the selection", 1, 2, CaretMove::Right, true, 1, 3},
        {"home", 5, 5, CaretMove::LineStart, false, 4, 4},
        {"end", 4, 4, CaretMove::LineEnd, false, 6, 6},
        {"shift end", 4, 4, CaretMove::LineEnd, true, 4, 6},
        {"down keeps the column", 1, 1, CaretMove::Down, false, 5, 5},
        {"down to a shorter paragraph", 3, 3, CaretMove::Down, false, 6, 6},
        {"down on the last paragraph", 8, 8, CaretMove::Down, false, 11, 11},
        {"up keeps the column", 9, 9, CaretMove::Up, false, 6, 6},
        {"up on the first paragraph", 2, 2, CaretMove::Up, false, 0, 0},
        {"text end", 0, 0, CaretMove::End, false, 11, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextSelection s{c.anchor, c.caret};
        MoveCaret(text, s, c.move, c.extend);
        EXPECT_EQ(s.anchor, c.newAnchor);
        EXPECT_EQ(s.caret, c.newCaret);
    }
}

}  // namespace
}  // namespace flash
