// DefineFont 1-3, DefineFontInfo 1-2, DefineText 1-2 and DefineEditText.

#include <optional>
#include <string>

#include "flash/swf/error.h"
#include "parsers.h"

namespace flash::swf::detail {
namespace {

// Reads glyph i's shape from data[start, end); bad offsets give an empty glyph.
std::vector<Edge> ReadGlyphAt(std::span<const std::uint8_t> data, std::size_t start,
                              std::size_t end) {
    if (start >= end || end > data.size()) {
        return {};
    }
    BitReader sub(data.subspan(start, end - start));
    return ReadGlyphShape(sub);
}

// DefineFont: an offset table whose first entry also tells the glyph count.
void ReadFont1Glyphs(BitReader& r, Font& font) {
    const auto data = r.ReadRest();
    if (data.size() < 2) {
        return;  // a font without glyphs
    }
    BitReader table(data);
    const std::size_t count = table.ReadU16() / 2;
    if (count * 2 > data.size()) {
        throw ParseError("font offset table runs past the tag");
    }
    table.Seek(0);
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < count; ++i) {
        offsets.push_back(table.ReadU16());
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t end = i + 1 < count ? offsets[i + 1] : data.size();
        Glyph g;
        g.edges = ReadGlyphAt(data, offsets[i], end);
        font.glyphs.push_back(std::move(g));
    }
}

void ReadLayout(BitReader& r, Font& font) {
    font.ascent = r.ReadU16();
    font.descent = r.ReadU16();
    font.leading = r.ReadS16();
    font.hasLayout = true;
    for (Glyph& g : font.glyphs) {
        g.advance = r.ReadS16();
    }
    for (Glyph& g : font.glyphs) {
        g.bounds = r.ReadRect();
    }
    try {
        const std::uint16_t kerningCount = r.ReadU16();
        for (unsigned i = 0; i < kerningCount; ++i) {
            KerningRecord k;
            k.code1 = font.wideCodes ? r.ReadU16() : r.ReadU8();
            k.code2 = font.wideCodes ? r.ReadU16() : r.ReadU8();
            k.adjustment = r.ReadS16();
            font.kerning.push_back(k);
        }
    } catch (const ParseError&) {
        // Writers often cut the kerning table short; what came before is good.
    }
}

// DefineFont2 and DefineFont3 after the flags, language and name.
void ReadFont2Glyphs(BitReader& r, Font& font, bool wideOffsets, bool hasLayout) {
    const std::uint16_t count = r.ReadU16();
    const auto data = r.ReadRest();
    BitReader table(data);
    const unsigned offsetSize = wideOffsets ? 4 : 2;
    auto readOffset = [&] { return wideOffsets ? table.ReadU32() : table.ReadU16(); };

    if (count == 0) {
        // The code table offset may be there or not; the layout, if any, is what follows.
        if (hasLayout && data.size() >= offsetSize + 8) {
            table.Skip(offsetSize);
        }
        if (hasLayout) {
            ReadLayout(table, font);
        }
        return;
    }
    if (std::size_t(count) * offsetSize > data.size()) {
        throw ParseError("font offset table runs past the tag");
    }
    std::vector<std::size_t> offsets;
    for (unsigned i = 0; i < count; ++i) {
        offsets.push_back(readOffset());
    }
    std::optional<std::size_t> codeTable;
    if (table.remaining() >= offsetSize) {
        codeTable = readOffset();
    }
    const std::size_t glyphsEnd = codeTable && *codeTable <= data.size() ? *codeTable : data.size();
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t end = i + 1 < count ? offsets[i + 1] : glyphsEnd;
        Glyph g;
        g.edges = ReadGlyphAt(data, offsets[i], end);
        font.glyphs.push_back(std::move(g));
    }
    if (!codeTable || *codeTable > data.size()) {
        return;  // no codes, no layout
    }
    table.Seek(*codeTable);
    for (Glyph& g : font.glyphs) {
        g.code = font.wideCodes ? table.ReadU16() : table.ReadU8();
    }
    if (hasLayout) {
        ReadLayout(table, font);
    }
}

// A NUL-terminated string at the end of a tag; some writers leave out the NUL.
std::string ReadTrailingString(BitReader& r) {
    r.Align();
    const std::size_t start = r.position();
    const auto rest = r.ReadRest();
    std::string s(rest.begin(), rest.end());
    const auto nul = s.find('\0');
    if (nul != std::string::npos) {
        s.resize(nul);
        r.Seek(start + nul + 1);
    }
    return s;
}

}  // namespace

Font ReadFont(BitReader& r, int version) {
    Font font;
    font.version = version;
    font.unitsPerEm = version >= 3 ? 20480 : 1024;
    if (version == 1) {
        ReadFont1Glyphs(r, font);
        return font;
    }
    const std::uint8_t flags = r.ReadU8();
    const bool hasLayout = (flags & 0x80) != 0;
    font.shiftJis = (flags & 0x40) != 0;
    font.smallText = (flags & 0x20) != 0;
    font.ansi = (flags & 0x10) != 0;
    const bool wideOffsets = (flags & 0x08) != 0;
    font.wideCodes = (flags & 0x04) != 0;
    font.italic = (flags & 0x02) != 0;
    font.bold = (flags & 0x01) != 0;
    font.languageCode = r.ReadU8();
    font.name = r.ReadString(r.ReadU8());
    font.hasInfo = true;
    ReadFont2Glyphs(r, font, wideOffsets, hasLayout);
    return font;
}

void ReadFontInfo(BitReader& r, int version, Font& font) {
    Font info = font;
    info.name = r.ReadString(r.ReadU8());
    const std::uint8_t flags = r.ReadU8();
    info.smallText = (flags & 0x20) != 0;
    info.shiftJis = (flags & 0x10) != 0;
    info.ansi = (flags & 0x08) != 0;
    info.italic = (flags & 0x04) != 0;
    info.bold = (flags & 0x02) != 0;
    info.wideCodes = (flags & 0x01) != 0 || version >= 2;
    if (version >= 2) {
        info.languageCode = r.ReadU8();
    }
    info.hasInfo = true;
    for (Glyph& g : info.glyphs) {
        if (r.remaining() < (info.wideCodes ? 2u : 1u)) {
            break;  // a short code table leaves the last glyphs without codes
        }
        g.code = info.wideCodes ? r.ReadU16() : r.ReadU8();
    }
    font = std::move(info);
}

Text ReadText(BitReader& r, int version) {
    Text text;
    text.version = version;
    text.bounds = r.ReadRect();
    text.matrix = r.ReadMatrix();
    const std::uint8_t glyphBits = r.ReadU8();
    const std::uint8_t advanceBits = r.ReadU8();
    TextRecord state;
    std::int64_t x = 0;
    try {
        for (;;) {
            const std::uint8_t flags = r.ReadU8();
            if ((flags & 0x80) == 0) {
                break;  // end of records
            }
            TextRecord rec = state;
            rec.glyphs.clear();
            if ((flags & 0x08) != 0) {
                rec.fontId = r.ReadU16();
            }
            if ((flags & 0x04) != 0) {
                rec.color = version >= 2 ? r.ReadRgba() : r.ReadRgb();
            }
            if ((flags & 0x01) != 0) {
                x = r.ReadS16();
            }
            if ((flags & 0x02) != 0) {
                rec.y = r.ReadS16();
            }
            if ((flags & 0x08) != 0) {
                rec.height = r.ReadU16();
            }
            rec.x = static_cast<std::int32_t>(x);
            const std::uint8_t count = r.ReadU8();
            for (unsigned i = 0; i < count; ++i) {
                GlyphEntry g;
                g.index = r.ReadUB(glyphBits);
                g.advance = r.ReadSB(advanceBits);
                x += g.advance;
                rec.glyphs.push_back(g);
            }
            r.Align();
            state = rec;
            text.records.push_back(std::move(rec));
        }
    } catch (const ParseError&) {
        // Records cut short: keep the whole ones.
    }
    return text;
}

EditText ReadEditText(BitReader& r) {
    EditText t;
    t.bounds = r.ReadRect();
    const std::uint8_t f1 = r.ReadU8();
    const std::uint8_t f2 = r.ReadU8();
    t.hasText = (f1 & 0x80) != 0;
    t.wordWrap = (f1 & 0x40) != 0;
    t.multiline = (f1 & 0x20) != 0;
    t.password = (f1 & 0x10) != 0;
    t.readOnly = (f1 & 0x08) != 0;
    t.hasTextColor = (f1 & 0x04) != 0;
    t.hasMaxLength = (f1 & 0x02) != 0;
    t.hasFont = (f1 & 0x01) != 0;
    const bool hasFontClass = (f2 & 0x80) != 0;
    t.autoSize = (f2 & 0x40) != 0;
    t.hasLayout = (f2 & 0x20) != 0;
    t.noSelect = (f2 & 0x10) != 0;
    t.border = (f2 & 0x08) != 0;
    t.wasStatic = (f2 & 0x04) != 0;
    t.html = (f2 & 0x02) != 0;
    t.useOutlines = (f2 & 0x01) != 0;
    if (t.hasFont) {
        t.fontId = r.ReadU16();
    }
    if (hasFontClass) {
        t.fontClass = r.ReadString();
    }
    if (t.hasFont || hasFontClass) {
        t.fontHeight = r.ReadU16();
    }
    if (t.hasTextColor) {
        t.color = r.ReadRgba();
    }
    if (t.hasMaxLength) {
        t.maxLength = r.ReadU16();
    }
    if (t.hasLayout) {
        const std::uint8_t align = r.ReadU8();
        t.align = align <= 3 ? static_cast<TextAlign>(align) : TextAlign::Left;
        t.leftMargin = r.ReadU16();
        t.rightMargin = r.ReadU16();
        t.indent = r.ReadU16();
        t.leading = r.ReadS16();
    }
    t.variableName = ReadTrailingString(r);
    if (t.hasText) {
        t.initialText = ReadTrailingString(r);
    }
    return t;
}

}  // namespace flash::swf::detail
