#pragma once

#include <vector>

#include "flash/player/player.h"

namespace flash {

// What the control's menu depends on.
struct MenuState {
    bool hasMovie = false;
    int frameCount = 0;
    int currentFrame = 0;  // 0-based
    bool playing = false;
    bool looping = true;
    bool zoomed = false;
    Quality quality = Quality::High;
    bool showMenu = true;  // Stage.showMenu: false leaves only the entries about the player
};

// The control's own menu: zoom in, zoom out, show all; the quality; play and loop, rewind,
// forward and back for movies of more than one frame; about. Entries that cannot act now
// are disabled.
std::vector<MenuEntry> BuildContextMenu(const MenuState& state);

}  // namespace flash
