#include "application_menu_window.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/ribbon/art.h>
#include <wx/settings.h>

#include <algorithm>

#include "ribbon_bars.h"
#include "ribbon_draw.h"
#include "ribbon_menus.h"
#include "ribbon_window.h"

namespace ribbon {
namespace {

constexpr int kBorder = 4;
constexpr int kLabelHeight = 24;
constexpr int kButtonHeight = 40;
constexpr int kSeparatorHeight = 9;
constexpr int kArrowArea = 22;
constexpr int kBottomHeight = 32;
constexpr int kMinColumnWidth = 220;

wxFont MenuFont() {
    return wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
}

}  // namespace

ApplicationMenuWindow::ApplicationMenuWindow(wxWindow* parent, RibbonWindow& owner,
                                             ApplicationMenu& menu)
    : wxPopupTransientWindow(parent, wxBORDER_NONE), owner_(owner), menu_(menu) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &ApplicationMenuWindow::OnPaint, this);
    Bind(wxEVT_MOTION, &ApplicationMenuWindow::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &ApplicationMenuWindow::OnLeave, this);
    Bind(wxEVT_LEFT_UP, &ApplicationMenuWindow::OnLeftUp, this);
    Bind(wxEVT_CHAR_HOOK, &ApplicationMenuWindow::OnKey, this);
    // A popup window itself gets no keys under GTK; a small focusable child takes them.
    keys_ =
        new wxWindow(this, wxID_ANY, wxPoint(0, 0), wxSize(1, 1), wxWANTS_CHARS | wxBORDER_NONE);
    keys_->Bind(wxEVT_KEY_DOWN, &ApplicationMenuWindow::OnKey, this);
    keys_->SetBackgroundColour(wxColour(250, 251, 253));  // the item column's
    for (const auto& e : menu_.elements()) {
        owner_.Register(e.get(), this);
    }
    for (const auto& e : menu_.bottomButtons()) {
        owner_.Register(e.get(), this);
    }
    Relayout();
}

void ApplicationMenuWindow::Relayout() {
    hot_ = nullptr;
    items_.clear();
    wxClientDC dc(this);
    dc.SetFont(MenuFont());
    int column = kMinColumnWidth;
    for (const auto& e : menu_.elements()) {
        if (e->kind() == Kind::Button) {
            column = std::max(column, 48 + MnemonicTextExtent(dc, e->Caption()).x + kArrowArea + 8);
        }
    }
    int y = kBorder;
    for (const auto& owned : menu_.elements()) {
        Element* e = owned.get();
        int height = e->kind() == Kind::Label       ? kLabelHeight
                     : e->kind() == Kind::Separator ? kSeparatorHeight
                                                    : kButtonHeight;
        items_.push_back({e, wxRect(kBorder, y, column, height)});
        y += height;
    }
    int width = kBorder + column;
    if (menu_.recentWidth() > 0) {
        recentArea_ = wxRect(width + 2, kBorder, menu_.recentWidth(), y - kBorder);
        width = recentArea_.GetRight() + 1;
    } else {
        recentArea_ = wxRect();
    }
    width += kBorder;
    bottomRow_ = wxRect(0, y + 2, width, kBottomHeight);
    int x = width - kBorder;
    for (auto it = menu_.bottomButtons().rbegin(); it != menu_.bottomButtons().rend(); ++it) {
        int w = 16 + 12 + MnemonicTextExtent(dc, (*it)->Caption()).x + 8;
        x -= w;
        items_.push_back({it->get(), wxRect(x, bottomRow_.y + 4, w, kBottomHeight - 8)});
        x -= 4;
    }
    SetClientSize(width, bottomRow_.GetBottom() + 1);
    // The key taker sits in the item column's bottom margin.
    keys_->Move(kBorder + 1, bottomRow_.y - 4);
    Refresh();
}

bool ApplicationMenuWindow::RectOf(const Element& e, wxRect* rect) const {
    for (const Item& item : items_) {
        if (item.e == &e) {
            *rect = item.rect;
            return true;
        }
    }
    return false;
}

const ApplicationMenuWindow::Item* ApplicationMenuWindow::HitTest(const wxPoint& pt) const {
    for (const Item& item : items_) {
        if (item.rect.Contains(pt) &&
            (item.e->kind() == Kind::Button || item.e->kind() == Kind::BottomButton)) {
            return &item;
        }
    }
    return nullptr;
}

bool ApplicationMenuWindow::InArrow(const Item& item, const wxPoint& pt) const {
    return !item.e->subItems().empty() && pt.x >= item.rect.GetRight() - kArrowArea;
}

void ApplicationMenuWindow::Activate(const Element& e, bool dropDown) {
    wxRect rect;
    if (!e.enabled() || !RectOf(e, &rect)) {
        return;
    }
    if (!e.subItems().empty() && (dropDown || e.id() <= 0)) {
        owner_.ShowElementMenu(e, this, wxPoint(rect.GetRight(), rect.GetTop()));
        Dismiss();
    } else {
        int id = e.id();
        Dismiss();
        owner_.PostCommand(id);
    }
}

void ApplicationMenuWindow::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    wxSize size = GetClientSize();
    wxRibbonArtProvider* art = owner_.art();
    wxColour border = art ? art->GetColour(wxRIBBON_ART_PANEL_BORDER_COLOUR) : *wxLIGHT_GREY;
    wxColour text = art ? art->GetColour(wxRIBBON_ART_BUTTON_BAR_LABEL_COLOUR) : *wxBLACK;
    // Frame in the tab colours, a white column, the recent area a shade darker.
    if (art) {
        art->DrawTabCtrlBackground(dc, owner_.bar(), wxRect(size));
    }
    dc.SetPen(wxPen(border));
    dc.SetBrush(wxBrush(wxColour(250, 251, 253)));
    wxRect column(kBorder, kBorder, items_.empty() ? 0 : items_.front().rect.width,
                  bottomRow_.y - kBorder - 2);
    dc.DrawRectangle(column);
    if (!recentArea_.IsEmpty()) {
        dc.SetBrush(wxBrush(wxColour(238, 241, 246)));
        dc.DrawRectangle(recentArea_);
        dc.SetFont(MenuFont().Bold());
        dc.SetTextForeground(text);
        wxRect caption(recentArea_.x + 8, recentArea_.y, recentArea_.width - 16, kLabelHeight);
        dc.DrawLabel(menu_.recentCaption(), caption, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
        dc.SetPen(wxPen(border));
        dc.DrawLine(caption.x, caption.GetBottom(), caption.GetRight(), caption.GetBottom());
    }
    dc.SetPen(wxPen(border));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(wxRect(size));

    for (const Item& item : items_) {
        const Element& e = *item.e;
        const wxRect& r = item.rect;
        bool hot = hot_ == &item && e.enabled();
        dc.SetTextForeground(e.enabled() ? text : wxColour(150, 150, 150));
        switch (e.kind()) {
            case Kind::Label:
                dc.GradientFillLinear(r, wxColour(233, 238, 245), wxColour(221, 228, 238), wxSOUTH);
                dc.SetFont(MenuFont().Bold());
                dc.DrawLabel(e.Caption(), wxRect(r.x + 8, r.y, r.width - 8, r.height),
                             wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
                break;
            case Kind::Separator:
                dc.SetPen(wxPen(border));
                dc.DrawLine(r.x + 44, r.y + r.height / 2, r.GetRight() - 4, r.y + r.height / 2);
                break;
            case Kind::Button: {
                if (hot && art) {
                    DrawHotBackground(dc, *art, r.Deflate(2, 1), false);
                    if (!e.subItems().empty() && e.id() > 0) {
                        dc.SetPen(wxPen(border));
                        int x = r.GetRight() - kArrowArea;
                        dc.DrawLine(x, r.y + 4, x, r.GetBottom() - 4);
                    }
                }
                wxBitmap bitmap = LargeBitmap(owner_.images(), e);
                dc.DrawBitmap(bitmap, r.x + 6, r.y + (r.height - bitmap.GetHeight()) / 2, true);
                dc.SetFont(MenuFont());
                DrawMnemonicText(dc, e.Caption(),
                                 wxRect(r.x + 46, r.y, r.width - 46 - kArrowArea, r.height),
                                 wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
                if (!e.subItems().empty()) {
                    int ax = r.GetRight() - kArrowArea / 2 - 2;
                    int ay = r.y + r.height / 2;
                    wxPoint arrow[] = {{ax, ay - 4}, {ax + 4, ay}, {ax, ay + 4}};
                    dc.SetPen(wxPen(text));
                    dc.SetBrush(wxBrush(text));
                    dc.DrawPolygon(3, arrow);
                }
                break;
            }
            case Kind::BottomButton: {
                if (hot && art) {
                    DrawHotBackground(dc, *art, r, false);
                }
                wxBitmap bitmap = SmallBitmap(owner_.images(), e);
                dc.DrawBitmap(bitmap, r.x + 6, r.y + (r.height - bitmap.GetHeight()) / 2, true);
                dc.SetFont(MenuFont());
                DrawMnemonicText(dc, e.Caption(), wxRect(r.x + 28, r.y, r.width - 28, r.height),
                                 wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
                break;
            }
            case Kind::CheckBox:
            case Kind::Slider:
                break;
        }
    }
}

void ApplicationMenuWindow::OnMotion(wxMouseEvent& event) {
    const Item* item = HitTest(event.GetPosition());
    if (item != hot_) {
        hot_ = item;
        Refresh();
    }
    owner_.Hover(item ? item->e : nullptr, this, item ? item->rect : wxRect());
}

void ApplicationMenuWindow::OnLeave(wxMouseEvent&) {
    if (hot_) {
        hot_ = nullptr;
        Refresh();
    }
    owner_.Hover(nullptr, this, wxRect());
}

void ApplicationMenuWindow::OnLeftUp(wxMouseEvent& event) {
    owner_.Hover(nullptr, this, wxRect());
    if (const Item* item = HitTest(event.GetPosition())) {
        Activate(*item->e, InArrow(*item, event.GetPosition()));
    }
}

void ApplicationMenuWindow::OnKey(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE) {
        Dismiss();
    } else {
        event.Skip();
    }
}

void ApplicationMenuWindow::OnDismiss() {
    owner_.Hover(nullptr, this, wxRect());
    if (owner_.applicationButton()) {
        owner_.applicationButton()->SetPressed(false);
    }
}

}  // namespace ribbon
