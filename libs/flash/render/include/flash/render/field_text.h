#pragma once

// The text of an edit text field as its scripts read it.

#include <string>
#include <string_view>
#include <vector>

#include "flash/render/renderer.h"
#include "flash/swf/text.h"

namespace flash::render {

// The characters an HTML field shows (UTF-8 in and out): tags dropped, entities read,
// paragraphs and line breaks as "\r".
std::string HtmlToPlainText(std::string_view html);

// The size of a field's text as the renderer lays it out, in twips.
struct FieldTextExtent {
    double width = 0;                 // the widest line, indent included
    double height = 0;                // every line with its leading
    std::vector<double> lineHeights;  // each line's ascent and descent
    double leading = 0;               // after each line
};

// Lays out `text` (UTF-8; HTML when `html`) in the field as DrawEditText would.
FieldTextExtent MeasureEditText(const swf::EditText& field, std::string_view text, bool html,
                                const CharacterLookup& lookup);

}  // namespace flash::render
