#pragma once

#include <wx/statusbr.h>

#include <vector>

#include "visual_styles.h"

// The main window's status bar in the ribbon's colours: panes found by their ids, the first
// in the main area (it takes the free width), the others in the extended area at the right end.
class RibbonStatusBar : public wxStatusBar {
  public:
    explicit RibbonStatusBar(wxWindow* parent);

    // Adds a pane with its text as its label; main area panes before extended ones.
    void AddPane(int id, const wxString& text, bool extended);
    // The pane's field, or -1 when there is no such pane.
    int FindPane(int id) const;
    bool SetPaneText(int id, const wxString& text);
    wxString PaneText(int id) const;

    void SetTheme(const looks::Theme& theme);

  private:
    struct Pane {
        int id;
        bool extended;
    };
    void UpdateWidths();
    void OnPaint(wxPaintEvent& event);

    std::vector<Pane> panes_;
    looks::Theme theme_{};
};
