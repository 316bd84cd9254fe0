#pragma once

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/ribbon/art.h>

#include "ribbon_model.h"

namespace res {
class ImageStrips;
}

// Drawing of the ribbon elements that wxWidgets' ribbon art has no part for (check boxes,
// sliders, hot backgrounds), in the colours of the current art.
namespace ribbon {

// How a button shows: with sub-items it gets a drop-down part; a button whose id has a
// command splits into a command part and a drop-down part.
wxRibbonButtonKind ButtonKind(const Element& e);

// The element's images from its strips (an empty bitmap of the right size when it has none).
wxBitmap SmallBitmap(res::ImageStrips& images, const Element& e);
wxBitmap LargeBitmap(res::ImageStrips& images, const Element& e);

void DrawHotBackground(wxDC& dc, const wxRibbonArtProvider& art, const wxRect& rect, bool pressed);
void DrawCheckBox(wxDC& dc, const wxRibbonArtProvider& art, const wxRect& box, bool checked,
                  bool enabled);

// The parts of a slider drawn in `rect`.
struct SliderParts {
    wxRect minus;  // zoom buttons, empty without them
    wxRect plus;
    wxRect track;
    wxRect thumb;
};
inline constexpr int kZoomButtonSize = 16;
SliderParts SliderGeometry(const Element& slider, const wxRect& rect);
// The slider value at x, in the element's range.
int SliderValueAt(const Element& slider, const wxRect& rect, int x);
enum class SliderPart { None, Minus, Plus, Track, Thumb };
SliderPart SliderHitTest(const Element& slider, const wxRect& rect, const wxPoint& pt);
void DrawSlider(wxDC& dc, const wxRibbonArtProvider& art, const Element& slider, const wxRect& rect,
                SliderPart hot);

// Draws a text with its "&" mnemonic underlined.
void DrawMnemonicText(wxDC& dc, const wxString& text, const wxRect& rect, int alignment);
wxSize MnemonicTextExtent(wxDC& dc, const wxString& text);

}  // namespace ribbon
