#pragma once

#include "playback/flash_window.h"

// The view's control: the player component's CShockwaveFlash, created as the view's child
// with its window text "Flash Control" and control id 19890106.
FlashWindowFactory ShockwaveFlashFactory();
