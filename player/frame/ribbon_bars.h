#pragma once

#include <wx/window.h>

#include <vector>

#include "ribbon_model.h"

// The small windows around the tabs: a row of tool buttons (the quick-access toolbar and the
// buttons at the right of the tabs), the caption strip that carries the toolbar and the
// window title, and the round application button.
namespace ribbon {

class RibbonWindow;

class ToolStrip : public wxWindow {
  public:
    // With `showText` a tool shows its caption beside the image.
    ToolStrip(wxWindow* parent, RibbonWindow& owner, bool showText);

    void SetElements(std::vector<Element*> elements);
    const std::vector<Element*>& elements() const { return elements_; }
    bool RectOf(const Element& e, wxRect* rect) const;
    void Activate(const Element& e);
    void Relayout();

    wxSize DoGetBestSize() const override { return size_; }

  private:
    void OnPaint(wxPaintEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    int HitTest(const wxPoint& pt) const;

    RibbonWindow& owner_;
    bool showText_;
    std::vector<Element*> elements_;
    std::vector<wxRect> rects_;
    wxSize size_{1, 1};
    int hot_ = -1;
    int pressed_ = -1;
};

// The strip above the tabs: its background, the window title, and the quick-access toolbar.
class CaptionStrip : public wxWindow {
  public:
    CaptionStrip(wxWindow* parent, RibbonWindow& owner);
    void SetTitle(const wxString& title);

  private:
    void OnPaint(wxPaintEvent& event);
    RibbonWindow& owner_;
    wxString title_;
};

class ApplicationButtonWindow : public wxWindow {
  public:
    ApplicationButtonWindow(wxWindow* parent, RibbonWindow& owner);
    void SetPressed(bool pressed);

  private:
    void OnPaint(wxPaintEvent& event);
    void OnMouse(wxMouseEvent& event);
    RibbonWindow& owner_;
    bool hot_ = false;
    bool pressed_ = false;
};

// Paints a window above or in the tab row with the tab row's background.
void DrawTabAreaBackground(wxDC& dc, wxWindow* window, RibbonWindow& owner);

}  // namespace ribbon
