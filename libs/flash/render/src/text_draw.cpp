#include "text_draw.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <variant>

namespace flash::render {
namespace {

std::shared_ptr<const swf::Font> FindFont(std::uint16_t id, const PaintContext& context) {
    if (!context.lookup || !*context.lookup) {
        return nullptr;
    }
    const swf::Character* c = (*context.lookup)(id);
    if (!c) {
        return nullptr;
    }
    const auto* font = std::get_if<std::shared_ptr<const swf::Font>>(c);
    return font ? *font : nullptr;
}

bool HasOutlines(const swf::Font& font) {
    return std::any_of(font.glyphs.begin(), font.glyphs.end(),
                       [](const swf::Glyph& g) { return !g.edges.empty(); });
}

}  // namespace

const char* DeviceFamily(const std::string& fontName, bool cjk) {
    std::string name;
    for (char c : fontName) {
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    auto has = [&name](const char* part) { return name.find(part) != std::string::npos; };
    if (has("typewriter") || has("mono") || has("courier")) {
        return cjk ? "Noto Sans Mono CJK SC" : "monospace";
    }
    if (has("serif") && !has("sans")) {
        return cjk ? "Noto Serif CJK SC" : "serif";
    }
    if (has("times") || has("georgia") || has("song") || has("ming") || has("\xE5\xAE\x8B")) {
        return cjk ? "Noto Serif CJK SC" : "serif";  // ... and 宋 (Song)
    }
    return cjk ? "Noto Sans CJK SC" : "sans-serif";
}

std::string CodeToUtf8(std::uint16_t code) {
    std::string out;
    if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) {
        return out;
    }
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

void TextDrawer::Draw(const swf::Text& text, const Transform& t, Box* drawn) {
    const Matrix textToDevice = t.matrix * text.matrix;
    if (!IsUsable(textToDevice)) {
        return;
    }
    for (const swf::TextRecord& record : text.records) {
        const std::shared_ptr<const swf::Font> font = FindFont(record.fontId, context_);
        if (!font || record.height == 0) {
            continue;
        }
        const Paint paint = MakeSolidPaint(record.color, t.color, context_);
        if (!paint.pattern) {
            continue;
        }
        const double scale =
            double(record.height) / (font->unitsPerEm > 0 ? font->unitsPerEm : 1024);
        const bool outlines = HasOutlines(*font);
        double x = record.x;
        for (const swf::GlyphEntry& g : record.glyphs) {
            if (g.index < font->glyphs.size()) {
                // One fill per glyph: glyph outlines carry no reliable sides, so holes come
                // from the even-odd rule, and glyphs that overlap must not cancel out.
                cairo_new_path(cr_);
                if (outlines) {
                    const Matrix m = textToDevice * Matrix{scale, 0, 0, scale, x, double(record.y)};
                    AppendPath(cr_, paths_.Glyph(font, g.index), m, Snap::None, drawn);
                    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
                } else {
                    DrawDeviceGlyph(*font, font->glyphs[g.index].code, textToDevice, x, record.y,
                                    record.height, drawn);
                    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
                }
                cairo_set_source(cr_, paint.pattern.get());
                cairo_fill(cr_);
            }
            x += g.advance;
        }
    }
}

void TextDrawer::DrawDeviceGlyph(const swf::Font& font, std::uint16_t code,
                                 const Matrix& textToDevice, double x, double y, double height,
                                 Box* drawn) {
    const std::string utf8 = CodeToUtf8(code);
    // Font engines refuse absurd sizes; nothing that size or that small is legible anyway.
    const double devicePx =
        height *
        std::sqrt(std::abs(textToDevice.a * textToDevice.d - textToDevice.b * textToDevice.c));
    if (utf8.empty() || utf8 == " " || !(devicePx > 0.05 && devicePx < 65536)) {
        return;
    }
    cairo_save(cr_);
    cairo_matrix_t m;
    cairo_matrix_init(&m, textToDevice.a, textToDevice.b, textToDevice.c, textToDevice.d,
                      textToDevice.tx, textToDevice.ty);
    cairo_set_matrix(cr_, &m);
    cairo_select_font_face(cr_, DeviceFamily(font.name, code >= 0x2E80),
                           font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, height);
    cairo_move_to(cr_, x, y);
    // As a path, so no glyph image is made at whatever size the matrix asks for.
    cairo_text_path(cr_, utf8.c_str());
    if (drawn) {
        double x0, y0, x1, y1;
        cairo_identity_matrix(cr_);
        cairo_path_extents(cr_, &x0, &y0, &x1, &y1);
        drawn->Add(x0, y0);
        drawn->Add(x1, y1);
    }
    cairo_restore(cr_);
}

}  // namespace flash::render
