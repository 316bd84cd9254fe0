#pragma once

// The device area a character's drawing may touch, to find what changed between frames.

#include "flash/render/renderer.h"
#include "flash/swf/shape.h"
#include "flash/swf/text.h"
#include "path.h"
#include "shape_paths.h"

namespace flash::render {

// Every path point under `m`, grown by the widest reach of a stroke (miters and square caps
// included) and the anti-aliasing.
Box ShapeDeviceBox(const swf::Shape& shape, const ShapePaths& paths, const Matrix& m,
                   double stageScale);
// The text's bounds and a generous box around every glyph run (glyphs may leave the
// declared bounds).
Box TextDeviceBox(const swf::Text& text, const Matrix& m);

// `box` rounded outwards to whole pixels.
PixelRect ToPixelRect(const Box& box);

}  // namespace flash::render
