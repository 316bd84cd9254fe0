#pragma once

// The font an edit text field lays out with: its embedded glyphs when it has outlines and
// the field asks for them, else a system font; the field's area and line metrics in it.

#include <cairo.h>

#include <memory>
#include <unordered_map>

#include "flash/swf/text.h"
#include "text_layout.h"

namespace flash::render {

// Space between a field's bounds and its text.
inline constexpr double kFieldGutter = 40;

class FieldFont {
  public:
    // `cr` measures system fonts; `font` is the field's font character, if any.
    FieldFont(cairo_t* cr, const swf::EditText& field, std::shared_ptr<const swf::Font> font);

    bool Embedded() const { return embedded_; }
    const std::shared_ptr<const swf::Font>& Font() const { return font_; }
    // The glyph of a character in the embedded font.
    const std::size_t* GlyphOf(char32_t c) const;
    // The system family for a character.
    const char* Family(char32_t c) const;
    bool Bold() const { return bold_; }
    bool Italic() const { return italic_; }
    double UnitsPerEm() const { return unitsPerEm_; }

    // The area of the field's text (gutter and margins), wrapping and line metrics.
    const FieldMetrics& Metrics() const { return metrics_; }
    MeasureChar Measure();

  private:
    double Advance(char32_t c, double size);

    cairo_t* cr_;
    std::shared_ptr<const swf::Font> font_;
    bool embedded_ = false;
    double unitsPerEm_ = 1024;
    const char* family_ = "serif";
    bool bold_ = false;
    bool italic_ = false;
    FieldMetrics metrics_;
    std::unordered_map<char32_t, std::size_t> glyphOf_;
    std::unordered_map<char32_t, double> deviceAdvance_;  // per em size 1
};

// The field's paragraphs as shown: masked for a password field.
std::vector<Paragraph> FieldParagraphs(const swf::EditText& field, std::string_view text,
                                       bool html);

}  // namespace flash::render
