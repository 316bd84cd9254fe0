#include "text_field_font.h"

#include <algorithm>

#include "flash/render/field_text.h"
#include "flash/utf8.h"
#include "text_draw.h"

namespace flash::render {

namespace {

// System font sizes are measured at this em size (in twips) and scaled.
constexpr double kMeasureSize = 1000;

bool HasOutlines(const swf::Font& font) {
    return std::any_of(font.glyphs.begin(), font.glyphs.end(),
                       [](const swf::Glyph& g) { return !g.edges.empty(); });
}

void SelectFace(cairo_t* cr, const char* family, bool bold, bool italic) {
    cairo_select_font_face(cr, family, italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, kMeasureSize);
}

}  // namespace

FieldFont::FieldFont(cairo_t* cr, const swf::EditText& field, std::shared_ptr<const swf::Font> font)
    : cr_(cr), font_(std::move(font)) {
    embedded_ = font_ && field.useOutlines && HasOutlines(*font_);
    unitsPerEm_ = font_ && font_->unitsPerEm > 0 ? font_->unitsPerEm : 1024;
    family_ = DeviceFamily(font_ ? font_->name : std::string("_serif"), false);
    bold_ = font_ && font_->bold;
    italic_ = font_ && font_->italic;
    if (embedded_) {
        for (std::size_t i = 0; i < font_->glyphs.size(); ++i) {
            glyphOf_.emplace(font_->glyphs[i].code, i);
        }
    }

    const Rect& b = field.bounds;
    metrics_.left = b.xmin + kFieldGutter + field.leftMargin;
    metrics_.right = b.xmax - kFieldGutter - double(field.rightMargin);
    metrics_.top = b.ymin + kFieldGutter;
    metrics_.indent = field.indent;
    metrics_.leading = field.leading;
    metrics_.wordWrap = field.wordWrap;
    if (embedded_ && font_->hasLayout && font_->ascent + font_->descent > 0) {
        metrics_.ascent = font_->ascent / unitsPerEm_;
        metrics_.descent = font_->descent / unitsPerEm_;
    } else if (!embedded_) {
        cairo_save(cr_);
        SelectFace(cr_, family_, bold_, italic_);
        cairo_font_extents_t fe;
        cairo_font_extents(cr_, &fe);
        cairo_restore(cr_);
        if (fe.ascent > 0 && fe.descent >= 0) {
            metrics_.ascent = fe.ascent / kMeasureSize;
            metrics_.descent = fe.descent / kMeasureSize;
        }
    }
}

const std::size_t* FieldFont::GlyphOf(char32_t c) const {
    const auto it = glyphOf_.find(c);
    return it != glyphOf_.end() ? &it->second : nullptr;
}

const char* FieldFont::Family(char32_t c) const {
    return c >= 0x2E80 ? DeviceFamily(font_ ? font_->name : "", true) : family_;
}

double FieldFont::Advance(char32_t c, double size) {
    if (embedded_) {
        const std::size_t* index = GlyphOf(c);
        if (index == nullptr) {
            return 0;
        }
        const swf::Glyph& g = font_->glyphs[*index];
        const double units =
            font_->hasLayout ? g.advance
                             : (g.bounds.xmax > g.bounds.xmin ? g.bounds.xmax : unitsPerEm_ / 2);
        return units * size / unitsPerEm_;
    }
    auto it = deviceAdvance_.find(c);
    if (it == deviceAdvance_.end()) {
        const std::string utf8 = CharToUtf8(c == U'\t' ? U' ' : c);
        double advance = 0;
        if (!utf8.empty()) {
            cairo_save(cr_);
            SelectFace(cr_, Family(c), bold_, italic_);
            cairo_text_extents_t te;
            cairo_text_extents(cr_, utf8.c_str(), &te);
            cairo_restore(cr_);
            advance = te.x_advance / kMeasureSize;
        }
        it = deviceAdvance_.emplace(c, advance).first;
    }
    return it->second * size;
}

MeasureChar FieldFont::Measure() {
    return [this](char32_t c, double size) { return Advance(c, size); };
}

std::vector<Paragraph> FieldParagraphs(const swf::EditText& field, std::string_view text,
                                       bool html) {
    StyledChar style;
    style.color = field.hasTextColor ? field.color : Rgba{0, 0, 0, 255};
    style.size = field.fontHeight > 0 ? field.fontHeight : 240;
    std::vector<Paragraph> paragraphs = SplitParagraphs(text, html, style, field.align);
    if (field.password) {
        for (Paragraph& p : paragraphs) {
            for (StyledChar& c : p.chars) {
                c.ch = U'*';
            }
        }
    }
    return paragraphs;
}

FieldTextExtent MeasureEditText(const swf::EditText& field, std::string_view text, bool html,
                                const CharacterLookup& lookup) {
    std::shared_ptr<const swf::Font> font;
    if (field.hasFont && lookup) {
        if (const swf::Character* c = lookup(field.fontId)) {
            if (const auto* f = std::get_if<std::shared_ptr<const swf::Font>>(c)) {
                font = *f;
            }
        }
    }
    // A scratch surface for the font engine's measures.
    static thread_local cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1);
    static thread_local cairo_t* cr = cairo_create(surface);
    FieldFont fieldFont(cr, field, font);
    FieldTextExtent extent;
    LayOutField(FieldParagraphs(field, text, html), fieldFont.Metrics(), fieldFont.Measure(),
                &extent);
    return extent;
}

}  // namespace flash::render
