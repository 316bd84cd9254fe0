#include "ribbon_draw.h"

#include <algorithm>

#include "image_strips.h"
#include "ribbon_menus.h"

namespace ribbon {
namespace {

wxBitmap Empty(int size) {
    wxImage image(size, size);
    image.InitAlpha();
    std::fill_n(image.GetAlpha(), size * size, 0);
    return wxBitmap(image);
}

wxBitmap Image(res::ImageStrips& images, int strip, int index, int size, bool enabled) {
    wxBitmap bitmap = index >= 0 ? images.Image(strip, index) : wxNullBitmap;
    if (!bitmap.IsOk()) {
        return Empty(size);
    }
    return enabled ? bitmap : bitmap.ConvertToDisabled();
}

}  // namespace

wxRibbonButtonKind ButtonKind(const Element& e) {
    if (e.subItems().empty() && e.menuResource() == 0) {
        return wxRIBBON_BUTTON_NORMAL;
    }
    return e.id() > 0 && e.menuResource() == 0 ? wxRIBBON_BUTTON_HYBRID : wxRIBBON_BUTTON_DROPDOWN;
}

wxBitmap SmallBitmap(res::ImageStrips& images, const Element& e) {
    return Image(images, e.smallStrip(), e.smallImage(), res::StripInfoOf(e.smallStrip()).imageSize,
                 e.enabled());
}

wxBitmap LargeBitmap(res::ImageStrips& images, const Element& e) {
    return Image(images, e.largeStrip(), e.largeImage(), res::StripInfoOf(e.largeStrip()).imageSize,
                 e.enabled());
}

void DrawHotBackground(wxDC& dc, const wxRibbonArtProvider& art, const wxRect& rect, bool pressed) {
    wxColour top = art.GetColour(pressed ? wxRIBBON_ART_BUTTON_BAR_ACTIVE_BACKGROUND_TOP_COLOUR
                                         : wxRIBBON_ART_BUTTON_BAR_HOVER_BACKGROUND_TOP_COLOUR);
    wxColour bottom =
        art.GetColour(pressed ? wxRIBBON_ART_BUTTON_BAR_ACTIVE_BACKGROUND_GRADIENT_COLOUR
                              : wxRIBBON_ART_BUTTON_BAR_HOVER_BACKGROUND_GRADIENT_COLOUR);
    dc.GradientFillLinear(wxRect(rect).Deflate(1), top, bottom, wxSOUTH);
    dc.SetPen(wxPen(art.GetColour(pressed ? wxRIBBON_ART_BUTTON_BAR_ACTIVE_BORDER_COLOUR
                                          : wxRIBBON_ART_BUTTON_BAR_HOVER_BORDER_COLOUR)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRoundedRectangle(rect, 2);
}

void DrawCheckBox(wxDC& dc, const wxRibbonArtProvider& art, const wxRect& box, bool checked,
                  bool enabled) {
    wxColour border = art.GetColour(wxRIBBON_ART_PANEL_BORDER_COLOUR);
    dc.GradientFillLinear(box, wxColour(244, 246, 250), wxColour(255, 255, 255), wxSOUTH);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.SetPen(wxPen(enabled ? border.ChangeLightness(70) : border));
    dc.DrawRectangle(box);
    if (checked) {
        wxColour tick = enabled ? wxColour(36, 64, 120) : wxColour(150, 150, 150);
        dc.SetPen(wxPen(tick, 2));
        int x = box.x + 3;
        int y = box.y + box.height / 2;
        wxPoint points[] = {{x, y}, {x + 2, y + 3}, {box.GetRight() - 2, box.y + 3}};
        dc.DrawLines(3, points);
    }
}

SliderParts SliderGeometry(const Element& slider, const wxRect& rect) {
    SliderParts parts;
    wxRect area = rect;
    if (slider.zoomButtons()) {
        int y = rect.y + (rect.height - kZoomButtonSize) / 2;
        parts.minus = wxRect(rect.x, y, kZoomButtonSize, kZoomButtonSize);
        parts.plus =
            wxRect(rect.GetRight() - kZoomButtonSize + 1, y, kZoomButtonSize, kZoomButtonSize);
        area.x += kZoomButtonSize + 2;
        area.width -= 2 * (kZoomButtonSize + 2);
    }
    constexpr int kThumbWidth = 8;
    parts.track = wxRect(area.x + kThumbWidth / 2, rect.y + rect.height / 2 - 1,
                         std::max(1, area.width - kThumbWidth), 3);
    int span = std::max(1, slider.rangeMax() - slider.rangeMin());
    int x =
        parts.track.x + static_cast<int>(static_cast<long long>(slider.pos() - slider.rangeMin()) *
                                         (parts.track.width - 1) / span);
    parts.thumb = wxRect(x - kThumbWidth / 2, rect.y + rect.height / 2 - 7, kThumbWidth, 14);
    return parts;
}

int SliderValueAt(const Element& slider, const wxRect& rect, int x) {
    SliderParts parts = SliderGeometry(slider, rect);
    int offset = std::clamp(x - parts.track.x, 0, std::max(0, parts.track.width - 1));
    int span = slider.rangeMax() - slider.rangeMin();
    int width = std::max(1, parts.track.width - 1);
    return slider.rangeMin() +
           static_cast<int>((static_cast<long long>(offset) * span + width / 2) / width);
}

SliderPart SliderHitTest(const Element& slider, const wxRect& rect, const wxPoint& pt) {
    SliderParts parts = SliderGeometry(slider, rect);
    if (parts.minus.Contains(pt)) {
        return SliderPart::Minus;
    }
    if (parts.plus.Contains(pt)) {
        return SliderPart::Plus;
    }
    if (wxRect(parts.thumb).Inflate(2).Contains(pt)) {
        return SliderPart::Thumb;
    }
    wxRect track(parts.track.x - 4, rect.y, parts.track.width + 8, rect.height);
    return track.Contains(pt) ? SliderPart::Track : SliderPart::None;
}

void DrawSlider(wxDC& dc, const wxRibbonArtProvider& art, const Element& slider, const wxRect& rect,
                SliderPart hot) {
    SliderParts parts = SliderGeometry(slider, rect);
    wxColour border = art.GetColour(wxRIBBON_ART_PANEL_BORDER_COLOUR).ChangeLightness(75);
    wxColour face = art.GetColour(wxRIBBON_ART_BUTTON_BAR_LABEL_COLOUR);
    auto zoom = [&](const wxRect& r, bool plus, bool isHot) {
        if (isHot) {
            DrawHotBackground(dc, art, r, slider.held());
        }
        dc.SetPen(wxPen(slider.enabled() ? face : border, 2));
        int cy = r.y + r.height / 2;
        dc.DrawLine(r.x + 4, cy, r.GetRight() - 3, cy);
        if (plus) {
            int cx = r.x + r.width / 2;
            dc.DrawLine(cx, r.y + 4, cx, r.GetBottom() - 3);
        }
    };
    if (slider.zoomButtons()) {
        zoom(parts.minus, false, hot == SliderPart::Minus);
        zoom(parts.plus, true, hot == SliderPart::Plus);
    }
    dc.SetPen(wxPen(border));
    dc.SetBrush(wxBrush(border.ChangeLightness(140)));
    dc.DrawRectangle(parts.track);
    bool thumbHot = hot == SliderPart::Thumb || slider.held();
    wxColour top = art.GetColour(thumbHot ? wxRIBBON_ART_BUTTON_BAR_HOVER_BACKGROUND_TOP_COLOUR
                                          : wxRIBBON_ART_TAB_ACTIVE_BACKGROUND_COLOUR);
    wxColour bottom =
        art.GetColour(thumbHot ? wxRIBBON_ART_BUTTON_BAR_HOVER_BACKGROUND_GRADIENT_COLOUR
                               : wxRIBBON_ART_PAGE_BACKGROUND_GRADIENT_COLOUR);
    dc.GradientFillLinear(parts.thumb, top, bottom, wxSOUTH);
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.SetPen(wxPen(slider.enabled() ? border.ChangeLightness(70) : border));
    dc.DrawRectangle(parts.thumb);
}

void DrawMnemonicText(wxDC& dc, const wxString& text, const wxRect& rect, int alignment) {
    int index = -1;
    wxString plain = StripMnemonic(text, &index);
    dc.DrawLabel(plain, rect, alignment, index);
}

wxSize MnemonicTextExtent(wxDC& dc, const wxString& text) {
    return dc.GetTextExtent(StripMnemonic(text));
}

}  // namespace ribbon
