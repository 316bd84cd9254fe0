#pragma once

// Shapes (DefineShape 1-4) and the style records that shapes, morph shapes and fonts share.

#include <cstdint>
#include <vector>

#include "flash/geom.h"

namespace flash::swf {

enum class SpreadMode : std::uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };
enum class InterpolationMode : std::uint8_t { Rgb = 0, LinearRgb = 1 };

struct GradientRecord {
    std::uint8_t ratio = 0;  // 0..255 along the gradient
    Rgba color;
    bool operator==(const GradientRecord&) const = default;
};

// The gradient square spans -16384..16384 twips in both axes before the fill's matrix.
struct Gradient {
    SpreadMode spread = SpreadMode::Pad;
    InterpolationMode interpolation = InterpolationMode::Rgb;
    std::vector<GradientRecord> records;
    double focalPoint = 0;  // -1..1, focal radial gradients only
    bool operator==(const Gradient&) const = default;
};

// The fill style type codes as stored.
enum class FillType : std::uint8_t {
    Solid = 0x00,
    LinearGradient = 0x10,
    RadialGradient = 0x12,
    FocalRadialGradient = 0x13,
    RepeatingBitmap = 0x40,
    ClippedBitmap = 0x41,
    NonSmoothedRepeatingBitmap = 0x42,
    NonSmoothedClippedBitmap = 0x43,
};

struct FillStyle {
    FillType type = FillType::Solid;
    Rgba color;         // solid fills
    Matrix matrix;      // gradient square or bitmap (1 unit = 1 twip per bitmap pixel) to shape
    Gradient gradient;  // gradient fills
    std::uint16_t bitmapId = 0;  // bitmap fills; 0xFFFF or an unknown id means no bitmap

    bool IsGradient() const { return (static_cast<unsigned>(type) & 0xF0) == 0x10; }
    bool IsBitmap() const { return (static_cast<unsigned>(type) & 0xF0) == 0x40; }
    bool BitmapRepeats() const { return IsBitmap() && (static_cast<unsigned>(type) & 1) == 0; }
    bool BitmapSmoothed() const { return IsBitmap() && (static_cast<unsigned>(type) & 2) == 0; }
    bool operator==(const FillStyle&) const = default;
};

enum class CapStyle : std::uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : std::uint8_t { Round = 0, Bevel = 1, Miter = 2 };

// LINESTYLE, and the LINESTYLE2 fields of DefineShape4 (defaults elsewhere: round caps and joins).
struct LineStyle {
    std::uint16_t width = 0;  // twips; 0 is a hairline
    Rgba color;
    CapStyle startCap = CapStyle::Round;
    CapStyle endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3;  // factor of the width, miter joins only
    bool hasFill = false;   // when set, `fill` paints the stroke instead of `color`
    FillStyle fill;
    bool noHScale = false;
    bool noVScale = false;
    bool pixelHinting = false;
    bool noClose = false;
    bool operator==(const LineStyle&) const = default;
};

// One edge in absolute twips. A straight edge has control == midpoint of from and to.
// fill0 is the fill on the edge's left (walking from -> to), fill1 on its right; indexes are
// 1-based into the layer's tables, 0 for none.
struct Edge {
    Point from;
    Point control;
    Point to;
    bool curved = false;
    std::uint16_t fill0 = 0;
    std::uint16_t fill1 = 0;
    std::uint16_t line = 0;
    bool operator==(const Edge&) const = default;
};

// Each new-styles record of a shape starts a layer with its own style tables; layers draw in
// order, a later layer over an earlier one.
struct ShapeLayer {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<Edge> edges;
    bool operator==(const ShapeLayer&) const = default;
};

struct Shape {
    int version = 1;                   // 1..4 for DefineShape..DefineShape4
    Rect bounds;                       // including strokes
    Rect edgeBounds;                   // DefineShape4: without strokes; otherwise equal to bounds
    bool usesFillWindingRule = false;  // DefineShape4: non-zero winding instead of even-odd
    bool usesNonScalingStrokes = false;
    bool usesScalingStrokes = false;
    std::vector<ShapeLayer> layers;
    bool operator==(const Shape&) const = default;
};

}  // namespace flash::swf
