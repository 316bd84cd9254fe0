#include "ribbon_panel_content.h"

#include <wx/dcbuffer.h>
#include <wx/dcclient.h>
#include <wx/ribbon/panel.h>

#include <algorithm>

#include "ribbon_menus.h"
#include "ribbon_window.h"

namespace ribbon {
namespace {

constexpr int kMargin = 2;
constexpr int kColumnGap = 3;
constexpr int kSeparatorWidth = 9;
constexpr int kCheckSize = 13;
constexpr int kCheckGap = 5;
constexpr int kRows = 3;

wxColour DisabledText(const wxRibbonArtProvider& art) {
    wxColour text = art.GetColour(wxRIBBON_ART_BUTTON_BAR_LABEL_COLOUR);
    wxColour face = art.GetColour(wxRIBBON_ART_PAGE_BACKGROUND_COLOUR);
    return wxColour((text.Red() + face.Red() * 2) / 3, (text.Green() + face.Green() * 2) / 3,
                    (text.Blue() + face.Blue() * 2) / 3);
}

}  // namespace

PanelContent::PanelContent(wxRibbonPanel* parent, RibbonWindow& owner, Panel& panel)
    : wxRibbonControl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE),
      owner_(owner),
      panel_(panel),
      repeat_(this) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    m_art = parent->GetArtProvider();
    Bind(wxEVT_PAINT, &PanelContent::OnPaint, this);
    Bind(wxEVT_MOTION, &PanelContent::OnMotion, this);
    Bind(wxEVT_LEAVE_WINDOW, &PanelContent::OnLeave, this);
    Bind(wxEVT_LEFT_DOWN, &PanelContent::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &PanelContent::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &PanelContent::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &PanelContent::OnCaptureLost, this);
    Bind(wxEVT_TIMER, &PanelContent::OnRepeat, this);
    for (const auto& e : panel_.elements()) {
        owner_.Register(e.get(), this);
    }
    Measure();
}

void PanelContent::SetArtProvider(wxRibbonArtProvider* art) {
    m_art = art;
    Measure();
    Refresh();
}

bool PanelContent::Relayout() {
    wxSize old = size_;
    Measure();
    Refresh();
    return old != size_;
}

void PanelContent::Measure() {
    hot_ = pressed_ = nullptr;
    items_.clear();
    if (m_art == nullptr) {
        return;
    }
    wxClientDC dc(this);
    dc.SetFont(m_art->GetFont(wxRIBBON_ART_BUTTON_BAR_LABEL_FONT));
    const wxSize large(32, 32);
    const wxSize small(16, 16);

    wxSize probe;
    wxRect normal;
    wxRect dropDown;
    m_art->GetButtonBarButtonSize(dc, this, wxRIBBON_BUTTON_NORMAL,
                                  wxRIBBON_BUTTONBAR_BUTTON_MEDIUM, wxS("Xg"), 0, large, small,
                                  &probe, &normal, &dropDown);
    const int rowHeight = probe.y;
    m_art->GetButtonBarButtonSize(dc, this, wxRIBBON_BUTTON_HYBRID, wxRIBBON_BUTTONBAR_BUTTON_LARGE,
                                  wxS("Xg"), 0, large, small, &probe, &normal, &dropDown);
    const int height = std::max(probe.y, kRows * rowHeight);
    const int rowPitch = height / kRows;

    int x = kMargin;
    std::vector<std::pair<Element*, int>> column;  // small elements and their widths
    auto flush = [&] {
        if (column.empty()) {
            return;
        }
        int width = 0;
        for (auto& [e, w] : column) {
            width = std::max(width, w);
        }
        for (std::size_t row = 0; row < column.size(); ++row) {
            Element* e = column[row].first;
            Item item(e, wxRect(x, static_cast<int>(row) * rowPitch + (rowPitch - rowHeight) / 2,
                                e->kind() == Kind::Slider ? column[row].second : width, rowHeight));
            if (e->kind() == Kind::Button) {
                wxSize size;
                m_art->GetButtonBarButtonSize(dc, this, ButtonKind(*e),
                                              wxRIBBON_BUTTONBAR_BUTTON_MEDIUM,
                                              StripMnemonic(e->Caption()), 0, large, small, &size,
                                              &item.normal, &item.dropDown);
                item.rect.width = size.x;
                item.normal.Offset(item.rect.GetPosition());
                item.dropDown.Offset(item.rect.GetPosition());
            }
            items_.push_back(item);
        }
        x += width + kColumnGap;
        column.clear();
    };

    for (const auto& owned : panel_.elements()) {
        Element* e = owned.get();
        switch (e->kind()) {
            case Kind::Separator:
                flush();
                items_.emplace_back(e, wxRect(x, 2, kSeparatorWidth, height - 4));
                x += kSeparatorWidth + kColumnGap;
                break;
            case Kind::Button:
            case Kind::BottomButton:
                if (e->largeImage() >= 0) {
                    flush();
                    Item item(e, wxRect(x, 0, 0, height), true);
                    wxSize size;
                    m_art->GetButtonBarButtonSize(dc, this, ButtonKind(*e),
                                                  wxRIBBON_BUTTONBAR_BUTTON_LARGE,
                                                  StripMnemonic(e->Caption()), 0, large, small,
                                                  &size, &item.normal, &item.dropDown);
                    item.rect.width = size.x;
                    item.rect.height = std::min(size.y, height);
                    item.normal.Offset(item.rect.GetPosition());
                    item.dropDown.Offset(item.rect.GetPosition());
                    items_.push_back(item);
                    x += size.x + kColumnGap;
                } else {
                    wxSize size;
                    m_art->GetButtonBarButtonSize(
                        dc, this, ButtonKind(*e), wxRIBBON_BUTTONBAR_BUTTON_MEDIUM,
                        StripMnemonic(e->Caption()), 0, large, small, &size, &normal, &dropDown);
                    column.emplace_back(e, size.x);
                }
                break;
            case Kind::CheckBox:
                column.emplace_back(
                    e, kCheckSize + kCheckGap + MnemonicTextExtent(dc, e->Caption()).x + 6);
                break;
            case Kind::Label:
                column.emplace_back(e, dc.GetTextExtent(e->Caption()).x + 4);
                break;
            case Kind::Slider:
                column.emplace_back(
                    e, e->width() + (e->zoomButtons() ? 2 * (kZoomButtonSize + 2) : 0));
                break;
        }
        if (column.size() == kRows) {
            flush();
        }
    }
    flush();
    size_ = wxSize(std::max(x - kColumnGap + kMargin, 8), height);
    SetMinSize(size_);
    InvalidateBestSize();
}

bool PanelContent::RectOf(const Element& e, wxRect* rect) const {
    for (const Item& item : items_) {
        if (item.e == &e) {
            *rect = item.rect;
            return true;
        }
    }
    return false;
}

const PanelContent::Item* PanelContent::HitTest(const wxPoint& pt, Part* part,
                                                SliderPart* sliderPart) const {
    *part = Part::None;
    *sliderPart = SliderPart::None;
    for (const Item& item : items_) {
        if (!item.rect.Contains(pt)) {
            continue;
        }
        switch (item.e->kind()) {
            case Kind::Label:
            case Kind::Separator:
                return nullptr;
            case Kind::Slider:
                *sliderPart = SliderHitTest(*item.e, item.rect, pt);
                *part = *sliderPart == SliderPart::None ? Part::None : Part::Slider;
                return *part == Part::None ? nullptr : &item;
            case Kind::CheckBox:
                *part = Part::Normal;
                return &item;
            case Kind::Button:
            case Kind::BottomButton:
                *part = ButtonKind(*item.e) == wxRIBBON_BUTTON_NORMAL ? Part::Normal
                        : ButtonKind(*item.e) == wxRIBBON_BUTTON_DROPDOWN
                            ? Part::DropDown
                            : (item.dropDown.Contains(pt) ? Part::DropDown : Part::Normal);
                return &item;
        }
    }
    return nullptr;
}

void PanelContent::Activate(const Element& e, bool dropDown) {
    if (!e.enabled()) {
        return;
    }
    for (const Item& item : items_) {
        if (item.e != &e) {
            continue;
        }
        if (e.kind() == Kind::Button && (dropDown || ButtonKind(e) == wxRIBBON_BUTTON_DROPDOWN) &&
            ButtonKind(e) != wxRIBBON_BUTTON_NORMAL) {
            owner_.ShowElementMenu(e, this, item.rect.GetBottomLeft());
        } else if (e.kind() != Kind::Label && e.kind() != Kind::Separator) {
            owner_.PostCommand(e.id());
        }
        return;
    }
}

void PanelContent::SetSliderValue(Element& slider, int value) {
    int before = slider.pos();
    slider.SetPos(value);
    if (slider.pos() != before) {
        owner_.ExecuteCommand(slider.id());
    }
}

void PanelContent::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    if (m_art == nullptr) {
        return;
    }
    m_art->DrawButtonBarBackground(dc, this, wxRect(GetSize()));
    dc.SetFont(m_art->GetFont(wxRIBBON_ART_BUTTON_BAR_LABEL_FONT));
    for (const Item& item : items_) {
        DrawItem(dc, item);
    }
}

void PanelContent::DrawItem(wxDC& dc, const Item& item) {
    const Element& e = *item.e;
    const bool hot = hot_ == &item;
    const bool pressed = pressed_ == &item && hot;
    wxColour text =
        e.enabled() ? m_art->GetColour(wxRIBBON_ART_BUTTON_BAR_LABEL_COLOUR) : DisabledText(*m_art);
    switch (e.kind()) {
        case Kind::Separator: {
            int cx = item.rect.x + item.rect.width / 2;
            dc.SetPen(wxPen(m_art->GetColour(wxRIBBON_ART_PANEL_BORDER_COLOUR)));
            dc.DrawLine(cx, item.rect.y + 2, cx, item.rect.GetBottom() - 2);
            dc.SetPen(wxPen(m_art->GetColour(wxRIBBON_ART_PAGE_BACKGROUND_TOP_COLOUR)));
            dc.DrawLine(cx + 1, item.rect.y + 2, cx + 1, item.rect.GetBottom() - 2);
            break;
        }
        case Kind::Label:
            dc.SetTextForeground(m_art->GetColour(wxRIBBON_ART_BUTTON_BAR_LABEL_COLOUR));
            dc.DrawLabel(e.Caption(), item.rect.Deflate(2, 0),
                         wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
            break;
        case Kind::CheckBox: {
            if (hot && e.enabled()) {
                DrawHotBackground(dc, *m_art, item.rect, pressed);
            }
            wxRect box(item.rect.x + 2, item.rect.y + (item.rect.height - kCheckSize) / 2,
                       kCheckSize, kCheckSize);
            DrawCheckBox(dc, *m_art, box, e.checked(), e.enabled());
            dc.SetTextForeground(text);
            wxRect label = item.rect;
            label.x = box.GetRight() + kCheckGap;
            label.width = item.rect.GetRight() - label.x;
            DrawMnemonicText(dc, e.Caption(), label, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
            break;
        }
        case Kind::Slider:
            DrawSlider(dc, *m_art, e, item.rect, hot ? hotSlider_ : SliderPart::None);
            break;
        case Kind::Button:
        case Kind::BottomButton: {
            long state =
                item.large ? wxRIBBON_BUTTONBAR_BUTTON_LARGE : wxRIBBON_BUTTONBAR_BUTTON_MEDIUM;
            if (!e.enabled()) {
                state |= wxRIBBON_BUTTONBAR_BUTTON_DISABLED;
            } else if (hot) {
                bool drop = hotPart_ == Part::DropDown;
                if (pressed) {
                    state |= drop ? wxRIBBON_BUTTONBAR_BUTTON_DROPDOWN_ACTIVE
                                  : wxRIBBON_BUTTONBAR_BUTTON_NORMAL_ACTIVE;
                } else {
                    state |= drop ? wxRIBBON_BUTTONBAR_BUTTON_DROPDOWN_HOVERED
                                  : wxRIBBON_BUTTONBAR_BUTTON_NORMAL_HOVERED;
                }
            }
            if (e.checked()) {
                state |= wxRIBBON_BUTTONBAR_BUTTON_TOGGLED;
            }
            m_art->DrawButtonBarButton(dc, this, item.rect, ButtonKind(e), state,
                                       StripMnemonic(e.Caption()), LargeBitmap(owner_.images(), e),
                                       SmallBitmap(owner_.images(), e));
            break;
        }
    }
}

void PanelContent::OnMotion(wxMouseEvent& event) {
    Part part;
    SliderPart sliderPart;
    const Item* item = HitTest(event.GetPosition(), &part, &sliderPart);
    if (pressed_ && pressed_->e->kind() == Kind::Slider && pressed_->e->held()) {
        SetSliderValue(*pressed_->e, SliderValueAt(*pressed_->e, pressed_->rect, event.GetX()));
        Refresh();
        return;
    }
    if (item != hot_ || part != hotPart_ || sliderPart != hotSlider_) {
        hot_ = item;
        hotPart_ = part;
        hotSlider_ = sliderPart;
        Refresh();
    }
    owner_.Hover(item ? item->e : nullptr, this, item ? item->rect : wxRect());
}

void PanelContent::OnLeave(wxMouseEvent&) {
    if (HasCapture()) {
        return;
    }
    if (hot_) {
        hot_ = nullptr;
        Refresh();
    }
    owner_.Hover(nullptr, this, wxRect());
}

void PanelContent::OnLeftDown(wxMouseEvent& event) {
    owner_.Hover(nullptr, this, wxRect());
    Part part;
    SliderPart sliderPart;
    const Item* item = HitTest(event.GetPosition(), &part, &sliderPart);
    if (item == nullptr || !item->e->enabled()) {
        return;
    }
    pressed_ = hot_ = item;
    pressedPart_ = hotPart_ = part;
    pressedSlider_ = hotSlider_ = sliderPart;
    if (!HasCapture()) {
        CaptureMouse();
    }
    if (part == Part::Slider) {
        Element& slider = *item->e;
        if (sliderPart == SliderPart::Minus || sliderPart == SliderPart::Plus) {
            SetSliderValue(slider, slider.pos() + (sliderPart == SliderPart::Plus ? 1 : -1));
            repeat_.StartOnce(400);
        } else {
            slider.SetHeld(true);
            SetSliderValue(slider, SliderValueAt(slider, item->rect, event.GetX()));
        }
    }
    Refresh();
}

void PanelContent::OnRepeat(wxTimerEvent&) {
    if (pressed_ && pressed_->e->kind() == Kind::Slider && hot_ == pressed_ &&
        hotSlider_ == pressedSlider_) {
        Element& slider = *pressed_->e;
        SetSliderValue(slider, slider.pos() + (pressedSlider_ == SliderPart::Plus ? 1 : -1));
        repeat_.StartOnce(50);
    }
}

void PanelContent::OnLeftUp(wxMouseEvent& event) {
    if (HasCapture()) {
        ReleaseMouse();
    }
    repeat_.Stop();
    const Item* pressed = pressed_;
    Part pressedPart = pressedPart_;
    pressed_ = nullptr;
    if (pressed == nullptr) {
        return;
    }
    if (pressed->e->kind() == Kind::Slider) {
        pressed->e->SetHeld(false);
        Refresh();
        return;
    }
    Part part;
    SliderPart sliderPart;
    const Item* item = HitTest(event.GetPosition(), &part, &sliderPart);
    Refresh();
    if (item == pressed && part == pressedPart) {
        Activate(*item->e, part == Part::DropDown);
    }
}

void PanelContent::OnCaptureLost(wxMouseCaptureLostEvent&) {
    repeat_.Stop();
    if (pressed_ && pressed_->e->kind() == Kind::Slider) {
        pressed_->e->SetHeld(false);
    }
    pressed_ = nullptr;
    Refresh();
}

}  // namespace ribbon
