#pragma once

// Geometry and colour types shared by the reader, the renderer and the runtime. Lengths are
// in twips (1/20 pixel) unless told otherwise.

#include <cstdint>
#include <optional>

namespace flash {

// A rectangle in twips; an empty rect has xmin > xmax or ymin > ymax.
struct Rect {
    std::int32_t xmin = 0;
    std::int32_t xmax = 0;
    std::int32_t ymin = 0;
    std::int32_t ymax = 0;

    std::int32_t width() const { return xmax - xmin; }
    std::int32_t height() const { return ymax - ymin; }
    bool empty() const { return xmin > xmax || ymin > ymax; }
    bool operator==(const Rect&) const = default;
};

// A point in twips; fractional where it comes from interpolation or a transform.
struct Point {
    double x = 0;
    double y = 0;

    bool operator==(const Point&) const = default;
};

// An affine transform: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
struct Matrix {
    double a = 1;
    double b = 0;
    double c = 0;
    double d = 1;
    double tx = 0;  // twips
    double ty = 0;  // twips

    static Matrix Identity() { return {}; }
    static Matrix Translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Matrix Scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }

    Point Apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // The bounding box of the transformed corners of r (an empty r stays empty).
    Rect Apply(const Rect& r) const;
    // The inverse; nullopt when the matrix is singular (zero scale).
    std::optional<Matrix> Inverted() const;
    bool operator==(const Matrix&) const = default;
};

// (m * n).Apply(p) == m.Apply(n.Apply(p)): a parent's matrix times its child's.
Matrix operator*(const Matrix& m, const Matrix& n);

// An 8-bit colour with straight (not premultiplied) alpha.
struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 255;

    bool operator==(const Rgba&) const = default;
};

// A colour transform: c' = clamp(c * mult + add) per channel. Multipliers are 1.0 for
// 256/256; additive terms are in colour units (-255..255 as stored in the file).
struct ColorTransform {
    double rMult = 1;
    double gMult = 1;
    double bMult = 1;
    double aMult = 1;
    double rAdd = 0;
    double gAdd = 0;
    double bAdd = 0;
    double aAdd = 0;

    bool IsIdentity() const;
    Rgba Apply(Rgba c) const;
    bool operator==(const ColorTransform&) const = default;
};

// (outer * inner).Apply(c) == outer.Apply(inner.Apply(c)) up to the clamping between the two.
ColorTransform operator*(const ColorTransform& outer, const ColorTransform& inner);

}  // namespace flash
