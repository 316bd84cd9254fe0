#pragma once

#include <functional>
#include <memory>

#include "playback/flash_control.h"

class wxWindow;

// The Flash control as the view hosts it: a child window and its operations.
class FlashWindow {
  public:
    virtual ~FlashWindow();
    virtual wxWindow* Window() = 0;
    virtual FlashControl& Control() = 0;
};

// Makes the view's control as a child of `parent`; null when it cannot be made.
using FlashWindowFactory = std::function<std::unique_ptr<FlashWindow>(wxWindow* parent)>;

// The program sets the real control; tests set their own.
void SetFlashWindowFactory(FlashWindowFactory factory);
std::unique_ptr<FlashWindow> MakeFlashWindow(wxWindow* parent);

// Window text and id of the view's control.
inline constexpr const wchar_t* kViewControlText = L"Flash Control";
inline constexpr long kViewControlId = 19890106;
