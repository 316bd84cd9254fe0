#include "ribbon_tooltip.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/settings.h>

namespace ribbon {
namespace {

constexpr int kPadding = 6;
constexpr int kGap = 6;

bool IsBreakable(wxUniChar c) {
    return c == ' ' || c.GetValue() > 0x2E7F;  // spaces and CJK characters
}

}  // namespace

wxArrayString WrapText(wxDC& dc, const wxString& text, int width) {
    wxArrayString lines;
    wxString normalized = text;
    normalized.Replace("\r\n", "\n");
    for (const wxString& paragraph : wxSplit(normalized, '\n', '\0')) {
        wxString line;
        size_t lastBreak = wxString::npos;  // index in `line` after which it may break
        for (wxUniChar c : paragraph) {
            wxString candidate = line + c;
            if (!line.empty() && dc.GetTextExtent(candidate).x > width) {
                if (!IsBreakable(c) && lastBreak != wxString::npos &&
                    lastBreak + 1 < line.length()) {
                    lines.push_back(line.substr(0, lastBreak + 1).Trim());
                    line = line.substr(lastBreak + 1) + c;
                } else {
                    lines.push_back(line.Trim());
                    line = (c == ' ') ? wxString() : wxString(c);
                }
                lastBreak = wxString::npos;
            } else {
                line = candidate;
            }
            if (IsBreakable(c)) {
                lastBreak = line.length() - 1;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

RichToolTip::RichToolTip(wxWindow* parent) : wxPopupWindow(parent, wxBORDER_NONE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &RichToolTip::OnPaint, this);
}

wxSize RichToolTip::Measure(wxDC& dc) {
    wxFont bold = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold();
    wxFont normal = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    int width = 0;
    int height = kPadding;
    if (!tooltip_.empty()) {
        dc.SetFont(bold);
        wxSize title = dc.GetTextExtent(tooltip_);
        width = title.x;
        height += title.y;
    }
    dc.SetFont(normal);
    lines_ = description_.empty() ? wxArrayString()
                                  : WrapText(dc, description_, kToolTipDescriptionWidth);
    if (!lines_.empty()) {
        if (!tooltip_.empty()) {
            height += kGap * 2;
        }
        for (const wxString& line : lines_) {
            wxSize size = dc.GetTextExtent(line.empty() ? wxString(" ") : line);
            width = std::max(width, size.x + (tooltip_.empty() ? 0 : kPadding));
            height += size.y;
        }
    }
    return wxSize(width + 2 * kPadding, height + kPadding);
}

void RichToolTip::ShowAt(const wxString& tooltip, const wxString& description,
                         const wxPoint& screenPos) {
    tooltip_ = tooltip;
    description_ = description;
    wxClientDC dc(this);
    wxSize size = Measure(dc);
    wxPoint pos = screenPos;
    int display = wxDisplay::GetFromPoint(screenPos);
    if (display != wxNOT_FOUND) {
        wxRect area = wxDisplay(static_cast<unsigned>(display)).GetClientArea();
        pos.x = std::min(pos.x, area.GetRight() - size.x);
        pos.y = std::min(pos.y, area.GetBottom() - size.y);
    }
    SetSize(wxRect(pos, size));
    Show();
    Refresh();
}

void RichToolTip::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    wxSize size = GetClientSize();
    dc.SetBrush(wxBrush(wxColour(255, 255, 255)));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(0, 0, size.x, size.y);
    dc.GradientFillLinear(wxRect(0, 0, size.x, size.y), wxColour(255, 255, 255),
                          wxColour(228, 233, 242), wxSOUTH);
    dc.SetPen(wxPen(wxColour(118, 118, 118)));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRoundedRectangle(0, 0, size.x, size.y, 3);

    dc.SetTextForeground(wxColour(76, 76, 76));
    int y = kPadding;
    if (!tooltip_.empty()) {
        dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).Bold());
        dc.DrawText(tooltip_, kPadding, y);
        y += dc.GetTextExtent(tooltip_).y;
    }
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    if (!lines_.empty()) {
        int indent = kPadding;
        if (!tooltip_.empty()) {
            y += kGap;
            dc.SetPen(wxPen(wxColour(158, 187, 221)));
            dc.DrawLine(kPadding, y, size.x - kPadding, y);
            y += kGap;
            indent += kPadding;
        }
        for (const wxString& line : lines_) {
            dc.DrawText(line, indent, y);
            y += dc.GetTextExtent(line.empty() ? wxString(" ") : line).y;
        }
    }
}

}  // namespace ribbon
