#include <gtest/gtest.h>

#include "flash/swf/movie.h"
#include "flash/swf/tag_codes.h"
#include "swfgen/tag_writer.h"
#include "tovi/testing/files.h"

namespace flash::swf {
namespace {

using tovi::testing::HexBytes;

// The definitions of a movie's first frame, in order, and its diagnostics.
struct Parsed {
    Movie movie;
    std::vector<Character> characters;
};

Parsed Parse(const swfgen::MovieWriter& m) {
    Parsed p{ParseMovie(m.Build()), {}};
    for (const auto& tag : p.movie.frames.at(0).tags) {
        if (const auto* def = std::get_if<DefineCharacter>(&tag)) {
            p.characters.push_back(def->character);
        }
    }
    return p;
}

template <typename T>
const T& As(const Character& c) {
    return *std::get<std::shared_ptr<const T>>(c);
}

// A font of two glyphs: a square ("A") and a triangle ("B").
Font SampleFont(int version) {
    Font f;
    f.version = version;
    f.unitsPerEm = version >= 3 ? 20480 : 1024;
    Glyph square;
    square.edges = {{{0, 0}, {50, 0}, {100, 0}, false, 1, 0, 0},
                    {{100, 0}, {100, -50}, {100, -100}, false, 1, 0, 0},
                    {{100, -100}, {0, -100}, {0, 0}, true, 1, 0, 0}};
    Glyph triangle;
    triangle.edges = {{{0, 0}, {25, -50}, {50, -100}, false, 0, 1, 0},
                      {{50, -100}, {25, -50}, {0, 0}, false, 0, 1, 0}};
    f.glyphs = {square, triangle};
    if (version >= 2) {
        f.name = "Sans";
        f.hasInfo = true;
        f.bold = true;
        f.wideCodes = true;
        f.languageCode = 2;
        f.glyphs[0].code = 'A';
        f.glyphs[1].code = 0x4E2D;
        f.hasLayout = true;
        f.ascent = 900;
        f.descent = 200;
        f.leading = -20;
        f.glyphs[0].advance = 1100;
        f.glyphs[1].advance = 600;
        f.glyphs[0].bounds = {0, 100, -100, 0};
        f.glyphs[1].bounds = {0, 50, -100, 0};
        f.kerning = {{'A', 0x4E2D, -30}};
    }
    return f;
}

TEST(TextReaderTest, FontTwoAndThreeRoundTrip) {
    for (int version : {2, 3}) {
        SCOPED_TRACE(version);
        const Font font = SampleFont(version);
        swfgen::MovieWriter m(8, Rect{0, 100, 0, 100}, 12);
        m.DefineFont(1, font).ShowFrame();
        const Parsed p = Parse(m);
        EXPECT_TRUE(p.movie.diagnostics.empty());
        EXPECT_EQ(As<Font>(p.characters.at(0)), font);
    }
}

TEST(TextReaderTest, FontOneTakesItsInfoFromLaterTags) {
    Font info = SampleFont(1);
    info.name = "Serif";
    info.italic = true;
    info.glyphs[0].code = 'x';
    info.glyphs[1].code = 'y';
    Font wide = info;
    wide.glyphs[1].code = 0x3042;
    wide.languageCode = 1;
    swfgen::MovieWriter m(6, Rect{0, 100, 0, 100}, 12);
    m.DefineFont(1, SampleFont(1))
        .DefineFontInfo(1, info, 1)
        .DefineFont(2, SampleFont(1))
        .DefineFontInfo(2, wide, 2)
        .DefineFontInfo(99, info, 1)  // no such font
        .ShowFrame();
    const Parsed p = Parse(m);
    const Font& a = As<Font>(p.characters.at(0));
    EXPECT_EQ(a.version, 1);
    EXPECT_EQ(a.glyphs.size(), 2u);
    EXPECT_TRUE(a.hasInfo);
    EXPECT_EQ(a.name, "Serif");
    EXPECT_TRUE(a.italic);
    EXPECT_EQ(a.glyphs[0].code, 'x');
    EXPECT_EQ(a.glyphs[0].edges, SampleFont(1).glyphs[0].edges);
    const Font& b = As<Font>(p.characters.at(1));
    EXPECT_TRUE(b.wideCodes);
    EXPECT_EQ(b.languageCode, 1);
    EXPECT_EQ(b.glyphs[1].code, 0x3042);
    ASSERT_EQ(p.movie.diagnostics.size(), 1u);
    EXPECT_EQ(p.movie.diagnostics[0].tagCode, kTagDefineFontInfo);
}

TEST(TextReaderTest, FontLayoutEdgeCases) {
    // DefineFont2 with no glyphs but a layout (a device font for text fields), with and
    // without the code table offset some writers leave in; and a kerning table cut short.
    const auto noOffset =
        HexBytes("01 00  80 00 05 5F 73 61 6E 73  00 00  10 00 04 00 02 00 00 00");
    const auto withOffset =
        HexBytes("02 00  80 00 05 5F 73 61 6E 73  00 00  02 00  10 00 04 00 02 00 00 00");
    Font cut = SampleFont(2);
    swfgen::MovieWriter full(8, Rect{0, 100, 0, 100}, 12);
    full.DefineFont(3, cut);
    auto cutBody = std::vector<std::uint8_t>(full.bytes().begin() + 6, full.bytes().end() - 3);

    swfgen::MovieWriter m(8, Rect{0, 100, 0, 100}, 12);
    m.Tag(kTagDefineFont2, noOffset)
        .Tag(kTagDefineFont2, withOffset)
        .Tag(kTagDefineFont2, cutBody)
        .ShowFrame();
    const Parsed p = Parse(m);
    EXPECT_TRUE(p.movie.diagnostics.empty());
    for (int i : {0, 1}) {
        const Font& f = As<Font>(p.characters.at(i));
        EXPECT_EQ(f.name, "_sans");
        EXPECT_TRUE(f.glyphs.empty());
        EXPECT_TRUE(f.hasLayout);
        EXPECT_EQ(f.ascent, 16);
        EXPECT_EQ(f.descent, 4);
        EXPECT_EQ(f.leading, 2);
    }
    const Font& c = As<Font>(p.characters.at(2));
    EXPECT_EQ(c.glyphs, cut.glyphs);
    EXPECT_TRUE(c.kerning.empty());
}

TEST(TextReaderTest, TextRecordsCarryTheirStyleOver) {
    // DefineText: bounds, identity matrix, 1 glyph bit, 8 advance bits, then
    //   record 1: font 5, red, x 100, y 200, height 240, glyphs (0, +50) (1, +60)
    //   record 2: only y 400; glyph (1, -10)   -> font, colour, height carry; x continues at 210
    //   record 3: x 7; no glyphs
    const auto body = HexBytes(
        "09 00  00  00  01 08"
        "8F 05 00 FF 00 00 64 00 C8 00 F0 00 02  19 4F 00"  // 0 00110010 1 00111100, padded
        "82 90 01 01  FB 00"                                // 1 1111 0110 -> index 1, -10
        "81 07 00 00"
        "00");
    swfgen::MovieWriter m(6, Rect{0, 100, 0, 100}, 12);
    m.Tag(kTagDefineText, body).ShowFrame();
    const Parsed p = Parse(m);
    EXPECT_TRUE(p.movie.diagnostics.empty());
    const Text& t = As<Text>(p.characters.at(0));
    ASSERT_EQ(t.records.size(), 3u);
    const TextRecord& a = t.records[0];
    EXPECT_EQ(a.fontId, 5);
    EXPECT_EQ(a.color, (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(a.x, 100);
    EXPECT_EQ(a.y, 200);
    EXPECT_EQ(a.height, 240);
    EXPECT_EQ(a.glyphs, (std::vector<GlyphEntry>{{0, 50}, {1, 60}}));
    const TextRecord& b = t.records[1];
    EXPECT_EQ(b.fontId, 5);
    EXPECT_EQ(b.color, a.color);
    EXPECT_EQ(b.height, 240);
    EXPECT_EQ(b.x, 210);
    EXPECT_EQ(b.y, 400);
    EXPECT_EQ(b.glyphs, (std::vector<GlyphEntry>{{1, -10}}));
    EXPECT_EQ(t.records[2].x, 7);
    EXPECT_EQ(t.records[2].y, 400);
}

TEST(TextReaderTest, TextTwoAndEditTextRoundTrip) {
    Text text;
    text.version = 2;
    text.bounds = {-20, 2000, -300, 100};
    text.matrix = Matrix::Translate(40, 60);
    text.records = {{3, {0, 0, 255, 128}, 0, 0, 400, {{0, 300}, {1, 250}}},
                    {4, {10, 20, 30, 40}, -50, 480, 200, {{7, -20}}}};
    EditText edit;
    edit.bounds = {0, 4000, 0, 800};
    edit.wordWrap = edit.multiline = edit.html = edit.border = true;
    edit.hasFont = true;
    edit.fontId = 3;
    edit.fontHeight = 240;
    edit.hasTextColor = true;
    edit.color = {0, 0, 0, 255};
    edit.hasMaxLength = true;
    edit.maxLength = 30;
    edit.hasLayout = true;
    edit.align = TextAlign::Center;
    edit.leftMargin = 40;
    edit.leading = -2;
    edit.variableName = "_root.name";
    edit.hasText = true;
    edit.initialText = "<p>hello</p>";
    EditText plain;
    plain.fontClass = "Font1";
    plain.fontHeight = 100;
    swfgen::MovieWriter m(8, Rect{0, 100, 0, 100}, 12);
    m.DefineText(1, text).DefineEditText(2, edit).DefineEditText(3, plain).ShowFrame();
    const Parsed p = Parse(m);
    EXPECT_TRUE(p.movie.diagnostics.empty());
    EXPECT_EQ(As<Text>(p.characters.at(0)), text);
    EXPECT_EQ(As<EditText>(p.characters.at(1)), edit);
    EXPECT_EQ(As<EditText>(p.characters.at(2)), plain);
}

TEST(TextReaderTest, EditTextWithoutTheLastNul) {
    // Bounds, flags "has text", variable name "v", text "hi" with no NUL.
    const auto body = HexBytes("01 00  00  80 00  76 00  68 69");
    swfgen::MovieWriter m(6, Rect{0, 100, 0, 100}, 12);
    m.Tag(kTagDefineEditText, body).ShowFrame();
    const Parsed p = Parse(m);
    const EditText& t = As<EditText>(p.characters.at(0));
    EXPECT_EQ(t.variableName, "v");
    EXPECT_EQ(t.initialText, "hi");
}

}  // namespace
}  // namespace flash::swf
