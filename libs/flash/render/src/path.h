#pragma once

// Paths in a character's own space (twips) and how they reach Cairo in device space.

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "flash/geom.h"

namespace flash::render {

// An axis-aligned box of doubles; empty until a point is added.
struct Box {
    double x0 = 0, y0 = 0, x1 = -1, y1 = -1;

    bool Empty() const { return x0 > x1 || y0 > y1; }
    void Add(double x, double y);
    void Add(const Box& b);
    // Grown by `d` on every side.
    Box Grown(double d) const;
    bool Intersects(const Box& b) const;
};

// Moves, straight lines and quadratic curves, as SWF edges are.
class Path {
  public:
    enum class Op : std::uint8_t { Move, Line, Quad, Close };

    void MoveTo(Point p);
    void LineTo(Point p);
    void QuadTo(Point control, Point to);
    void Close();

    bool Empty() const { return ops_.empty(); }
    const std::vector<Op>& Ops() const { return ops_; }
    const std::vector<Point>& Points() const { return points_; }
    // The box of every point, control points included.
    const Box& Bounds() const { return bounds_; }

  private:
    std::vector<Op> ops_;
    std::vector<Point> points_;  // one per Move and Line, two per Quad
    Box bounds_;
};

// The device box of the corners of a twips box under `m`.
Box DeviceBox(const Box& b, const Matrix& m);

// Whether a matrix can place anything: finite and not collapsing the plane.
bool IsUsable(const Matrix& m);

// How stroke points are moved onto the pixel grid (pixel hinting).
enum class Snap : std::uint8_t { None, PixelEdges, PixelCentres };

// Appends `path` under `m` to the current path of `cr`, whose matrix must be the identity.
// Device coordinates are clamped to what Cairo's fixed point holds. Adds the device points
// to `bounds` when given.
void AppendPath(cairo_t* cr, const Path& path, const Matrix& m, Snap snap = Snap::None,
                Box* bounds = nullptr);

}  // namespace flash::render
