#pragma once

// Static text (DefineText 1 and 2): each record's glyphs from its font, placed by the text's
// matrix, the record's position and height and the glyph advances.

#include <cairo.h>

#include <string>
#include <string_view>

#include "flash/render/renderer.h"
#include "flash/swf/text.h"
#include "paint.h"
#include "path_cache.h"

namespace flash::render {

class TextDrawer {
  public:
    TextDrawer(cairo_t* cr, PathCache& paths, const PaintContext& context)
        : cr_(cr), paths_(paths), context_(context) {}

    // Adds the device area drawn to `drawn` when given.
    void Draw(const swf::Text& text, const Transform& t, Box* drawn);
    // An edit text field showing `text` (UTF-8, HTML when `html`): background and border
    // when set, then the laid out text clipped to the field's bounds.
    void DrawEditText(const swf::EditText& field, std::string_view text, bool html,
                      const EditTextLook& look, const Transform& t, Box* drawn);

  private:
    // A field's border and background (the border one device pixel inside the bounds).
    void DrawFieldBox(const Rect& b, const EditTextLook& look, const Transform& t, Box* drawn);
    // A font without outlines (a device font): its characters through a system font.
    void DrawDeviceGlyph(const swf::Font& font, std::uint16_t code, const Matrix& textToDevice,
                         double x, double y, double height, Box* drawn);
    // Appends the outline of `utf8` in a system font to the current path.
    void AppendDeviceText(const std::string& utf8, const char* family, bool bold, bool italic,
                          const Matrix& textToDevice, double x, double y, double height,
                          Box* drawn);

    cairo_t* cr_;
    PathCache& paths_;
    const PaintContext& context_;
};

// The system font family standing in for a device font: a generic family (sans, serif or
// monospace, by what the name suggests: "_sans", "_serif", "_typewriter", "Times", ...), a
// CJK font for CJK text. A fixed few, so font engines keep a fixed few faces.
const char* DeviceFamily(const std::string& fontName, bool cjk);

// The UTF-8 form of a font's character code; empty for a code that is no character.
std::string CodeToUtf8(std::uint16_t code);
// The UTF-8 form of a character; empty for control characters and surrogates.
std::string CharToUtf8(char32_t c);

}  // namespace flash::render
