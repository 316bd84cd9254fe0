#pragma once

// The text of an edit text field laid out in lines: plain or HTML text split into styled
// paragraphs, then placed in the field's area with wrapping, alignment, margins, indent and
// leading. Needs no drawing surface: widths come from a measuring function.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "flash/geom.h"
#include "flash/render/field_text.h"
#include "flash/swf/text.h"

namespace flash::render {

struct StyledChar {
    char32_t ch = 0;
    Rgba color;
    double size = 240;  // twips, the em size
};

struct Paragraph {
    swf::TextAlign align = swf::TextAlign::Left;
    double size = 240;  // em size of the paragraph's line when it holds no characters
    std::vector<StyledChar> chars;
};

// Text bytes to characters: UTF-8, with bytes that are no UTF-8 taken as Latin-1.
std::u32string DecodeFieldText(std::string_view bytes);

// Plain text breaks paragraphs at CR, LF and CRLF. HTML honours <br>, <p align=...>,
// <font color=... size=...> and the common entities; other tags are dropped, as are line
// breaks in the source.
std::vector<Paragraph> SplitParagraphs(std::string_view text, bool html, const StyledChar& style,
                                       swf::TextAlign align);

struct FieldMetrics {
    double left = 0;   // twips: where lines start, margins included
    double right = 0;  // twips: where they end
    double top = 0;    // twips: top of the first line
    double indent = 0;
    double leading = 0;  // twips between lines
    bool wordWrap = false;
    double ascent = 0.9;  // per em size
    double descent = 0.2;
};

struct PlacedChar {
    char32_t ch = 0;
    double x = 0;  // twips, left of the glyph
    double y = 0;  // twips, baseline
    double size = 0;
    Rgba color;
};

// Advance of one character at an em size, both in twips.
using MeasureChar = std::function<double(char32_t ch, double size)>;

// The visible characters placed (spaces and line breaks leave no entry). Justified lines are
// laid out left aligned. `extent`, when given, receives the size of the text.
std::vector<PlacedChar> LayOutField(const std::vector<Paragraph>& paragraphs,
                                    const FieldMetrics& metrics, const MeasureChar& measure,
                                    FieldTextExtent* extent = nullptr);

}  // namespace flash::render
