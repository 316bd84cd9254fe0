#include "window_geometry.h"

#include <algorithm>

namespace standalone {
namespace {

constexpr int kMinMovieWidth = 320;
constexpr int kMinMovieHeight = 240;
constexpr int kBarHeight = 30;
constexpr int kToolbarWidth = 110;

}  // namespace

PlayerLayout LayoutFor(int cx, int cy, int toolbarWidth, int toolbarHeight, int sliderHeight) {
    const int bar = std::max({kBarHeight, toolbarHeight + 2, sliderHeight + 6});
    const int tools = std::max(kToolbarWidth, toolbarWidth);
    PlayerLayout layout;
    layout.flash = {0, 0, cx, cy - bar};
    layout.toolbar = {5, cy - bar, tools, bar - 2};
    layout.slider = {tools, cy - bar + 4, cx - tools - 5, bar - 6};
    return layout;
}

std::optional<Rect> FitToMovie(int windowWidth, int windowHeight, int flashWidth, int flashHeight,
                               std::uint32_t movieWidth, std::uint32_t movieHeight, int screenWidth,
                               int screenHeight) {
    if (movieWidth == 0 || movieHeight == 0) {
        return std::nullopt;
    }
    // Stage sizes come from the trailer's 16-bit fields.
    const int w =
        std::max(static_cast<int>(std::min<std::uint32_t>(movieWidth, 65535)), kMinMovieWidth);
    const int h =
        std::max(static_cast<int>(std::min<std::uint32_t>(movieHeight, 65535)), kMinMovieHeight);
    Rect r;
    r.width = std::min(windowWidth - flashWidth + w, screenWidth);
    r.height = std::min(windowHeight - flashHeight + h, screenHeight);
    r.x = (screenWidth - r.width) / 2;
    r.y = (screenHeight - r.height) / 2;
    return r;
}

}  // namespace standalone
