#pragma once

#include <functional>
#include <memory>

#include "host/player_control.h"

class wxWindow;

// Makes the view's control, not created yet.
using FlashWindowFactory = std::function<std::unique_ptr<host::PlayerControl>()>;

// The program sets the real control; tests set their own.
void SetFlashWindowFactory(FlashWindowFactory factory);
// The view's control, created as a child of `parent` over its client area; null when there is
// no factory or the control cannot be made.
std::unique_ptr<host::PlayerControl> MakeFlashWindow(wxWindow* parent);

// Window text and id of the view's control.
inline constexpr const wchar_t* kViewControlText = L"Flash Control";
inline constexpr long kViewControlId = 19890106;
