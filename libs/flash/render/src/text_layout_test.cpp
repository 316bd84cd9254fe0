// Edit text layout: paragraphs from plain and HTML text, wrapping, alignment and line
// placement, with every character half its em size wide.
#include "text_layout.h"

#include <gtest/gtest.h>

namespace flash::render {
namespace {

const MeasureChar kHalfEm = [](char32_t, double size) { return size / 2; };

StyledChar Style(double size = 200) {
    StyledChar s;
    s.size = size;
    s.color = Rgba{0, 0, 0, 255};
    return s;
}

std::u32string Text(const Paragraph& p) {
    std::u32string out;
    for (const StyledChar& c : p.chars) {
        out += c.ch;
    }
    return out;
}

// Lines as strings, split where the baseline changes.
std::vector<std::u32string> Lines(const std::vector<PlacedChar>& placed) {
    std::vector<std::u32string> out;
    double y = -1e9, x = 0;
    for (const PlacedChar& c : placed) {
        if (c.y != y) {
            out.emplace_back();
            y = c.y;
        } else if (c.x > x + c.size / 2) {
            out.back() += U' ';  // spaces are not placed
        }
        out.back() += c.ch;
        x = c.x;
    }
    return out;
}

FieldMetrics Area(double width, bool wrap) {
    FieldMetrics m;
    m.left = 0;
    m.right = width;
    m.top = 0;
    m.wordWrap = wrap;
    m.ascent = 1;
    m.descent = 0;
    return m;
}

TEST(TextLayoutTest, PlainTextBreaksAtEveryKindOfNewline) {
    const auto paragraphs = SplitParagraphs("a\rb\nc\r\nd", false, Style(), swf::TextAlign::Left);
    ASSERT_EQ(paragraphs.size(), 4u);
    EXPECT_EQ(Text(paragraphs[0]), U"a");
    EXPECT_EQ(Text(paragraphs[3]), U"d");
}

TEST(TextLayoutTest, HtmlTagsEntitiesAndStyles) {
    struct Case {
        const char* html;
        std::vector<std::u32string> paragraphs;
    };
    const Case cases[] = {
        {"<p>one</p><p>two</p>", {U"one", U"two"}},
        {"a<br>b<br/>c", {U"a", U"b", U"c"}},
        {"<b>bold</b> &amp; <i>x&lt;y</i>&#65;&#x42;", {U"bold & x<yAB"}},
        {"line\nbreaks\rignored", {U"linebreaksignored"}},
        {"<unknown attr='1'>kept</unknown>", {U"kept"}},
        {"cut <font", {U"cut "}},
        {"&bogus; &", {U"&bogus; &"}},
    };
    for (const Case& c : cases) {
        const auto paragraphs = SplitParagraphs(c.html, true, Style(), swf::TextAlign::Left);
        std::vector<std::u32string> texts;
        for (const Paragraph& p : paragraphs) {
            texts.push_back(Text(p));
        }
        EXPECT_EQ(texts, c.paragraphs) << c.html;
    }

    const auto styled = SplitParagraphs(
        "<p align=\"center\"><font color=\"#FF0000\" size=\"20\">R</font>k</p>", true, Style(),
        swf::TextAlign::Left);
    ASSERT_EQ(styled.size(), 1u);
    EXPECT_EQ(styled[0].align, swf::TextAlign::Center);
    ASSERT_EQ(styled[0].chars.size(), 2u);
    EXPECT_EQ(styled[0].chars[0].color, (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(styled[0].chars[0].size, 400);
    EXPECT_EQ(styled[0].chars[1].color, (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(styled[0].chars[1].size, 200);
}

TEST(TextLayoutTest, InvalidUtf8BytesReadAsLatin1) {
    EXPECT_EQ(DecodeFieldText("a\xC3\xA9z"), U"a\u00E9z");
    EXPECT_EQ(DecodeFieldText("\xE9t\xE9"), U"\u00E9t\u00E9");
    EXPECT_EQ(DecodeFieldText("\xE4\xB8"), U"\u00E4\u00B8");  // cut short
}

TEST(TextLayoutTest, WordWrapBreaksAtSpacesAndCjkAndSplitsLongWords) {
    struct Case {
        const char* text;
        bool wrap;
        std::vector<std::u32string> lines;
    };
    // Characters are 100 twips wide; the area holds 5.
    const Case cases[] = {
        {"aaa bbb ccc", true, {U"aaa", U"bbb", U"ccc"}},
        {"aa bb cc", true, {U"aa bb", U"cc"}},
        {"aaaaaaaa", true, {U"aaaaa", U"aaa"}},
        {"aaa bbb ccc", false, {U"aaa bbb ccc"}},
        {"ab    cd", true, {U"ab", U"cd"}},
        {"\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89\xE5\x9B\x9B\xE4\xBA\x94\xE5\x85\xAD", true,
         {U"\u4E00\u4E8C\u4E09\u56DB\u4E94", U"\u516D"}},
    };
    for (const Case& c : cases) {
        const auto paragraphs = SplitParagraphs(c.text, false, Style(), swf::TextAlign::Left);
        EXPECT_EQ(Lines(LayOutField(paragraphs, Area(500, c.wrap), kHalfEm)), c.lines) << c.text;
    }
}

TEST(TextLayoutTest, AlignmentIgnoresTrailingSpaces) {
    struct Case {
        swf::TextAlign align;
        double x;
    };
    const Case cases[] = {
        {swf::TextAlign::Left, 0},
        {swf::TextAlign::Right, 800},
        {swf::TextAlign::Center, 400},
        {swf::TextAlign::Justify, 0},
    };
    for (const Case& c : cases) {
        const auto paragraphs = SplitParagraphs("ab  ", false, Style(), c.align);
        const auto placed = LayOutField(paragraphs, Area(1000, false), kHalfEm);
        ASSERT_EQ(placed.size(), 2u);
        EXPECT_EQ(placed[0].x, c.x) << int(c.align);
    }
}

TEST(TextLayoutTest, MarginsIndentLeadingAndEmptyLines) {
    FieldMetrics m = Area(1000, true);
    m.left = 100;
    m.indent = 50;
    m.top = 40;
    m.leading = 20;
    m.ascent = 0.75;
    m.descent = 0.25;
    const auto paragraphs = SplitParagraphs("a\r\rb", false, Style(200), swf::TextAlign::Left);
    const auto placed = LayOutField(paragraphs, m, kHalfEm);
    ASSERT_EQ(placed.size(), 2u);
    // Each line is 200 high plus 20 leading; the empty line keeps its height.
    EXPECT_EQ(placed[0].x, 150);
    EXPECT_EQ(placed[0].y, 40 + 150);
    EXPECT_EQ(placed[1].x, 150);  // the first line of each paragraph is indented
    EXPECT_EQ(placed[1].y, 40 + 2 * 220 + 150);

    // Only the first line of a wrapped paragraph is indented.
    const auto wrapped = LayOutField(
        SplitParagraphs("aaaa bbbb", false, Style(200), swf::TextAlign::Left),
        [] {
            FieldMetrics w;
            w.left = 0;
            w.right = 500;
            w.indent = 100;
            w.wordWrap = true;
            return w;
        }(),
        kHalfEm);
    ASSERT_EQ(wrapped.size(), 8u);
    EXPECT_EQ(wrapped[0].x, 100);
    EXPECT_EQ(wrapped[4].x, 0);
}

}  // namespace
}  // namespace flash::render
