#include "text_draw.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_map>
#include <variant>

#include "flash/utf8.h"
#include "text_field_font.h"
#include "text_layout.h"

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
    AppendUtf8(out, code);
    return out;
}

std::string CharToUtf8(char32_t c) {
    std::string out;
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) || c < 0x20) {
        return out;
    }
    if (c < 0x10000) {
        return CodeToUtf8(static_cast<std::uint16_t>(c));
    }
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
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
    AppendDeviceText(CodeToUtf8(code), DeviceFamily(font.name, code >= 0x2E80), font.bold,
                     font.italic, textToDevice, x, y, height, drawn);
}

void TextDrawer::AppendDeviceText(const std::string& utf8, const char* family, bool bold,
                                  bool italic, const Matrix& textToDevice, double x, double y,
                                  double height, Box* drawn) {
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
    cairo_select_font_face(cr_, family, italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
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

namespace {

// The field's rectangle as a device path; its edges on whole pixels, as fields are drawn.
void AppendRect(cairo_t* cr, const Rect& r, const Matrix& m, Box* drawn) {
    Path rect;
    rect.MoveTo({double(r.xmin), double(r.ymin)});
    rect.LineTo({double(r.xmax), double(r.ymin)});
    rect.LineTo({double(r.xmax), double(r.ymax)});
    rect.LineTo({double(r.xmin), double(r.ymax)});
    rect.Close();
    AppendPath(cr, rect, m, Snap::PixelEdges, drawn);
}

}  // namespace

void TextDrawer::DrawFieldBox(const Rect& b, const EditTextLook& look, const Transform& t,
                              Box* drawn) {
    // The border is one device pixel inside the bounds, the background within it.
    const double px =
        1 / std::sqrt(std::max(1e-9, std::abs(t.matrix.a * t.matrix.d - t.matrix.b * t.matrix.c)));
    const Rect inner{b.xmin + std::int32_t(px), b.xmax - std::int32_t(px),
                     b.ymin + std::int32_t(px), b.ymax - std::int32_t(px)};
    const bool hasInner = inner.xmax > inner.xmin && inner.ymax > inner.ymin;
    if (look.border) {
        const Paint paint = MakeSolidPaint(look.borderColor, t.color, context_);
        if (paint.pattern) {
            cairo_new_path(cr_);
            AppendRect(cr_, b, t.matrix, drawn);
            if (hasInner && !look.background) {
                AppendRect(cr_, inner, t.matrix, nullptr);
            }
            cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
            cairo_set_source(cr_, paint.pattern.get());
            cairo_fill(cr_);
        }
    }
    if (look.background) {
        const Paint paint = MakeSolidPaint(look.backgroundColor, t.color, context_);
        const Rect& area = look.border ? inner : b;
        if (paint.pattern && (!look.border || hasInner)) {
            cairo_new_path(cr_);
            AppendRect(cr_, area, t.matrix, drawn);
            cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
            cairo_set_source(cr_, paint.pattern.get());
            cairo_fill(cr_);
        }
    }
}

void TextDrawer::DrawEditText(const swf::EditText& field, std::string_view text, bool html,
                              const EditTextLook& look, const Transform& t, Box* drawn) {
    const Rect& b = field.bounds;
    if (b.empty() || b.xmax <= b.xmin || b.ymax <= b.ymin || !IsUsable(t.matrix)) {
        return;
    }
    DrawFieldBox(b, look, t, drawn);
    if (text.empty()) {
        return;
    }

    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    FieldFont fieldFont(cr_, field, field.hasFont ? FindFont(field.fontId, context_) : nullptr);
    const std::shared_ptr<const swf::Font>& font = fieldFont.Font();
    const std::vector<PlacedChar> placed =
        LayOutField(FieldParagraphs(field, text, html), fieldFont.Metrics(), fieldFont.Measure());

    // Clipped to the field's bounds.
    cairo_new_path(cr_);
    AppendRect(cr_, b, t.matrix, nullptr);
    cairo_clip(cr_);
    for (const PlacedChar& c : placed) {
        const Paint paint = MakeSolidPaint(c.color, t.color, context_);
        if (!paint.pattern || c.size <= 0) {
            continue;
        }
        cairo_new_path(cr_);
        if (fieldFont.Embedded()) {
            const std::size_t* glyph = fieldFont.GlyphOf(c.ch);
            if (glyph == nullptr) {
                continue;
            }
            const double scale = c.size / fieldFont.UnitsPerEm();
            const Matrix m = t.matrix * Matrix{scale, 0, 0, scale, c.x, c.y};
            AppendPath(cr_, paths_.Glyph(font, *glyph), m, Snap::None, drawn);
            cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
        } else {
            AppendDeviceText(CharToUtf8(c.ch), fieldFont.Family(c.ch), fieldFont.Bold(),
                             fieldFont.Italic(), t.matrix, c.x, c.y, c.size, drawn);
            cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
        }
        cairo_set_source(cr_, paint.pattern.get());
        cairo_fill(cr_);
    }
    cairo_restore(cr_);
}

}  // namespace flash::render
