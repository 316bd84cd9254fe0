#pragma once

// Morph shapes (DefineMorphShape 1 and 2): a start and an end shape blended by a ratio.

#include <cstdint>
#include <vector>

#include "flash/geom.h"
#include "flash/swf/shape.h"

namespace flash::swf {

// A fill style with its start and end values; type and bitmap id are those of `start`.
struct MorphFillStyle {
    FillStyle start;
    FillStyle end;
    bool operator==(const MorphFillStyle&) const = default;
};

// A line style with its start and end values; caps, joins and flags are those of `start`.
struct MorphLineStyle {
    LineStyle start;
    LineStyle end;
    bool operator==(const MorphLineStyle&) const = default;
};

// One edge at its start and at its end; the style indexes are those of `start`. When one side
// is straight and the other curved, both are curves (the straight one with its control point
// at its midpoint).
struct MorphEdge {
    Edge start;
    Edge end;
    bool operator==(const MorphEdge&) const = default;
};

struct MorphShape {
    int version = 1;  // 1 or 2
    Rect startBounds;
    Rect endBounds;
    Rect startEdgeBounds;  // version 2; otherwise the bounds
    Rect endEdgeBounds;
    bool usesNonScalingStrokes = false;
    bool usesScalingStrokes = false;
    std::vector<MorphFillStyle> fills;
    std::vector<MorphLineStyle> lines;
    std::vector<MorphEdge> edges;  // paired edge for edge
    bool operator==(const MorphShape&) const = default;
};

// The shape at ratio 0 (start) .. 65535 (end), as one layer. Pure: same input, same shape.
Shape MorphAt(const MorphShape& morph, std::uint16_t ratio);

// Pairs the edges of the start and the end shape by their order (moves do not count). Extra
// edges on the longer side are dropped; the end edges' style indexes are ignored.
std::vector<MorphEdge> PairMorphEdges(const std::vector<Edge>& start, const std::vector<Edge>& end);

}  // namespace flash::swf
