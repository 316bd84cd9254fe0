#include "ribbon_status_bar.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/settings.h>

RibbonStatusBar::RibbonStatusBar(wxWindow* parent)
    : wxStatusBar(parent, wxID_ANY, wxSTB_DEFAULT_STYLE & ~wxSTB_SIZEGRIP) {
    theme_ = looks::OfficeTheme(looks::Scheme::Blue);
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &RibbonStatusBar::OnPaint, this);
}

void RibbonStatusBar::AddPane(int id, const wxString& text, bool extended) {
    auto at = panes_.end();
    if (!extended) {
        at = std::find_if(panes_.begin(), panes_.end(), [](const Pane& p) { return p.extended; });
    }
    int index = static_cast<int>(at - panes_.begin());
    std::vector<wxString> texts;
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        texts.push_back(GetStatusText(static_cast<int>(i)));
    }
    panes_.insert(at, Pane{id, extended});
    texts.insert(texts.begin() + index, text);
    SetFieldsCount(static_cast<int>(panes_.size()));
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SetStatusText(texts[i], static_cast<int>(i));
    }
    UpdateWidths();
}

int RibbonStatusBar::FindPane(int id) const {
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        if (panes_[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool RibbonStatusBar::SetPaneText(int id, const wxString& text) {
    int field = FindPane(id);
    if (field < 0) {
        return false;
    }
    if (GetStatusText(field) != text) {
        SetStatusText(text, field);
        UpdateWidths();
        Refresh();
    }
    return true;
}

wxString RibbonStatusBar::PaneText(int id) const {
    int field = FindPane(id);
    return field < 0 ? wxString() : GetStatusText(field);
}

void RibbonStatusBar::SetTheme(const looks::Theme& theme) {
    theme_ = theme;
    Refresh();
}

void RibbonStatusBar::UpdateWidths() {
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    std::vector<int> widths;
    for (std::size_t i = 0; i < panes_.size(); ++i) {
        widths.push_back(
            panes_[i].extended ? dc.GetTextExtent(GetStatusText(static_cast<int>(i))).x + 24 : -1);
    }
    SetStatusWidths(static_cast<int>(widths.size()), widths.data());
}

void RibbonStatusBar::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    wxSize size = GetClientSize();
    wxColour face(theme_.primary.r, theme_.primary.g, theme_.primary.b);
    bool dark = face.GetLuminance() < 0.5;
    dc.GradientFillLinear(wxRect(size), face.ChangeLightness(dark ? 115 : 112),
                          face.ChangeLightness(dark ? 90 : 96), wxSOUTH);
    dc.SetPen(wxPen(face.ChangeLightness(75)));
    dc.DrawLine(0, 0, size.x, 0);
    dc.SetFont(GetFont());
    dc.SetTextForeground(dark ? wxColour(240, 240, 240) : wxColour(21, 66, 139));
    for (int i = 0; i < GetFieldsCount(); ++i) {
        wxRect rect;
        if (!GetFieldRect(i, rect)) {
            continue;
        }
        if (i > 0) {
            dc.SetPen(wxPen(face.ChangeLightness(80)));
            dc.DrawLine(rect.x - 2, 3, rect.x - 2, size.y - 3);
        }
        dc.DrawLabel(GetStatusText(i), rect.Deflate(6, 0), wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
    }
}
