#pragma once

#include <wx/window.h>

#include "playback/flash_window.h"
#include "testing/fake_flash.h"

// The view's control for GUI tests: a plain child window over a FakeFlash. The last one made
// is reachable through Last().
class FakeFlashWindow : public FlashWindow {
  public:
    explicit FakeFlashWindow(wxWindow* parent)
        : window_(new wxWindow(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0,
                               wxString(kViewControlText))) {
        flash.otherMovies = 100;
        last_ = this;
    }
    ~FakeFlashWindow() override {
        if (last_ == this) {
            last_ = nullptr;
        }
    }
    wxWindow* Window() override { return window_; }
    FlashControl& Control() override { return flash; }

    FakeFlash flash;
    static FakeFlashWindow* Last() { return last_; }
    static FlashWindowFactory Factory() {
        return [](wxWindow* parent) { return std::make_unique<FakeFlashWindow>(parent); };
    }

  private:
    wxWindow* window_;
    static inline FakeFlashWindow* last_ = nullptr;
};
