#pragma once

#include <wx/dialog.h>

class wxGauge;
class wxStaticText;

// The progress window of a standalone build: a caption-less bar with a status line and a
// progress bar, shown centred over the main window while a build runs. Made without a window;
// the window is created on first use and then only shown and hidden. The user cannot close or
// hide it: Escape shows it again, Enter does nothing, and it is dragged by any point.
class CMakeExeStatu : public wxDialog {
  public:
    CMakeExeStatu() = default;

    // Creates the window over `parent`: takes the progress bar, sets its range to 0..100 and
    // its position to 0.
    bool Create(wxWindow* parent);
    bool WindowCreated() const { return GetHandle() != nullptr; }

    wxGauge* progressBar() const { return progress_; }
    wxStaticText* statusText() const { return text_; }

    // Makes the next Create fail, for tests of what follows.
    static void FailCreationForTesting(bool fail);

  private:
    void OnShow(wxShowEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnButton(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void BindDrag(wxWindow* window);

    wxGauge* progress_ = nullptr;
    wxStaticText* text_ = nullptr;
    wxWindow* dragging_ = nullptr;
    wxPoint dragOffset_;
};
