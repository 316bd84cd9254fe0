#pragma once

// Strokes of line styles: width and its scaling, caps, joins, pixel hinting, filled strokes.

#include <cairo.h>

#include "flash/render/renderer.h"
#include "flash/swf/shape.h"
#include "paint.h"
#include "path.h"

namespace flash::render {

// The stroke width in device pixels for an object whose twips map to device pixels by `m`:
// scaled by the mean of the matrix's x and y scales, by one of them when the style does not
// scale in the other direction, by the stage scale alone when it scales in neither. Never
// thinner than one pixel (Flash's hairline).
double StrokeWidth(const swf::LineStyle& style, const Matrix& m, double stageScale);

// Strokes `path` (twips) with `style`.
void StrokePath(cairo_t* cr, const Path& path, const swf::LineStyle& style, const Transform& t,
                double stageScale, const PaintContext& context);

}  // namespace flash::render
