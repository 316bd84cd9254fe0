#pragma once

#include <wx/popupwin.h>

#include <vector>

#include "ribbon_model.h"

namespace ribbon {

class RibbonWindow;

// The application button's menu: its elements in a column with large images, the recent-files
// area at the right (its caption, 300 pixels wide, empty) and the bottom row with the exit
// button. A button with sub-items opens them as a menu beside it.
class ApplicationMenuWindow : public wxPopupTransientWindow {
  public:
    ApplicationMenuWindow(wxWindow* parent, RibbonWindow& owner, ApplicationMenu& menu);

    // Measures the elements again (their texts change with the history).
    void Relayout();
    bool RectOf(const Element& e, wxRect* rect) const;
    // Acts as a click: runs the element's command, or opens its sub-items beside it.
    void Activate(const Element& e, bool dropDown);
    // The recent-files area (empty rectangle when it is not drawn).
    wxRect recentArea() const { return recentArea_; }
    // Takes the keyboard while it is shown (Escape closes it).
    wxWindow* keyTarget() const { return keys_; }

  private:
    struct Item {
        Element* e;
        wxRect rect;
    };

    void OnPaint(wxPaintEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnKey(wxKeyEvent& event);
    void OnDismiss() override;
    const Item* HitTest(const wxPoint& pt) const;
    bool InArrow(const Item& item, const wxPoint& pt) const;

    RibbonWindow& owner_;
    ApplicationMenu& menu_;
    std::vector<Item> items_;
    wxRect recentArea_;
    wxRect bottomRow_;
    const Item* hot_ = nullptr;
    wxWindow* keys_ = nullptr;
};

}  // namespace ribbon
