#pragma once

#include "flash/geom.h"

namespace flash {

// How the stage maps onto a view of the given size in pixels: a matrix from stage twips to
// view pixels. 0 show all (whole stage, letterboxed, centred), 1 no border (view filled,
// stage cropped, centred), 2 exact fit (stretched), 3 no scale (actual size, centred); any
// other value shows all.
Matrix StageTransform(const Rect& stage, int viewWidth, int viewHeight, int scaleMode);

}  // namespace flash
