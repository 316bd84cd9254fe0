#pragma once

#include <optional>

#include "flash/geom.h"
#include "flash/render/renderer.h"

namespace flash {

class Image;
class Runtime;

// The yellow rectangle Flash draws around the button or clip that took the keyboard focus by
// Tab: the object's bounds in view pixels under `stageToView`, a frame three pixels wide on
// the inside. None when nothing shows one.
std::optional<render::PixelRect> FocusRectArea(Runtime& runtime, const Matrix& stageToView);

// Draws the rectangle over what the frame shows, clipped to the target.
void DrawFocusRect(Image& target, const render::PixelRect& area);

}  // namespace flash
