#pragma once

// Turns the edges of a shape into closed fill contours per fill style and stroke paths per
// line style, as Flash builds them.

#include <cstdint>
#include <vector>

#include "flash/swf/shape.h"
#include "path.h"

namespace flash::render {

struct StylePath {
    std::uint16_t style = 0;  // 1-based index into the layer's fill or line styles
    Path path;
};

struct LayerPaths {
    std::vector<StylePath> fills;  // in style order
    std::vector<StylePath> lines;  // in style order
    // Some edge has different fills on its two sides: drawing the fills one by one would
    // let the background show through along it.
    bool sharedEdges = false;
};

struct ShapePaths {
    std::vector<LayerPaths> layers;
    Box bounds;  // twips, every point of every path
};

// The contours of fill `fill` among `edges`: every edge with the fill on its left (fill0) or
// right (fill1) side, oriented so the fill is on the same side, joined end to start into
// closed contours. Edges with the fill on both sides are left out.
Path BuildFillPath(const std::vector<swf::Edge>& edges, std::uint16_t fill);

// The stroke of line style `line`: its edges in order, consecutive ones joined where they
// meet; a subpath that ends where it starts is closed unless `noClose`.
Path BuildLinePath(const std::vector<swf::Edge>& edges, std::uint16_t line, bool noClose);

ShapePaths BuildShapePaths(const swf::Shape& shape);

}  // namespace flash::render
