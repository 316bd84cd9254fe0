#include "flash/geom.h"

#include <algorithm>
#include <cmath>

namespace flash {

Rect Matrix::Apply(const Rect& r) const {
    if (r.empty()) {
        return r;
    }
    const Point corners[4] = {
        Apply(Point{double(r.xmin), double(r.ymin)}), Apply(Point{double(r.xmax), double(r.ymin)}),
        Apply(Point{double(r.xmin), double(r.ymax)}), Apply(Point{double(r.xmax), double(r.ymax)})};
    double x0 = corners[0].x, x1 = corners[0].x, y0 = corners[0].y, y1 = corners[0].y;
    for (const Point& p : corners) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    auto clampInt = [](double v) {
        return static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
    };
    return {clampInt(std::floor(x0)), clampInt(std::ceil(x1)), clampInt(std::floor(y0)),
            clampInt(std::ceil(y1))};
}

std::optional<Matrix> Matrix::Inverted() const {
    const double det = a * d - b * c;
    if (det == 0 || !std::isfinite(det)) {
        return std::nullopt;
    }
    Matrix m;
    m.a = d / det;
    m.b = -b / det;
    m.c = -c / det;
    m.d = a / det;
    m.tx = -(m.a * tx + m.c * ty);
    m.ty = -(m.b * tx + m.d * ty);
    return m;
}

Matrix operator*(const Matrix& m, const Matrix& n) {
    Matrix r;
    r.a = m.a * n.a + m.c * n.b;
    r.b = m.b * n.a + m.d * n.b;
    r.c = m.a * n.c + m.c * n.d;
    r.d = m.b * n.c + m.d * n.d;
    r.tx = m.a * n.tx + m.c * n.ty + m.tx;
    r.ty = m.b * n.tx + m.d * n.ty + m.ty;
    return r;
}

bool ColorTransform::IsIdentity() const {
    return rMult == 1 && gMult == 1 && bMult == 1 && aMult == 1 && rAdd == 0 && gAdd == 0 &&
           bAdd == 0 && aAdd == 0;
}

namespace {

std::uint8_t Channel(std::uint8_t c, double mult, double add) {
    const double v = c * mult + add;
    if (!(v > 0)) {
        return 0;  // also NaN
    }
    return v >= 255 ? 255 : static_cast<std::uint8_t>(v);
}

}  // namespace

Rgba ColorTransform::Apply(Rgba c) const {
    return {Channel(c.r, rMult, rAdd), Channel(c.g, gMult, gAdd), Channel(c.b, bMult, bAdd),
            Channel(c.a, aMult, aAdd)};
}

ColorTransform operator*(const ColorTransform& outer, const ColorTransform& inner) {
    ColorTransform r;
    r.rMult = outer.rMult * inner.rMult;
    r.gMult = outer.gMult * inner.gMult;
    r.bMult = outer.bMult * inner.bMult;
    r.aMult = outer.aMult * inner.aMult;
    r.rAdd = outer.rMult * inner.rAdd + outer.rAdd;
    r.gAdd = outer.gMult * inner.gAdd + outer.gAdd;
    r.bAdd = outer.bMult * inner.bAdd + outer.bAdd;
    r.aAdd = outer.aMult * inner.aAdd + outer.aAdd;
    return r;
}

}  // namespace flash
