#pragma once

#include "platform/types.h"

// The main frame's side of WM_MAKEEXE_NOTIFY: what each code of the standalone builder does
// to the progress window and the result box.
class MakeExeProgressView {
  public:
    virtual ~MakeExeProgressView() = default;
    virtual bool WindowExists() const = 0;
    // Creates the progress window; false when it cannot be made.
    virtual bool CreateWindow() = 0;
    virtual void ShowWindow(bool show) = 0;
    virtual void SetProgress(int position) = 0;
    virtual void SetStatusText(const wchar_t* text) = 0;
    // A message box with an OK button; returns when it is closed.
    virtual void ShowResult(const wchar_t* text) = 0;
};

class MakeExeProgress {
  public:
    explicit MakeExeProgress(MakeExeProgressView& view) : view_(view) {}

    // Handles one message: wParam is the code, lParam its argument (a wide text pointer for
    // codes 1 and 5 and above). The result is always 0.
    platform::LRESULT Handle(platform::WPARAM code, platform::LPARAM arg);

    // Whether the progress window can be used; false for the rest of the run once it could
    // not be created.
    static bool Usable();
    static void ResetUsableForTesting();

  private:
    MakeExeProgressView& view_;
};

// Where a window of size (w, h) goes to sit centred over the rectangle (left, top, right,
// bottom), right and bottom exclusive as window rectangles are; each halving truncates
// toward zero.
struct CentredPosition {
    int x;
    int y;
    bool operator==(const CentredPosition&) const = default;
};
CentredPosition CentreOver(int left, int top, int right, int bottom, int w, int h);
