#pragma once

// Fonts (DefineFont 1-3 with DefineFontInfo 1-2), static text (DefineText 1-2) and edit text
// fields (DefineEditText).

#include <cstdint>
#include <string>
#include <vector>

#include "flash/geom.h"
#include "flash/swf/shape.h"

namespace flash::swf {

struct Glyph {
    std::vector<Edge> edges;   // font units, y down; fill indexes refer to the one glyph fill (1)
    std::uint16_t code = 0;    // character code from the code table (0 when the font has none)
    std::int16_t advance = 0;  // font units, fonts with layout only
    Rect bounds;               // font units, fonts with layout only
    bool operator==(const Glyph&) const = default;
};

struct KerningRecord {
    std::uint16_t code1 = 0;
    std::uint16_t code2 = 0;
    std::int16_t adjustment = 0;
    bool operator==(const KerningRecord&) const = default;
};

struct Font {
    int version = 1;        // 1..3 for DefineFont..DefineFont3
    int unitsPerEm = 1024;  // 20480 for DefineFont3
    std::string name;       // bytes as stored (UTF-8 from SWF 6)
    bool hasInfo = false;   // version 1: whether a DefineFontInfo gave names and codes
    bool bold = false;
    bool italic = false;
    bool smallText = false;
    bool shiftJis = false;
    bool ansi = false;
    bool wideCodes = false;
    std::uint8_t languageCode = 0;
    std::vector<Glyph> glyphs;
    bool hasLayout = false;
    std::uint16_t ascent = 0;  // font units
    std::uint16_t descent = 0;
    std::int16_t leading = 0;
    std::vector<KerningRecord> kerning;
    bool operator==(const Font&) const = default;
};

struct GlyphEntry {
    std::uint32_t index = 0;   // into the font's glyphs
    std::int32_t advance = 0;  // twips
    bool operator==(const GlyphEntry&) const = default;
};

// One run of glyphs with its style resolved: the fields a record leaves out carry over from
// the record before it, and x continues after the previous record's advances.
struct TextRecord {
    std::uint16_t fontId = 0;
    Rgba color;
    std::int32_t x = 0;        // twips in the text's own space, where the first glyph starts
    std::int32_t y = 0;        // twips, baseline
    std::uint16_t height = 0;  // twips, the em size
    std::vector<GlyphEntry> glyphs;
    bool operator==(const TextRecord&) const = default;
};

struct Text {
    int version = 1;  // 1 or 2 (DefineText2 colours have alpha)
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
    bool operator==(const Text&) const = default;
};

enum class TextAlign : std::uint8_t { Left = 0, Right = 1, Center = 2, Justify = 3 };

struct EditText {
    Rect bounds;
    bool wordWrap = false;
    bool multiline = false;
    bool password = false;
    bool readOnly = false;
    bool autoSize = false;
    bool noSelect = false;
    bool border = false;
    bool wasStatic = false;
    bool html = false;
    bool useOutlines = false;
    bool hasFont = false;
    std::uint16_t fontId = 0;
    std::string fontClass;
    std::uint16_t fontHeight = 0;  // twips
    bool hasTextColor = false;
    Rgba color;
    bool hasMaxLength = false;
    std::uint16_t maxLength = 0;
    bool hasLayout = false;
    TextAlign align = TextAlign::Left;
    std::uint16_t leftMargin = 0;  // twips
    std::uint16_t rightMargin = 0;
    std::uint16_t indent = 0;
    std::int16_t leading = 0;
    std::string variableName;
    bool hasText = false;
    std::string initialText;  // bytes as stored; HTML when `html`
    bool operator==(const EditText&) const = default;
};

// How a text character's glyphs are rendered (CSMTextSettings).
struct TextRenderSettings {
    bool advanced = false;     // the advanced anti-aliasing renderer, else the normal one
    std::uint8_t gridFit = 0;  // 0 none, 1 pixel, 2 subpixel
    float thickness = 0;
    float sharpness = 0;
};

}  // namespace flash::swf
