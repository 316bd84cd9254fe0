#pragma once

#include <cstdint>

#include "flash/geom.h"
#include "flash/swf/movie.h"

namespace flash {

// Whether a point in a shape's own twips lies in one of its fills or on one of its strokes.
// Fills follow the shape's rule (even-odd, or non-zero for DefineShape4 that asks for it);
// curves count as short straight pieces.
bool ShapeHits(const swf::Shape& shape, Point p);

// The same for any character drawn as it is (shapes, morph shapes at `ratio`, text, bitmaps,
// edit text); text, bitmaps and edit text are hit anywhere in their box. False for the rest.
bool CharacterHits(const swf::Character& character, std::uint16_t ratio, Point p);

}  // namespace flash
