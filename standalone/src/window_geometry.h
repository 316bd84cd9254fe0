#pragma once

#include <cstdint>
#include <optional>

namespace standalone {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// Where the control, the toolbar and the slider go in a client area of cx by cy pixels. The bar
// below the control is 30 pixels high with a toolbar 110 wide, unless the toolkit's toolbar or
// slider need more (given as their best sizes; 0 for none): then the bar grows to fit them.
struct PlayerLayout {
    Rect flash;
    Rect toolbar;
    Rect slider;
    bool operator==(const PlayerLayout&) const = default;
};
PlayerLayout LayoutFor(int cx, int cy, int toolbarWidth = 0, int toolbarHeight = 0,
                       int sliderHeight = 0);

// The window's new place and size so the control shows a movie of the given stage size (at
// least 320 by 240), within the screen and centred on it. None when the size is unknown
// (either side 0).
std::optional<Rect> FitToMovie(int windowWidth, int windowHeight, int flashWidth, int flashHeight,
                               std::uint32_t movieWidth, std::uint32_t movieHeight, int screenWidth,
                               int screenHeight);

}  // namespace standalone
