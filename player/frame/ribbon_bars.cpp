#include "ribbon_bars.h"

#include <memory>

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/graphics.h>
#include <wx/ribbon/art.h>
#include <wx/settings.h>

#include "image_strips.h"
#include "resource_ids.h"
#include "ribbon_draw.h"
#include "ribbon_menus.h"
#include "ribbon_window.h"

namespace ribbon {
namespace {

constexpr int kToolHeight = 22;
constexpr int kToolWidth = 22;
constexpr int kArrowWidth = 10;
constexpr int kCheckSize = 13;

bool HasMenu(const Element& e) {
    return e.menuResource() != 0 || !e.subItems().empty();
}

void DrawArrow(wxDC& dc, int x, int y, const wxColour& colour) {
    wxPoint points[] = {{x, y}, {x + 5, y}, {x + 2, y + 3}};
    dc.SetPen(wxPen(colour));
    dc.SetBrush(wxBrush(colour));
    dc.DrawPolygon(3, points);
}

}  // namespace

void DrawTabAreaBackground(wxDC& dc, wxWindow* window, RibbonWindow& owner) {
    wxRibbonArtProvider* art = owner.art();
    wxRibbonBar* bar = owner.bar();
    if (art == nullptr || bar == nullptr) {
        dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
        dc.Clear();
        return;
    }
    // Inside the tab row the tab row's own background; above it the same art over the
    // caption strip's height.
    bool inTabRow = window->GetParent() == bar;
    wxWindow* area = inTabRow ? static_cast<wxWindow*>(bar) : &owner;
    wxPoint offset = window->GetScreenPosition() - area->GetScreenPosition();
    int height =
        inTabRow && bar->GetPageCount() > 0 ? bar->GetPage(0)->GetPosition().y : kCaptionHeight;
    art->DrawTabCtrlBackground(dc, bar,
                               wxRect(-offset.x, -offset.y, area->GetClientSize().x, height));
}

ToolStrip::ToolStrip(wxWindow* parent, RibbonWindow& owner, bool showText)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE),
      owner_(owner),
      showText_(showText) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &ToolStrip::OnPaint, this);
    Bind(wxEVT_MOTION, &ToolStrip::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &ToolStrip::OnLeave, this);
    Bind(wxEVT_LEFT_DOWN, &ToolStrip::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &ToolStrip::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &ToolStrip::OnLeftUp, this);
}

void ToolStrip::SetElements(std::vector<Element*> elements) {
    elements_ = std::move(elements);
    for (Element* e : elements_) {
        owner_.Register(e, this);
    }
    Relayout();
}

void ToolStrip::Relayout() {
    wxClientDC dc(this);
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    rects_.clear();
    int x = 0;
    for (Element* e : elements_) {
        int width = kToolWidth;
        if (showText_ && !e->Caption().empty()) {
            width += MnemonicTextExtent(dc, e->Caption()).x + 4;
        }
        if (HasMenu(*e)) {
            width += kArrowWidth;
        }
        rects_.emplace_back(x, 0, width, kToolHeight);
        x += width + 1;
    }
    size_ = wxSize(std::max(1, x - 1), kToolHeight);
    SetMinSize(size_);
    InvalidateBestSize();
    Refresh();
}

bool ToolStrip::RectOf(const Element& e, wxRect* rect) const {
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        if (elements_[i] == &e) {
            *rect = rects_[i];
            return true;
        }
    }
    return false;
}

int ToolStrip::HitTest(const wxPoint& pt) const {
    for (std::size_t i = 0; i < rects_.size(); ++i) {
        if (rects_[i].Contains(pt)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ToolStrip::Activate(const Element& e) {
    wxRect rect;
    if (!e.enabled() || !RectOf(e, &rect)) {
        return;
    }
    if (HasMenu(e) && ButtonKind(e) == wxRIBBON_BUTTON_DROPDOWN) {
        owner_.ShowElementMenu(e, this, rect.GetBottomLeft());
    } else {
        owner_.PostCommand(e.id());
    }
}

void ToolStrip::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    DrawTabAreaBackground(dc, this, owner_);
    wxRibbonArtProvider* art = owner_.art();
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    wxColour text = art ? art->GetColour(wxRIBBON_ART_TAB_LABEL_COLOUR) : *wxBLACK;
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        const Element& e = *elements_[i];
        const wxRect& r = rects_[i];
        if (art && e.enabled() && (static_cast<int>(i) == hot_ || e.checked())) {
            DrawHotBackground(dc, *art, r, static_cast<int>(i) == pressed_ || e.checked());
        }
        if (e.kind() == Kind::CheckBox) {
            wxRect box(r.x + (kToolWidth - kCheckSize) / 2, r.y + (r.height - kCheckSize) / 2,
                       kCheckSize, kCheckSize);
            if (art) {
                DrawCheckBox(dc, *art, box, e.checked(), e.enabled());
            }
        } else {
            wxBitmap bitmap = SmallBitmap(owner_.images(), e);
            dc.DrawBitmap(bitmap, r.x + (kToolWidth - bitmap.GetWidth()) / 2,
                          r.y + (r.height - bitmap.GetHeight()) / 2, true);
        }
        int x = r.x + kToolWidth;
        if (showText_ && !e.Caption().empty()) {
            dc.SetTextForeground(text);
            DrawMnemonicText(dc, e.Caption(), wxRect(x, r.y, r.width, r.height),
                             wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
            x += MnemonicTextExtent(dc, e.Caption()).x + 4;
        }
        if (HasMenu(e)) {
            DrawArrow(dc, x + 1, r.y + r.height / 2 - 1, text);
        }
    }
}

void ToolStrip::OnMotion(wxMouseEvent& event) {
    int hit = HitTest(event.GetPosition());
    if (hit != hot_) {
        hot_ = hit;
        Refresh();
    }
    owner_.Hover(hit >= 0 ? elements_[hit] : nullptr, this, hit >= 0 ? rects_[hit] : wxRect());
}

void ToolStrip::OnLeave(wxMouseEvent&) {
    if (hot_ >= 0) {
        hot_ = -1;
        Refresh();
    }
    owner_.Hover(nullptr, this, wxRect());
}

void ToolStrip::OnLeftDown(wxMouseEvent& event) {
    owner_.Hover(nullptr, this, wxRect());
    pressed_ = HitTest(event.GetPosition());
    Refresh();
}

void ToolStrip::OnLeftUp(wxMouseEvent& event) {
    int pressed = pressed_;
    pressed_ = -1;
    Refresh();
    if (pressed >= 0 && pressed == HitTest(event.GetPosition())) {
        Activate(*elements_[pressed]);
    }
}

CaptionStrip::CaptionStrip(wxWindow* parent, RibbonWindow& owner)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), owner_(owner) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CaptionStrip::OnPaint, this);
}

void CaptionStrip::SetTitle(const wxString& title) {
    if (title != title_) {
        title_ = title;
        Refresh();
    }
}

void CaptionStrip::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    wxSize size = GetClientSize();
    DrawTabAreaBackground(dc, this, owner_);
    if (wxRibbonArtProvider* art = owner_.art()) {
        dc.SetTextForeground(art->GetColour(wxRIBBON_ART_TAB_LABEL_COLOUR));
    }
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    dc.DrawLabel(title_, wxRect(0, 0, size.x, size.y), wxALIGN_CENTER);
}

ApplicationButtonWindow::ApplicationButtonWindow(wxWindow* parent, RibbonWindow& owner)
    : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), owner_(owner) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &ApplicationButtonWindow::OnPaint, this);
    Bind(wxEVT_ENTER_WINDOW, &ApplicationButtonWindow::OnMouse, this);
    Bind(wxEVT_MOTION, &ApplicationButtonWindow::OnMouse, this);
    Bind(wxEVT_LEAVE_WINDOW, &ApplicationButtonWindow::OnMouse, this);
    Bind(wxEVT_LEFT_DOWN, &ApplicationButtonWindow::OnMouse, this);
    Bind(wxEVT_LEFT_DCLICK, &ApplicationButtonWindow::OnMouse, this);
}

void ApplicationButtonWindow::SetPressed(bool pressed) {
    pressed_ = pressed;
    Refresh();
}

void ApplicationButtonWindow::OnMouse(wxMouseEvent& event) {
    if (event.Leaving()) {
        hot_ = false;
        owner_.Hover(nullptr, this, wxRect());
    } else if (event.ButtonDown()) {
        owner_.Hover(nullptr, this, wxRect());
        owner_.ShowApplicationMenu();
        return;
    } else {
        hot_ = true;
        owner_.Hover(nullptr, this, wxRect(GetClientSize()));
    }
    Refresh();
}

void ApplicationButtonWindow::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    wxSize size = GetClientSize();
    DrawTabAreaBackground(dc, this, owner_);
    wxColour rim(30, 70, 130);
    wxColour light(150, 195, 245);
    wxColour dark(25, 80, 165);
    if (pressed_) {
        light = wxColour(250, 200, 110);
        dark = wxColour(190, 95, 15);
        rim = wxColour(120, 60, 10);
    } else if (hot_) {
        light = wxColour(185, 220, 255);
        dark = wxColour(45, 110, 200);
    }
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (gc) {
        double d = std::min(size.x, size.y) - 3.0;
        double x = (size.x - d) / 2;
        double y = (size.y - d) / 2;
        gc->SetBrush(gc->CreateRadialGradientBrush(x + d / 2, y + d / 3, x + d / 2, y + d / 2,
                                                   d * 0.75, light, dark));
        gc->SetPen(wxPen(rim, 2));
        gc->DrawEllipse(x, y, d, d);
        // A soft highlight over the upper half.
        gc->SetPen(*wxTRANSPARENT_PEN);
        gc->SetBrush(gc->CreateLinearGradientBrush(0, y, 0, y + d / 2, wxColour(255, 255, 255, 120),
                                                   wxColour(255, 255, 255, 0)));
        gc->DrawEllipse(x + d * 0.15, y + 2, d * 0.7, d * 0.45);
    }
    wxBitmap image = owner_.images().Image(owner_.model().applicationButton().image, 0);
    if (image.IsOk()) {
        dc.DrawBitmap(image, (size.x - image.GetWidth()) / 2, (size.y - image.GetHeight()) / 2,
                      true);
    }
}

}  // namespace ribbon
