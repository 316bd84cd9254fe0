#include "path.h"

#include <algorithm>
#include <cmath>

namespace flash::render {
namespace {

// Cairo keeps device coordinates as 24.8 fixed point; stay well inside it.
constexpr double kCoordLimit = 4194304;

double Clamp(double v) {
    if (!(v == v)) {
        return 0;
    }
    return std::clamp(v, -kCoordLimit, kCoordLimit);
}

Point Device(const Matrix& m, Point p, Snap snap) {
    Point d = m.Apply(p);
    d.x = Clamp(d.x);
    d.y = Clamp(d.y);
    switch (snap) {
        case Snap::None:
            break;
        case Snap::PixelEdges:
            d.x = std::round(d.x);
            d.y = std::round(d.y);
            break;
        case Snap::PixelCentres:
            d.x = std::floor(d.x) + 0.5;
            d.y = std::floor(d.y) + 0.5;
            break;
    }
    return d;
}

}  // namespace

void Box::Add(double x, double y) {
    if (Empty()) {
        x0 = x1 = x;
        y0 = y1 = y;
        return;
    }
    x0 = std::min(x0, x);
    x1 = std::max(x1, x);
    y0 = std::min(y0, y);
    y1 = std::max(y1, y);
}

void Box::Add(const Box& b) {
    if (!b.Empty()) {
        Add(b.x0, b.y0);
        Add(b.x1, b.y1);
    }
}

Box Box::Grown(double d) const {
    if (Empty()) {
        return *this;
    }
    return {x0 - d, y0 - d, x1 + d, y1 + d};
}

bool Box::Intersects(const Box& b) const {
    return !Empty() && !b.Empty() && x0 <= b.x1 && b.x0 <= x1 && y0 <= b.y1 && b.y0 <= y1;
}

void Path::MoveTo(Point p) {
    ops_.push_back(Op::Move);
    points_.push_back(p);
    bounds_.Add(p.x, p.y);
}

void Path::LineTo(Point p) {
    ops_.push_back(Op::Line);
    points_.push_back(p);
    bounds_.Add(p.x, p.y);
}

void Path::QuadTo(Point control, Point to) {
    ops_.push_back(Op::Quad);
    points_.push_back(control);
    points_.push_back(to);
    bounds_.Add(control.x, control.y);
    bounds_.Add(to.x, to.y);
}

void Path::Close() {
    ops_.push_back(Op::Close);
}

Box DeviceBox(const Box& b, const Matrix& m) {
    Box out;
    if (b.Empty()) {
        return out;
    }
    for (Point p : {Point{b.x0, b.y0}, Point{b.x1, b.y0}, Point{b.x0, b.y1}, Point{b.x1, b.y1}}) {
        const Point d = m.Apply(p);
        out.Add(d.x, d.y);
    }
    return out;
}

bool IsUsable(const Matrix& m) {
    for (double v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    const double det = m.a * m.d - m.b * m.c;
    return std::isfinite(det) && det != 0;
}

void AppendPath(cairo_t* cr, const Path& path, const Matrix& m, Snap snap, Box* bounds) {
    const std::vector<Point>& pts = path.Points();
    std::size_t i = 0;
    Point current, start;
    auto track = [&](Point p) {
        if (bounds) {
            bounds->Add(p.x, p.y);
        }
    };
    for (Path::Op op : path.Ops()) {
        switch (op) {
            case Path::Op::Move:
                current = start = Device(m, pts[i++], snap);
                cairo_move_to(cr, current.x, current.y);
                track(current);
                break;
            case Path::Op::Line:
                current = Device(m, pts[i++], snap);
                cairo_line_to(cr, current.x, current.y);
                track(current);
                break;
            case Path::Op::Quad: {
                const Point c = Device(m, pts[i], snap);
                const Point to = Device(m, pts[i + 1], snap);
                i += 2;
                // The cubic with the same curve as the quadratic.
                cairo_curve_to(cr, current.x + 2.0 / 3.0 * (c.x - current.x),
                               current.y + 2.0 / 3.0 * (c.y - current.y),
                               to.x + 2.0 / 3.0 * (c.x - to.x), to.y + 2.0 / 3.0 * (c.y - to.y),
                               to.x, to.y);
                track(c);
                track(to);
                current = to;
                break;
            }
            case Path::Op::Close:
                cairo_close_path(cr);
                current = start;
                break;
        }
    }
}

}  // namespace flash::render
