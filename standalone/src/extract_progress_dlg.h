#pragma once

#include <wx/dialog.h>

class wxGauge;

// The small window that shows the extraction's progress: no caption, no border, a line of
// text and a bar. A press of the left button anywhere in it drags it, as a caption would.
class CExtractProgressDlg : public wxDialog {
  public:
    explicit CExtractProgressDlg(wxWindow* parent);

    // Centres itself over its parent and sets the bar's range to 0..100.
    bool Show(bool show = true) override;
    // Sets the bar; positions above 100 show 100.
    void SetProgress(long position);
    int GetProgress() const;

  private:
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);

    wxGauge* bar_ = nullptr;
    wxPoint dragOffset_;
    bool dragging_ = false;
};
