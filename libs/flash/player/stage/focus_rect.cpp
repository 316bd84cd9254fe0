#include "stage/focus_rect.h"

#include <algorithm>
#include <cmath>

#include "display/display_object.h"
#include "flash/player/image.h"
#include "input/keyboard_input.h"
#include "runtime/runtime.h"

namespace flash {

namespace {

constexpr int kThickness = 3;
constexpr std::uint32_t kYellow = 0xFFFFFF00;

void FillRows(Image& target, int x0, int x1, int y0, int y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, target.Width());
    y1 = std::min(y1, target.Height());
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            target.SetPixel(x, y, kYellow);
        }
    }
}

}  // namespace

std::optional<render::PixelRect> FocusRectArea(Runtime& runtime, const Matrix& stageToView) {
    KeyboardInput& keyboard = runtime.Keyboard();
    DisplayObject* focus = keyboard.Focus();
    if (!keyboard.ShowsFocusRect() || focus == nullptr) {
        return std::nullopt;
    }
    const Rect local = focus->LocalBounds();
    if (local.empty()) {
        return std::nullopt;
    }
    const Matrix toView = stageToView * focus->ToStage();
    double left = 1e6, top = 1e6, right = -1e6, bottom = -1e6;
    for (double x : {local.xmin, local.xmax}) {
        for (double y : {local.ymin, local.ymax}) {
            const Point p = toView.Apply(Point{x, y});
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
    }
    // The frame covers the pixels the bounds touch.
    const int x0 = static_cast<int>(std::floor(std::max(left, -1e6)));
    const int y0 = static_cast<int>(std::floor(std::max(top, -1e6)));
    const int x1 = static_cast<int>(std::ceil(std::min(right, 1e6)));
    const int y1 = static_cast<int>(std::ceil(std::min(bottom, 1e6)));
    if (x1 <= x0 || y1 <= y0) {
        return std::nullopt;
    }
    return render::PixelRect{x0, y0, x1 - x0, y1 - y0};
}

void DrawFocusRect(Image& target, const render::PixelRect& area) {
    const int x1 = area.x + area.width;
    const int y1 = area.y + area.height;
    const int t = std::min({kThickness, area.width, area.height});
    FillRows(target, area.x, x1, area.y, area.y + t);
    FillRows(target, area.x, x1, y1 - t, y1);
    FillRows(target, area.x, area.x + t, area.y + t, y1 - t);
    FillRows(target, x1 - t, x1, area.y + t, y1 - t);
}

}  // namespace flash
