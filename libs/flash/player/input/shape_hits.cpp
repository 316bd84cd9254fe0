#include "input/shape_hits.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "flash/render/bitmap_decode.h"

namespace flash {

namespace {

// Pieces a curve is cut into; fine enough for a pointer, cheap enough per event.
constexpr int kCurveSteps = 12;
// Hairlines (width 0) are hit within a pixel.
constexpr double kHairlineTwips = 20;

bool Inside(const Rect& r, Point p) {
    return !r.empty() && p.x >= r.xmin && p.x <= r.xmax && p.y >= r.ymin && p.y <= r.ymax;
}

// Calls f(a, b) for each straight piece of an edge.
template <typename F>
void ForEachPiece(const swf::Edge& e, F&& f) {
    if (!e.curved) {
        f(e.from, e.to);
        return;
    }
    Point last = e.from;
    for (int i = 1; i <= kCurveSteps; ++i) {
        double t = static_cast<double>(i) / kCurveSteps;
        double u = 1 - t;
        Point next{u * u * e.from.x + 2 * u * t * e.control.x + t * t * e.to.x,
                   u * u * e.from.y + 2 * u * t * e.control.y + t * t * e.to.y};
        f(last, next);
        last = next;
    }
}

// +1 or -1 when the piece crosses the ray from p towards +x (by its direction), else 0.
int Crossing(Point a, Point b, Point p) {
    bool down = a.y <= p.y && b.y > p.y;
    bool up = b.y <= p.y && a.y > p.y;
    if (!down && !up) {
        return 0;
    }
    double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
    if (x <= p.x) {
        return 0;
    }
    return down ? 1 : -1;
}

double DistanceToSegment(Point a, Point b, Point p) {
    double dx = b.x - a.x;
    double dy = b.y - a.y;
    double length2 = dx * dx + dy * dy;
    double t =
        length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool LayerHits(const swf::ShapeLayer& layer, Point p, bool nonZero) {
    // Winding (or crossing count) of the ray per fill style; an edge bounds fill0 on its left
    // and fill1 on its right, so an edge with one fill on both sides bounds nothing.
    std::vector<int> winding(layer.fills.size() + 1, 0);
    for (const swf::Edge& e : layer.edges) {
        if (e.line != 0 && e.line <= layer.lines.size()) {
            double half = std::max<double>(layer.lines[e.line - 1].width, kHairlineTwips) / 2;
            bool onLine = false;
            ForEachPiece(e, [&](Point a, Point b) {
                onLine = onLine || DistanceToSegment(a, b, p) <= half;
            });
            if (onLine) {
                return true;
            }
        }
        if (e.fill0 == e.fill1) {
            continue;
        }
        int cross = 0;
        ForEachPiece(e, [&](Point a, Point b) { cross += Crossing(a, b, p); });
        if (cross == 0) {
            continue;
        }
        if (e.fill0 != 0 && e.fill0 < winding.size()) {
            winding[e.fill0] -= cross;
        }
        if (e.fill1 != 0 && e.fill1 < winding.size()) {
            winding[e.fill1] += cross;
        }
    }
    for (std::size_t f = 1; f < winding.size(); ++f) {
        if (nonZero ? winding[f] != 0 : (winding[f] & 1) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool ShapeHits(const swf::Shape& shape, Point p) {
    if (!Inside(shape.bounds, p)) {
        return false;
    }
    return std::any_of(shape.layers.begin(), shape.layers.end(), [&](const swf::ShapeLayer& l) {
        return LayerHits(l, p, shape.usesFillWindingRule);
    });
}

bool CharacterHits(const swf::Character& c, std::uint16_t ratio, Point p) {
    if (auto shape = std::get_if<std::shared_ptr<const swf::Shape>>(&c); shape && *shape) {
        return ShapeHits(**shape, p);
    }
    if (auto morph = std::get_if<std::shared_ptr<const swf::MorphShape>>(&c); morph && *morph) {
        return ShapeHits(swf::MorphAt(**morph, ratio), p);
    }
    if (auto text = std::get_if<std::shared_ptr<const swf::Text>>(&c); text && *text) {
        return Inside((*text)->matrix.Apply((*text)->bounds), p);
    }
    if (auto edit = std::get_if<std::shared_ptr<const swf::EditText>>(&c); edit && *edit) {
        return Inside((*edit)->bounds, p);
    }
    if (auto bitmap = std::get_if<std::shared_ptr<const swf::Bitmap>>(&c); bitmap && *bitmap) {
        if (auto size = render::BitmapSize(**bitmap)) {
            return Inside(Rect{0, size->first * 20, 0, size->second * 20}, p);
        }
    }
    return false;
}

}  // namespace flash
