#pragma once

#include <wx/popupwin.h>

// The ribbon's tooltip: the tooltip text in bold above the description, which wraps at 200
// pixels; no icon, rounded corners, a separator line between the two.
namespace ribbon {

inline constexpr int kToolTipDescriptionWidth = 200;

// Splits `text` into lines no wider than `width` when drawn with `dc`'s font; line breaks in
// the text ("\n", "\r\n") are kept. Words of Latin text stay whole where they fit.
wxArrayString WrapText(wxDC& dc, const wxString& text, int width);

class RichToolTip : public wxPopupWindow {
  public:
    explicit RichToolTip(wxWindow* parent);

    // Shows the texts with the tooltip's top-left corner at `screenPos`.
    void ShowAt(const wxString& tooltip, const wxString& description, const wxPoint& screenPos);

    const wxString& tooltip() const { return tooltip_; }
    const wxString& description() const { return description_; }

  private:
    void OnPaint(wxPaintEvent& event);
    wxSize Measure(wxDC& dc);

    wxString tooltip_;
    wxString description_;
    wxArrayString lines_;
};

}  // namespace ribbon
