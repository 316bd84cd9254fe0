// Morph shapes: edge pairing and the shape at a ratio.

#include "flash/swf/morph.h"

#include <algorithm>
#include <cmath>

namespace flash::swf {
namespace {

double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

std::uint8_t Lerp8(std::uint8_t a, std::uint8_t b, double t) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(Lerp(a, b, t)), 0L, 255L));
}

std::int32_t LerpInt(std::int32_t a, std::int32_t b, double t) {
    return static_cast<std::int32_t>(std::llround(Lerp(a, b, t)));
}

Point Lerp(Point a, Point b, double t) {
    return {Lerp(a.x, b.x, t), Lerp(a.y, b.y, t)};
}

Rgba Lerp(Rgba a, Rgba b, double t) {
    return {Lerp8(a.r, b.r, t), Lerp8(a.g, b.g, t), Lerp8(a.b, b.b, t), Lerp8(a.a, b.a, t)};
}

Rect Lerp(const Rect& a, const Rect& b, double t) {
    return {LerpInt(a.xmin, b.xmin, t), LerpInt(a.xmax, b.xmax, t), LerpInt(a.ymin, b.ymin, t),
            LerpInt(a.ymax, b.ymax, t)};
}

Matrix Lerp(const Matrix& a, const Matrix& b, double t) {
    return {Lerp(a.a, b.a, t), Lerp(a.b, b.b, t),   Lerp(a.c, b.c, t),
            Lerp(a.d, b.d, t), Lerp(a.tx, b.tx, t), Lerp(a.ty, b.ty, t)};
}

FillStyle Lerp(const FillStyle& a, const FillStyle& b, double t) {
    FillStyle f = a;
    f.color = Lerp(a.color, b.color, t);
    f.matrix = Lerp(a.matrix, b.matrix, t);
    f.gradient.focalPoint = Lerp(a.gradient.focalPoint, b.gradient.focalPoint, t);
    const std::size_t n = std::min(a.gradient.records.size(), b.gradient.records.size());
    for (std::size_t i = 0; i < n; ++i) {
        const GradientRecord& s = a.gradient.records[i];
        const GradientRecord& e = b.gradient.records[i];
        f.gradient.records[i] = {Lerp8(s.ratio, e.ratio, t), Lerp(s.color, e.color, t)};
    }
    return f;
}

LineStyle Lerp(const LineStyle& a, const LineStyle& b, double t) {
    LineStyle s = a;
    s.width =
        static_cast<std::uint16_t>(std::clamp(std::lround(Lerp(a.width, b.width, t)), 0L, 65535L));
    s.color = Lerp(a.color, b.color, t);
    if (a.hasFill) {
        s.fill = Lerp(a.fill, b.fill, t);
    }
    return s;
}

}  // namespace

std::vector<MorphEdge> PairMorphEdges(const std::vector<Edge>& start,
                                      const std::vector<Edge>& end) {
    const std::size_t n = std::min(start.size(), end.size());
    std::vector<MorphEdge> out;
    out.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        MorphEdge m{start[i], end[i]};
        m.end.fill0 = m.start.fill0;
        m.end.fill1 = m.start.fill1;
        m.end.line = m.start.line;
        // A straight edge keeps its control point at its midpoint, so it is already the
        // curve it becomes when paired with a curve.
        if (m.start.curved || m.end.curved) {
            m.start.curved = m.end.curved = true;
        }
        out.push_back(m);
    }
    return out;
}

Shape MorphAt(const MorphShape& morph, std::uint16_t ratio) {
    const double t = ratio / 65535.0;
    Shape shape;
    shape.version = morph.version >= 2 ? 4 : 3;
    shape.bounds = Lerp(morph.startBounds, morph.endBounds, t);
    shape.edgeBounds = Lerp(morph.startEdgeBounds, morph.endEdgeBounds, t);
    shape.usesNonScalingStrokes = morph.usesNonScalingStrokes;
    shape.usesScalingStrokes = morph.usesScalingStrokes;
    ShapeLayer& layer = shape.layers.emplace_back();
    layer.fills.reserve(morph.fills.size());
    for (const MorphFillStyle& f : morph.fills) {
        layer.fills.push_back(Lerp(f.start, f.end, t));
    }
    layer.lines.reserve(morph.lines.size());
    for (const MorphLineStyle& l : morph.lines) {
        layer.lines.push_back(Lerp(l.start, l.end, t));
    }
    layer.edges.reserve(morph.edges.size());
    for (const MorphEdge& m : morph.edges) {
        Edge e = m.start;
        e.from = Lerp(m.start.from, m.end.from, t);
        e.control = Lerp(m.start.control, m.end.control, t);
        e.to = Lerp(m.start.to, m.end.to, t);
        layer.edges.push_back(e);
    }
    return shape;
}

}  // namespace flash::swf
