#pragma once

#include <wx/panel.h>
#include <wx/ribbon/bar.h>
#include <wx/timer.h>

#include <map>
#include <memory>
#include <vector>

#include "ribbon_model.h"
#include "visual_styles.h"

class wxRibbonArtProvider;
namespace res {
class ImageStrips;
}

// The drawing of the ribbon model with wxWidgets' ribbon: a caption strip with the
// quick-access toolbar, the application button, the tabs with their pages and panels
// (wxRibbonBar, wxRibbonPage, wxRibbonPanel) and the buttons at the right of the tabs.
// Elements are drawn by small windows of our own inside the panels; they carry no window ids
// of the elements, so commands of any value go out by the model's ids. Commands are sent to
// the target window (the main frame) as menu events; update handlers run for the elements
// when the program is idle.
namespace ribbon {

class ApplicationButtonWindow;
class ApplicationMenuWindow;
class CaptionStrip;
class PanelContent;
class RichToolTip;
class ToolStrip;

class RibbonWindow : public wxPanel, public Listener {
  public:
    // The elements' images come from `images`.
    RibbonWindow(wxWindow* parent, Ribbon& model, wxWindow* target, res::ImageStrips& images);
    ~RibbonWindow() override;

    Ribbon& model() { return model_; }
    wxRibbonBar* bar() { return bar_; }
    wxRibbonArtProvider* art() const;
    wxWindow* target() const { return target_; }
    res::ImageStrips& images() { return images_; }

    // Makes the pages, panels and toolbars for the model as it is built.
    void Realize();
    // Shows the ribbon in a theme.
    void ApplyTheme(const looks::Theme& theme);

    // Sends the command to the target as a menu event.
    void ExecuteCommand(int id);
    // The same, after the current event has been handled (for clicks).
    void PostCommand(int id);
    // Runs the update handlers of every element now.
    void UpdateCommandUI();

    // Shows the sub-items of `e` (or its menu resource) as a popup menu of `owner` at `pos`
    // (client coordinates) and runs the chosen command.
    void ShowElementMenu(const Element& e, wxWindow* owner, const wxPoint& pos);

    // The application menu.
    void ShowApplicationMenu();
    void CloseApplicationMenu();
    ApplicationMenuWindow* applicationMenuWindow() { return appMenu_; }
    ApplicationButtonWindow* applicationButton() { return appButton_; }

    // Tooltips: an element under the mouse in `window` at `rect` (client coordinates of the
    // window); null when the mouse left.
    void Hover(const Element* e, wxWindow* window, const wxRect& rect);
    RichToolTip* toolTip() { return toolTip_; }
    // Shows the tooltip of the hovered element at once (tests, and the hover timer).
    void ShowToolTipNow();

    // Where an element is drawn: its window and rectangle there (the first place it is shown:
    // a panel, the quick-access toolbar, the tab-side buttons). False when it is not drawn.
    bool Locate(const Element& e, wxWindow** window, wxRect* rect) const;
    // Clicks an element as the user would with the mouse: a command, a check box, a menu.
    bool Click(const Element& e);
    // Moves a slider as a drag would, sending its command.
    bool DragSlider(const Element& slider, int value);

    // Windows that draw elements register here to be refreshed when the elements change.
    void Register(const Element* e, wxWindow* window);

    // Listener.
    void ElementChanged(Element& element, Change change) override;

    wxSize DoGetBestSize() const override;

  private:
    void OnSize(wxSizeEvent& event);
    void OnIdle(wxIdleEvent& event);
    void LayoutChildren();
    void UpdateElement(Element& e);

    Ribbon& model_;
    wxWindow* target_;
    res::ImageStrips& images_;
    wxRibbonBar* bar_ = nullptr;
    CaptionStrip* caption_ = nullptr;
    ToolStrip* quickAccess_ = nullptr;
    ToolStrip* tabButtons_ = nullptr;
    ApplicationButtonWindow* appButton_ = nullptr;
    ApplicationMenuWindow* appMenu_ = nullptr;
    RichToolTip* toolTip_ = nullptr;
    std::vector<PanelContent*> contents_;
    std::multimap<const Element*, wxWindow*> hosts_;
    looks::Theme theme_{};

    const Element* hovered_ = nullptr;
    wxWindow* hoverWindow_ = nullptr;
    wxRect hoverRect_;
    wxTimer hoverTimer_;
    wxLongLong lastUpdate_ = 0;
};

// Height of the caption strip above the tabs and the left margin of the tabs that the
// application button takes.
inline constexpr int kCaptionHeight = 26;

}  // namespace ribbon
