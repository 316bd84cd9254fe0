#pragma once

#include <wx/ribbon/control.h>
#include <wx/timer.h>

#include <vector>

#include "ribbon_draw.h"
#include "ribbon_model.h"

class wxRibbonPanel;

namespace ribbon {

class RibbonWindow;

// The elements of one ribbon panel, laid out in columns as the Office ribbon does: a button
// with a large image takes a whole column, the other elements stack three to a column, a
// separator is a column of its own.
class PanelContent : public wxRibbonControl {
  public:
    PanelContent(wxRibbonPanel* parent, RibbonWindow& owner, Panel& panel);

    Panel& panel() { return panel_; }
    // Measures the elements again (after the art or a text changed); true when the size
    // changed.
    bool Relayout();
    // The element's rectangle in this window; false when it is not here.
    bool RectOf(const Element& e, wxRect* rect) const;
    // Acts as a click on the element: a command, a check box, or a button's menu.
    void Activate(const Element& e, bool dropDown);

    void SetArtProvider(wxRibbonArtProvider* art) override;
    bool IsSizingContinuous() const override { return false; }

  protected:
    wxSize DoGetBestSize() const override { return size_; }
    wxSize DoGetNextSmallerSize(wxOrientation, wxSize relative_to) const override {
        return relative_to;
    }
    wxSize DoGetNextLargerSize(wxOrientation, wxSize relative_to) const override {
        return relative_to;
    }

  private:
    struct Item {
        Item(Element* element, const wxRect& r, bool isLarge = false)
            : e(element), rect(r), large(isLarge) {}
        Element* e;
        wxRect rect;
        bool large = false;
        wxRect normal;  // button parts, in this window
        wxRect dropDown;
    };
    enum class Part { None, Normal, DropDown, Slider };

    void Measure();
    const Item* HitTest(const wxPoint& pt, Part* part, SliderPart* sliderPart) const;
    void DrawItem(wxDC& dc, const Item& item);
    void SetSliderValue(Element& slider, int value);

    void OnPaint(wxPaintEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnRepeat(wxTimerEvent& event);

    RibbonWindow& owner_;
    Panel& panel_;
    std::vector<Item> items_;
    wxSize size_{1, 1};

    const Item* hot_ = nullptr;
    Part hotPart_ = Part::None;
    SliderPart hotSlider_ = SliderPart::None;
    const Item* pressed_ = nullptr;
    Part pressedPart_ = Part::None;
    SliderPart pressedSlider_ = SliderPart::None;
    wxTimer repeat_;
};

}  // namespace ribbon
