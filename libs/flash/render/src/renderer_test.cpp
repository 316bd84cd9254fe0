// Shapes, lines, gradients, colour transforms, masks, morph shapes and text rendered into
// small canvases and checked at a few pixels.
#include "flash/render/renderer.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "test_support.h"

namespace flash::render {
namespace {

using namespace testing;

constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kBlack{0, 0, 0, 255};

#define EXPECT_COLOR(canvas, x, y, expected)                                              \
    EXPECT_TRUE(Near((canvas).At(x, y), expected))                                        \
        << "at (" << (x) << "," << (y) << "): " << Describe((canvas).At(x, y)) << " not " \
        << Describe(expected)

// Draws one shape on a fresh 40x40 white canvas.
Canvas Render(const std::shared_ptr<const swf::Shape>& shape, const Matrix& placement = {},
              Quality quality = Quality::High) {
    Canvas canvas(40, 40, kWhite, quality);
    canvas.Begin().DrawShape(shape, Pixels(placement), {});
    canvas.End();
    return canvas;
}

bool Dark(Rgba c) {
    return c.r < 100 && c.g < 100 && c.b < 100;
}

TEST(RendererFillTest, SolidFillInsideAndOutside) {
    const Canvas c = Render(MakeShape({Solid(kRed)}, {}, Rect(10, 10, 30, 30, 1)));
    EXPECT_COLOR(c, 20, 20, kRed);
    EXPECT_COLOR(c, 10, 10, kRed);
    EXPECT_COLOR(c, 5, 5, kWhite);
    EXPECT_COLOR(c, 30, 20, kWhite);
}

TEST(RendererFillTest, HolesAndNestedFillsFromBothSidesOfEdges) {
    // A ring: the inner square walked clockwise has the ring (fill 1) on its left.
    std::vector<swf::Edge> edges = Rect(5, 5, 35, 35, 1);
    for (swf::Edge e : Rect(15, 15, 25, 25, 0)) {
        e.fill0 = 1;
        edges.push_back(e);
    }
    const Canvas ring = Render(MakeShape({Solid(kRed)}, {}, edges));
    EXPECT_COLOR(ring, 10, 10, kRed);
    EXPECT_COLOR(ring, 20, 20, kWhite);
    EXPECT_COLOR(ring, 2, 2, kWhite);

    // The same with the hole filled by fill 2 on the inner edges' right, edges in reverse.
    for (std::size_t i = 4; i < edges.size(); ++i) {
        edges[i].fill1 = 2;
    }
    std::reverse(edges.begin(), edges.end());
    const Canvas nested = Render(MakeShape({Solid(kRed), Solid(kBlue)}, {}, edges));
    EXPECT_COLOR(nested, 10, 10, kRed);
    EXPECT_COLOR(nested, 20, 20, kBlue);
}

TEST(RendererFillTest, AdjacentFillsLeaveNoSeam) {
    // Red and blue meet at x = 20.5: pixel 20 is half of each and nothing of the white below.
    const std::vector<swf::Edge> edges = {
        Line(5, 5, 20.5, 5, 0, 1),    Line(20.5, 5, 20.5, 35, 2, 1), Line(20.5, 35, 5, 35, 0, 1),
        Line(5, 35, 5, 5, 0, 1),      Line(20.5, 5, 35, 5, 0, 2),    Line(35, 5, 35, 35, 0, 2),
        Line(35, 35, 20.5, 35, 0, 2),
    };
    const Canvas c = Render(MakeShape({Solid(kRed), Solid(kBlue)}, {}, edges));
    EXPECT_COLOR(c, 20, 20, (Rgba{128, 0, 128, 255}));
    EXPECT_COLOR(c, 10, 20, kRed);
    EXPECT_COLOR(c, 30, 20, kBlue);
}

TEST(RendererFillTest, EdgeWithTheSameFillOnBothSidesDrawsNothing) {
    std::vector<swf::Edge> edges = Rect(5, 5, 35, 35, 1);
    edges.push_back(Line(20.5, 5, 20.5, 35, 1, 1));
    const Canvas c = Render(MakeShape({Solid(kRed)}, {}, edges));
    EXPECT_COLOR(c, 20, 20, kRed);
}

TEST(RendererFillTest, OverlapFollowsTheFillRule) {
    // Two squares of one fill overlapping in 15..25: a hole under even-odd, filled under
    // the non-zero rule of DefineShape4's flag.
    std::vector<swf::Edge> edges = Rect(5, 5, 25, 25, 1);
    for (const swf::Edge& e : Rect(15, 15, 35, 35, 1)) {
        edges.push_back(e);
    }
    for (bool winding : {false, true}) {
        auto shape = std::make_shared<swf::Shape>(*MakeShape({Solid(kRed)}, {}, edges));
        shape->usesFillWindingRule = winding;
        const Canvas c = Render(shape);
        EXPECT_COLOR(c, 10, 10, kRed);
        EXPECT_COLOR(c, 20, 20, winding ? kRed : kWhite) << "winding " << winding;
    }
}

TEST(RendererFillTest, LayersDrawInOrderWithEachLayersLinesOverItsFills) {
    auto shape = std::make_shared<swf::Shape>();
    // Layer 1: red square with a thick black outline; layer 2: blue square over its left side.
    shape->layers.push_back({{Solid(kRed)}, {Stroke(4, kBlack)}, Rect(10, 10, 30, 30, 1, 1)});
    shape->layers.push_back({{Solid(kBlue)}, {}, Rect(0, 0, 15, 40, 1)});
    const Canvas c = Render(shape);
    EXPECT_COLOR(c, 20, 20, kRed);
    EXPECT_COLOR(c, 20, 10, kBlack);  // the line over its own layer's fill
    EXPECT_COLOR(c, 10, 20, kBlue);   // the next layer over both
}

TEST(RendererFillTest, CurvedEdges) {
    // A quarter disc: the curve bulges out to the top right.
    const std::vector<swf::Edge> edges = {Line(5, 35, 5, 5, 0, 1), Curve(5, 5, 35, 5, 35, 35, 0, 1),
                                          Line(35, 35, 5, 35, 0, 1)};
    const Canvas c = Render(MakeShape({Solid(kRed)}, {}, edges));
    EXPECT_COLOR(c, 25, 12, kRed);   // inside the curve, outside the straight diagonal
    EXPECT_COLOR(c, 33, 7, kWhite);  // beyond the curve
}

TEST(RendererFillTest, QualityChoosesAntiAliasing) {
    const auto shape = MakeShape({Solid(kRed)}, {}, Rect(10.5, 10, 30, 30, 1));
    const Canvas low = Render(shape, {}, Quality::Low);
    const Rgba edge = low.At(10, 20);
    EXPECT_TRUE(Near(edge, kRed) || Near(edge, kWhite)) << Describe(edge);
    for (Quality q : {Quality::Medium, Quality::High}) {
        const Canvas aa = Render(shape, {}, q);
        EXPECT_TRUE(Near(aa.At(10, 20), {255, 128, 128, 255}, 20)) << Describe(aa.At(10, 20));
    }
}

TEST(RendererFillTest, RedrawAreaKeepsThePixelsOutsideIt) {
    Canvas c(40, 40);
    c.Begin().DrawShape(MakeShape({Solid(kRed)}, {}, Rect(0, 0, 40, 40, 1)), Pixels(), {});
    c.End();
    c.options.redraw = PixelRect{0, 0, 20, 40};
    c.Begin().DrawShape(MakeShape({Solid(kBlue)}, {}, Rect(10, 10, 30, 30, 1)), Pixels(), {});
    c.End();
    EXPECT_COLOR(c, 5, 5, kWhite);   // background again
    EXPECT_COLOR(c, 15, 15, kBlue);  // the new shape inside the area
    EXPECT_COLOR(c, 25, 15, kRed);   // outside: the last frame's pixels
    EXPECT_COLOR(c, 35, 5, kRed);
}

TEST(RendererColorTransformTest, AppliesToSolidFills) {
    struct Case {
        const char* name;
        ColorTransform cx;
        Rgba expected;
    };
    ColorTransform toGreen;
    toGreen.rMult = 0;
    toGreen.gAdd = 255;
    ColorTransform half;
    half.aMult = 0.5;
    ColorTransform hidden;
    hidden.aMult = 0;
    const Case cases[] = {
        {"identity", {}, kRed},
        {"multiply and add", toGreen, {0, 255, 0, 255}},
        {"half alpha over white", half, {255, 127, 127, 255}},
        {"no alpha", hidden, kWhite},
    };
    for (const Case& k : cases) {
        Canvas c(40, 40);
        Transform t = Pixels();
        t.color = k.cx;
        c.Begin().DrawShape(MakeShape({Solid(kRed)}, {}, Rect(0, 0, 40, 40, 1)), t, {});
        c.End();
        EXPECT_TRUE(Near(c.At(20, 20), k.expected)) << k.name << ": " << Describe(c.At(20, 20));
    }
}

TEST(RendererLineTest, WidthScalesAsTheStyleSays) {
    // A 4 px horizontal line at y = 20, the object scaled 3x horizontally.
    struct Case {
        const char* name;
        bool noH, noV;
        double width;  // expected device width
    };
    const Case cases[] = {
        {"normal: mean of both scales", false, false, 8},
        {"no horizontal scaling", true, false, 4},
        {"no vertical scaling", false, true, 12},
        {"no scaling", true, true, 4},
    };
    for (const Case& k : cases) {
        swf::LineStyle style = Stroke(4, kBlack);
        style.noHScale = k.noH;
        style.noVScale = k.noV;
        style.startCap = swf::CapStyle::None;
        const Canvas c =
            Render(MakeShape({}, {style}, {Line(2, 20, 10, 20, 0, 0, 1)}), Matrix::Scale(3, 1));
        const int top = static_cast<int>(20 - k.width / 2);
        EXPECT_TRUE(Dark(c.At(18, top))) << k.name << " row " << top;
        EXPECT_COLOR(c, 18, top - 1, kWhite) << k.name;
    }
}

TEST(RendererLineTest, ThinLinesAreAtLeastOnePixel) {
    for (double width : {0.0, 0.2}) {
        swf::LineStyle style = Stroke(width, kBlack);
        style.pixelHinting = true;
        const Canvas c = Render(MakeShape({}, {style}, {Line(5, 20.2, 35, 20.2, 0, 0, 1)}));
        EXPECT_COLOR(c, 20, 20, kBlack) << width;
        EXPECT_COLOR(c, 20, 19, kWhite) << width;
        EXPECT_COLOR(c, 20, 21, kWhite) << width;
    }
}

TEST(RendererLineTest, PixelHintingPutsLinesOnWholePixels) {
    for (bool hinted : {false, true}) {
        swf::LineStyle style = Stroke(1, kBlack);
        style.pixelHinting = hinted;
        const Canvas c = Render(MakeShape({}, {style}, {Line(5, 20.2, 35, 20.2, 0, 0, 1)}));
        if (hinted) {
            EXPECT_COLOR(c, 20, 20, kBlack);
        } else {
            EXPECT_GT(c.At(20, 20).r, 20) << "an unhinted line spreads over two rows";
        }
    }
}

TEST(RendererLineTest, CapsAndJoins) {
    struct Case {
        swf::CapStyle cap;
        swf::JoinStyle join;
        bool capNear, capCorner, joinCorner, joinInner;
    };
    // Probes: beyond the line's end (cap), the cap's far corner, the outer corner of the
    // join, and a pixel just inside the join's rounding.
    const Case cases[] = {
        {swf::CapStyle::None, swf::JoinStyle::Miter, false, false, true, true},
        {swf::CapStyle::Round, swf::JoinStyle::Round, true, false, false, true},
        {swf::CapStyle::Square, swf::JoinStyle::Bevel, true, true, false, false},
    };
    for (const Case& k : cases) {
        swf::LineStyle style = Stroke(20, kBlack);
        style.startCap = style.endCap = k.cap;
        style.join = k.join;
        // An open polyline: up to the corner (15,15), then right to (28,15).
        const std::vector<swf::Edge> edges = {Line(15, 45, 15, 15, 0, 0, 1),
                                              Line(15, 15, 28, 15, 0, 0, 1)};
        const Canvas c = Render(MakeShape({}, {style}, edges));
        const std::string name =
            "cap " + std::to_string(int(k.cap)) + " join " + std::to_string(int(k.join));
        EXPECT_EQ(Dark(c.At(30, 15)), k.capNear) << name;
        EXPECT_EQ(Dark(c.At(36, 6)), k.capCorner) << name;
        EXPECT_EQ(Dark(c.At(5, 5)), k.joinCorner) << name;
        EXPECT_EQ(Dark(c.At(8, 8)), k.joinInner) << name;
    }
}

TEST(RendererLineTest, ClosedOutlinesJoinAtTheirStart) {
    // Butt caps leave the start corner's outer square empty unless the outline is closed.
    for (bool noClose : {false, true}) {
        swf::LineStyle style = Stroke(6, kBlack);
        style.startCap = style.endCap = swf::CapStyle::None;
        style.join = swf::JoinStyle::Miter;
        style.noClose = noClose;
        const Canvas c = Render(MakeShape({}, {style}, Rect(10, 10, 30, 30, 0, 1)));
        EXPECT_EQ(Dark(c.At(8, 8)), !noClose) << "noClose " << noClose;
        EXPECT_TRUE(Dark(c.At(31, 31)));  // a corner in the middle of the outline
    }
}

// A fill over the whole 40x40 canvas with the gradient square mapped onto x from..to.
std::shared_ptr<const swf::Shape> GradientShape(swf::FillType type,
                                                std::vector<swf::GradientRecord> records,
                                                double from, double to,
                                                swf::SpreadMode spread = swf::SpreadMode::Pad) {
    swf::FillStyle fill;
    fill.type = type;
    fill.gradient.records = std::move(records);
    fill.gradient.spread = spread;
    const double scale = (to - from) * kTwips / 32768;
    fill.matrix = {scale, 0, 0, scale, (from + to) / 2 * kTwips, 20 * kTwips};
    return MakeShape({fill}, {}, Rect(0, 0, 40, 40, 1));
}

constexpr Rgba kGrey0{0, 0, 0, 255};
constexpr Rgba kGrey255{255, 255, 255, 255};

TEST(RendererGradientTest, LinearGradientEndsAndMiddle) {
    const Canvas c =
        Render(GradientShape(swf::FillType::LinearGradient, {{0, kRed}, {255, kBlue}}, 0, 40));
    EXPECT_TRUE(Near(c.At(0, 20), kRed, 10)) << Describe(c.At(0, 20));
    EXPECT_TRUE(Near(c.At(39, 20), kBlue, 10)) << Describe(c.At(39, 20));
    EXPECT_TRUE(Near(c.At(20, 20), {127, 0, 128, 255}, 8)) << Describe(c.At(20, 20));
    EXPECT_TRUE(Near(c.At(20, 0), c.At(20, 39), 0)) << "constant along y";
}

TEST(RendererGradientTest, SpreadModesBeyondTheSquare) {
    // Black to white over x 10..30; pixel centres 35.5 and 4.5 lie 5.5 px beyond its ends.
    struct Case {
        swf::SpreadMode spread;
        int expected;
    };
    const Case cases[] = {{swf::SpreadMode::Pad, 255},
                          {swf::SpreadMode::Reflect, 185},
                          {swf::SpreadMode::Repeat, 70}};
    for (const Case& k : cases) {
        const Canvas c = Render(GradientShape(swf::FillType::LinearGradient,
                                              {{0, kGrey0}, {255, kGrey255}}, 10, 30, k.spread));
        EXPECT_NEAR(c.At(35, 20).r, k.expected, 8) << "spread " << int(k.spread);
        EXPECT_NEAR(c.At(4, 20).r, 255 - k.expected, 8) << "spread " << int(k.spread);
    }
}

TEST(RendererGradientTest, RadialAndFocalGradients) {
    const Canvas radial =
        Render(GradientShape(swf::FillType::RadialGradient, {{0, kRed}, {255, kBlue}}, 0, 40));
    EXPECT_TRUE(Near(radial.At(20, 20), kRed, 15)) << Describe(radial.At(20, 20));
    EXPECT_TRUE(Near(radial.At(0, 0), kBlue, 5));  // outside the circle: padded
    EXPECT_TRUE(Near(radial.At(9, 20), radial.At(30, 20), 2)) << "symmetric";

    auto shape = std::make_shared<swf::Shape>(
        *GradientShape(swf::FillType::FocalRadialGradient, {{0, kRed}, {255, kBlue}}, 0, 40));
    shape->layers[0].fills[0].gradient.focalPoint = 0.5;
    const Canvas focal = Render(shape);
    // The first colour sits at the focal point, halfway to the right edge.
    EXPECT_TRUE(Near(focal.At(29, 20), kRed, 15)) << Describe(focal.At(29, 20));
    EXPECT_GT(focal.At(10, 20).b, focal.At(29, 20).b + 60);
}

TEST(RendererGradientTest, InterpolationModes) {
    auto shape = std::make_shared<swf::Shape>(
        *GradientShape(swf::FillType::LinearGradient, {{0, kGrey0}, {255, kGrey255}}, 0, 40));
    const Canvas rgb = Render(shape);
    shape->layers[0].fills[0].gradient.interpolation = swf::InterpolationMode::LinearRgb;
    const Canvas linear = Render(shape);
    EXPECT_NEAR(rgb.At(20, 20).r, 130, 8);
    EXPECT_NEAR(linear.At(20, 20).r, 190, 10);  // half the light is brighter in sRGB
}

TEST(RendererGradientTest, RecordsWithTheSameRatioMakeAHardStop) {
    const Canvas c =
        Render(GradientShape(swf::FillType::LinearGradient,
                             {{0, kRed}, {128, kRed}, {128, kBlue}, {255, kBlue}}, 0, 40));
    EXPECT_COLOR(c, 18, 20, kRed);
    EXPECT_COLOR(c, 22, 20, kBlue);

    // A run of records at one ratio: each but the last holds one of the 256 table entries.
    // Here one entry is one pixel, entry 128 at x = 20.
    const Canvas run = Render(GradientShape(
        swf::FillType::LinearGradient,
        {{0, kRed}, {128, kRed}, {128, {0, 255, 0, 255}}, {128, kBlue}, {255, kBlue}}, -108, 148));
    EXPECT_COLOR(run, 19, 20, kRed);
    EXPECT_COLOR(run, 20, 20, kRed);
    EXPECT_COLOR(run, 21, 20, (Rgba{0, 255, 0, 255}));
    EXPECT_COLOR(run, 22, 20, kBlue);
}

TEST(RendererGradientTest, ColorTransformAppliesToStops) {
    ColorTransform noRed;
    noRed.rMult = 0;
    noRed.gAdd = 100;
    Canvas c(40, 40);
    Transform t = Pixels();
    t.color = noRed;
    c.Begin().DrawShape(
        GradientShape(swf::FillType::LinearGradient, {{0, kRed}, {255, kBlue}}, 0, 40), t, {});
    c.End();
    EXPECT_TRUE(Near(c.At(0, 20), {0, 100, 0, 255}, 10)) << Describe(c.At(0, 20));
    EXPECT_TRUE(Near(c.At(39, 20), {0, 100, 255, 255}, 10)) << Describe(c.At(39, 20));
}

TEST(RendererGradientTest, GradientStrokes) {
    swf::LineStyle style = Stroke(6, kBlack);
    style.hasFill = true;
    style.fill = GradientShape(swf::FillType::LinearGradient, {{0, kRed}, {255, kBlue}}, 0, 40)
                     ->layers[0]
                     .fills[0];
    const Canvas c = Render(MakeShape({}, {style}, {Line(0, 20, 40, 20, 0, 0, 1)}));
    EXPECT_TRUE(Near(c.At(2, 20), kRed, 20)) << Describe(c.At(2, 20));
    EXPECT_TRUE(Near(c.At(37, 20), kBlue, 20)) << Describe(c.At(37, 20));
    EXPECT_COLOR(c, 20, 10, kWhite);
}

// A canvas-wide rectangle filled with bitmap 1, one texel `texelPx` pixels wide.
Canvas RenderBitmapFill(const Library& lib, swf::FillType type, double texelPx,
                        Quality quality = Quality::High, const ColorTransform& cx = {}) {
    swf::FillStyle fill;
    fill.type = type;
    fill.bitmapId = 1;
    fill.matrix = Matrix::Scale(texelPx * kTwips, texelPx * kTwips);
    Canvas c(40, 40, kWhite, quality);
    Transform t = Pixels();
    t.color = cx;
    c.Begin().DrawShape(MakeShape({fill}, {}, Rect(0, 0, 40, 40, 1)), t, lib.Lookup());
    c.End();
    return c;
}

TEST(RendererBitmapTest, SmoothingOnlyWhereTheFillAndQualityAllowIt) {
    Library lib;
    lib.Add(1, MakeBitmap(2, 1, {0xFF000000, 0xFFFFFFFF}));
    struct Case {
        swf::FillType type;
        Quality quality;
        bool smooth;
    };
    const Case cases[] = {
        {swf::FillType::ClippedBitmap, Quality::High, true},
        {swf::FillType::ClippedBitmap, Quality::Medium, true},
        {swf::FillType::ClippedBitmap, Quality::Low, false},
        {swf::FillType::NonSmoothedClippedBitmap, Quality::High, false},
    };
    for (const Case& k : cases) {
        const Canvas c = RenderBitmapFill(lib, k.type, 20, k.quality);
        const std::string name =
            "type " + std::to_string(int(k.type)) + " quality " + std::to_string(int(k.quality));
        EXPECT_COLOR(c, 5, 5, kBlack) << name;
        EXPECT_COLOR(c, 35, 5, kWhite) << name;
        // Across the texel boundary at x = 20: blended, or one texel or the other.
        const int mid = c.At(20, 5).r;
        EXPECT_EQ(mid > 60 && mid < 200, k.smooth) << name << ": " << mid;
    }
}

TEST(RendererBitmapTest, RepeatingAndClippedFillsBeyondTheBitmap) {
    Library lib;
    lib.Add(1, MakeBitmap(2, 1, {0xFFFF0000, 0xFF0000FF}));
    // The bitmap spans x 0..20; at x = 25 a repeating fill starts over, a clipped one
    // stretches its edge texel.
    const Canvas repeat = RenderBitmapFill(lib, swf::FillType::NonSmoothedRepeatingBitmap, 10);
    const Canvas clipped = RenderBitmapFill(lib, swf::FillType::NonSmoothedClippedBitmap, 10);
    for (const Canvas* c : {&repeat, &clipped}) {
        EXPECT_COLOR(*c, 5, 5, kRed);
        EXPECT_COLOR(*c, 15, 5, kBlue);
        EXPECT_COLOR(*c, 15, 30, kBlue);
    }
    EXPECT_COLOR(repeat, 25, 5, kRed);
    EXPECT_COLOR(clipped, 25, 5, kBlue);
}

TEST(RendererBitmapTest, ColorTransformsRecolourAndFade) {
    Library lib;
    lib.Add(1, MakeBitmap(1, 1, {0xFFFF0000}));
    ColorTransform toBlue;
    toBlue.rMult = 0;
    toBlue.bAdd = 255;
    ColorTransform half;
    half.aMult = 0.5;
    ColorTransform both = toBlue;
    both.aMult = 0.5;
    struct Case {
        const char* name;
        ColorTransform cx;
        Rgba expected;
    };
    const Case cases[] = {{"recolour", toBlue, kBlue},
                          {"fade", half, {255, 127, 127, 255}},
                          {"recolour and fade", both, {127, 127, 255, 255}}};
    for (const Case& k : cases) {
        const Canvas c =
            RenderBitmapFill(lib, swf::FillType::RepeatingBitmap, 40, Quality::High, k.cx);
        EXPECT_TRUE(Near(c.At(20, 20), k.expected, 3)) << k.name << ": " << Describe(c.At(20, 20));
    }
}

TEST(RendererBitmapTest, BitmapCharacterAtItsPixelSize) {
    const auto bitmap = MakeBitmap(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000});
    Canvas c(40, 40);
    // Scaled 5x: each texel is 5 px.
    c.Begin().DrawBitmap(bitmap, Pixels(Matrix::Scale(5, 5)), false);
    c.End();
    EXPECT_COLOR(c, 2, 2, kRed);
    EXPECT_COLOR(c, 7, 2, (Rgba{0, 255, 0, 255}));
    EXPECT_COLOR(c, 2, 7, kBlue);
    EXPECT_COLOR(c, 7, 7, kBlack);
    EXPECT_COLOR(c, 12, 12, kWhite);
}

TEST(RendererBitmapTest, BitmapsThatDoNotDecodeDrawNothing) {
    auto empty = std::make_shared<swf::Bitmap>(*MakeBitmap(1, 1, {0xFFFF0000}));
    empty->width = 0;
    auto garbage = std::make_shared<swf::Bitmap>();
    garbage->data = {1, 2, 3};
    for (const auto& bitmap :
         {std::shared_ptr<const swf::Bitmap>(empty), std::shared_ptr<const swf::Bitmap>(garbage)}) {
        Library lib;
        lib.Add(1, bitmap);
        const Canvas fill = RenderBitmapFill(lib, swf::FillType::RepeatingBitmap, 1);
        EXPECT_COLOR(fill, 20, 20, kWhite);
        Canvas c(40, 40);
        Renderer& r = c.Begin();
        r.DrawBitmap(bitmap, Pixels(), true);
        r.DrawShape(MakeShape({Solid(kBlue)}, {}, Rect(30, 30, 40, 40, 1)), Pixels(), {});
        c.End();
        EXPECT_COLOR(c, 0, 0, kWhite);
        EXPECT_COLOR(c, 35, 35, kBlue);
    }
}

// A picture (a video frame) is stretched over its area, pixel for pixel sharp unless smoothed.
TEST(RendererImageTest, PicturesStretchOverTheirArea) {
    const swf::Image image{2, 1, {0xFFFF0000, 0xFF0000FF}};
    Canvas c(40, 40);
    // 2 x 1 pixels over 20 x 10 device pixels.
    c.Begin().DrawImage(image, 400, 200, Pixels(), false);
    c.End();
    EXPECT_COLOR(c, 0, 0, kRed);
    EXPECT_COLOR(c, 9, 9, kRed);
    EXPECT_COLOR(c, 10, 0, kBlue);
    EXPECT_COLOR(c, 19, 9, kBlue);
    EXPECT_COLOR(c, 20, 5, kWhite);
    EXPECT_COLOR(c, 5, 10, kWhite);
    Canvas smooth(40, 40);
    smooth.Begin().DrawImage(image, 400, 200, Pixels(), true);
    smooth.End();
    EXPECT_TRUE(Near(smooth.At(10, 5), {127, 0, 127, 255}, 30)) << Describe(smooth.At(10, 5));
}

TEST(RendererImageTest, TransparencyAndColourTransforms) {
    // Premultiplied: half-transparent red.
    const swf::Image image{1, 1, {0x80800000}};
    ColorTransform half;
    half.aMult = 0.5;
    ColorTransform toBlue;
    toBlue.rMult = 0;
    toBlue.bAdd = 255;
    const struct {
        const char* name;
        ColorTransform cx;
        Rgba expected;
    } cases[] = {{"as it is", {}, {255, 127, 127, 255}},
                 {"faded", half, {255, 191, 191, 255}},
                 {"recoloured", toBlue, {127, 127, 255, 255}}};
    for (const auto& k : cases) {
        Canvas c(20, 20);
        Transform t = Pixels();
        t.color = k.cx;
        c.Begin().DrawImage(image, 200, 200, t, false);
        c.End();
        EXPECT_TRUE(Near(c.At(5, 5), k.expected, 3)) << k.name << ": " << Describe(c.At(5, 5));
    }
    Canvas empty(20, 20);
    empty.Begin().DrawImage(swf::Image{}, 200, 200, Pixels(), false);
    empty.End();
    EXPECT_COLOR(empty, 5, 5, kWhite);
}

// A square mask in 10..20 on both axes over a blue canvas-wide rectangle.
TEST(RendererMaskTest, ContentShowsOnlyInsideTheMask) {
    // The mask's own colour, alpha and lines do not count.
    Canvas c(40, 40);
    Renderer& r = c.Begin();
    r.BeginMask();
    r.DrawShape(MakeShape({Solid({0, 255, 0, 0})}, {Stroke(6, kBlack)}, Rect(10, 10, 20, 20, 1, 1)),
                Pixels(), {});
    r.EndMask();
    r.DrawShape(MakeShape({Solid(kBlue)}, {}, Rect(0, 0, 40, 40, 1)), Pixels(), {});
    r.PopMask();
    r.DrawShape(MakeShape({Solid(kRed)}, {}, Rect(30, 30, 40, 40, 1)), Pixels(), {});
    c.End();
    EXPECT_COLOR(c, 15, 15, kBlue);
    EXPECT_COLOR(c, 25, 25, kWhite);
    EXPECT_COLOR(c, 5, 15, kWhite);
    EXPECT_COLOR(c, 8, 15, kWhite);  // under the mask's line
    EXPECT_COLOR(c, 35, 35, kRed);   // after the pop nothing is clipped
}

TEST(RendererMaskTest, NestedMasksIntersect) {
    Canvas c(40, 40);
    Renderer& r = c.Begin();
    r.BeginMask();
    r.DrawShape(MakeShape({Solid(kBlack)}, {}, Rect(0, 0, 20, 40, 1)), Pixels(), {});
    r.EndMask();
    r.BeginMask();
    r.DrawShape(MakeShape({Solid(kBlack)}, {}, Rect(10, 0, 40, 40, 1)), Pixels(), {});
    r.EndMask();
    r.DrawShape(MakeShape({Solid(kBlue)}, {}, Rect(0, 0, 40, 40, 1)), Pixels(), {});
    r.PopMask();
    r.DrawShape(MakeShape({Solid(kRed)}, {}, Rect(0, 30, 40, 40, 1)), Pixels(), {});
    r.PopMask();
    c.End();
    EXPECT_COLOR(c, 15, 15, kBlue);
    EXPECT_COLOR(c, 5, 15, kWhite);
    EXPECT_COLOR(c, 25, 15, kWhite);
    EXPECT_COLOR(c, 5, 35, kRed);  // under the outer mask only
    EXPECT_COLOR(c, 25, 35, kWhite);
}

TEST(RendererMaskTest, EmptyAndUnbalancedMasks) {
    const auto blue = MakeShape({Solid(kBlue)}, {}, Rect(0, 0, 40, 40, 1));
    {
        // A mask that covers nothing hides everything it clips.
        Canvas c(40, 40);
        Renderer& r = c.Begin();
        r.BeginMask();
        r.EndMask();
        r.DrawShape(blue, Pixels(), {});
        r.PopMask();
        c.End();
        EXPECT_COLOR(c, 20, 20, kWhite);
    }
    {
        // Stray calls are ignored; a mask left open is closed by the end of the frame.
        Canvas c(40, 40);
        Renderer& r = c.Begin();
        r.PopMask();
        r.EndMask();
        r.BeginMask();
        r.DrawShape(MakeShape({Solid(kBlack)}, {}, Rect(0, 0, 20, 40, 1)), Pixels(), {});
        r.EndMask();
        r.DrawShape(blue, Pixels(), {});
        c.End();
        EXPECT_COLOR(c, 10, 20, kBlue);
        EXPECT_COLOR(c, 30, 20, kWhite);
    }
}

TEST(RendererMorphTest, DrawsTheShapeAtItsRatio) {
    auto morph = std::make_shared<swf::MorphShape>();
    swf::MorphFillStyle fill;
    fill.start = Solid(kRed);
    fill.end = Solid(kBlue);
    morph->fills.push_back(fill);
    morph->edges = swf::PairMorphEdges(Rect(0, 0, 10, 40, 1), Rect(30, 0, 40, 40, 1));
    struct Case {
        std::uint16_t ratio;
        int x;
        Rgba color;
    };
    const Case cases[] = {{0, 5, kRed}, {65535, 35, kBlue}, {32768, 20, {127, 0, 128, 255}}};
    // One renderer for every ratio: what it keeps of one ratio must not leak into another.
    Canvas c(40, 40);
    for (const Case& k : cases) {
        c.Begin().DrawMorphShape(morph, k.ratio, Pixels(), {});
        c.End();
        EXPECT_TRUE(Near(c.At(k.x, 20), k.color, 3)) << k.ratio << ": " << Describe(c.At(k.x, 20));
        for (int x : {5, 20, 35}) {
            if (x != k.x) {
                EXPECT_COLOR(c, x, 20, kWhite) << "ratio " << k.ratio;
            }
        }
    }
}

// A font whose glyph 0 is a square filling the em above the baseline.
std::shared_ptr<swf::Font> SquareFont() {
    auto font = std::make_shared<swf::Font>();
    swf::Glyph glyph;
    for (swf::Edge e : Rect(0, -1024 / kTwips, 1024 / kTwips, 0, 0)) {
        e.fill0 = 1;  // glyphs use the left side
        std::swap(e.from, e.to);
        glyph.edges.push_back(e);
    }
    glyph.code = 'A';
    font->glyphs.push_back(glyph);
    return font;
}

TEST(RendererTextTest, GlyphsAtRecordPositionHeightAndAdvance) {
    Library lib;
    lib.Add(1, std::shared_ptr<const swf::Font>(SquareFont()));
    auto text = std::make_shared<swf::Text>();
    text->matrix = Matrix::Translate(0, 5 * kTwips);
    swf::TextRecord rec;
    rec.fontId = 1;
    rec.color = {0, 128, 0, 255};
    rec.x = 40;   // 2 px
    rec.y = 300;  // baseline at 15 px; with the matrix at 20 px
    rec.height = 200;
    rec.glyphs = {{0, 300}, {0, 0}};
    text->records.push_back(rec);
    Canvas c(40, 40);
    c.Begin().DrawText(text, Pixels(), lib.Lookup());
    c.End();
    const Rgba green{0, 128, 0, 255};
    EXPECT_COLOR(c, 6, 15, green);    // first glyph: x 2..12, y 10..20
    EXPECT_COLOR(c, 14, 15, kWhite);  // between the glyphs
    EXPECT_COLOR(c, 22, 15, green);   // second glyph: x 17..27
    EXPECT_COLOR(c, 6, 22, kWhite);   // below the baseline
}

TEST(RendererTextTest, DeviceFontsFallBackToASystemFont) {
    auto font = SquareFont();
    font->glyphs[0].edges.clear();  // no outlines: a device font
    font->name = "_sans";
    Library lib;
    lib.Add(1, std::shared_ptr<const swf::Font>(font));
    auto text = std::make_shared<swf::Text>();
    swf::TextRecord rec;
    rec.fontId = 1;
    rec.color = kBlack;
    rec.x = 100;
    rec.y = 600;
    rec.height = 480;
    rec.glyphs = {{0, 0}};
    text->records.push_back(rec);
    Canvas c(40, 40);
    c.Begin().DrawText(text, Pixels(), lib.Lookup());
    c.End();
    int dark = 0;
    for (int y = 5; y < 32; ++y) {
        for (int x = 4; x < 30; ++x) {
            dark += Dark(c.At(x, y));
        }
    }
    EXPECT_GT(dark, 20) << "an A drawn from a system font";
    // Font caches are process-wide; freed so the leak checker sees only our own memory.
    cairo_debug_reset_static_data();
    FcFini();
}

TEST(RendererTextTest, EditTextFieldWithEmbeddedFontBorderAndClip) {
    auto font = SquareFont();
    font->hasLayout = true;
    font->ascent = 1024;
    font->glyphs[0].advance = 1536;  // one and a half squares
    Library lib;
    lib.Add(1, std::shared_ptr<const swf::Font>(font));
    auto field = std::make_shared<swf::EditText>();
    field->bounds = flash::Rect{0, 30 * 20, 0, 20 * 20};  // 30 x 20 px
    field->border = true;
    field->hasFont = true;
    field->useOutlines = true;
    field->fontId = 1;
    field->fontHeight = 200;  // 10 px squares, 15 px apart
    field->hasTextColor = true;
    field->color = {0, 128, 0, 255};
    field->align = swf::TextAlign::Right;
    const Rgba green{0, 128, 0, 255};

    Canvas c(40, 40);
    // Two lines; the second is cut off by the field's bottom. Right aligned: the advances
    // end 2 px (the gutter) inside the right edge; a line too wide starts at the left.
    c.Begin().DrawEditText(field, "A\nAA", false, EditTextLook::Of(*field), Pixels(),
                           lib.Lookup());
    c.End();
    EXPECT_COLOR(c, 0, 10, kBlack);   // border
    EXPECT_COLOR(c, 3, 5, kWhite);    // background inside it
    EXPECT_COLOR(c, 35, 10, kWhite);  // the canvas outside the field
    EXPECT_COLOR(c, 18, 7, green);    // first line: advance 15 from x 13, y 2..12
    EXPECT_COLOR(c, 10, 7, kWhite);
    EXPECT_COLOR(c, 23, 16, green);  // second line from y 12, clipped at 20 - the border
    EXPECT_COLOR(c, 23, 22, kWhite);

    // HTML colours and the initial text through DrawCharacter.
    field->html = true;
    field->border = false;
    field->initialText = "<p align='left'><font color='#FF0000'>A</font></p>";
    Canvas h(40, 40);
    h.Begin().DrawCharacter(std::shared_ptr<const swf::EditText>(field), 0, Pixels(),
                            lib.Lookup());
    h.End();
    EXPECT_COLOR(h, 7, 7, kRed);
    EXPECT_COLOR(h, 0, 10, kWhite);  // no border
}

TEST(RendererRobustnessTest, BadInputDrawsNothingAndLeavesTheFrameUsable) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        std::shared_ptr<const swf::Shape> shape;
        Matrix placement;
    };
    swf::LineStyle wide = Stroke(3000, kBlack);
    swf::FillStyle noRecords;
    noRecords.type = swf::FillType::RadialGradient;
    swf::FillStyle flatGradient = noRecords;
    flatGradient.gradient.records = {{0, kRed}, {255, kBlue}};
    flatGradient.matrix = Matrix::Scale(0, 0);
    swf::FillStyle nanFocal = flatGradient;
    nanFocal.type = swf::FillType::FocalRadialGradient;
    nanFocal.matrix = Matrix::Scale(nan, 1);
    nanFocal.gradient.focalPoint = nan;
    swf::FillStyle manyRecords = flatGradient;
    manyRecords.matrix = {};
    manyRecords.gradient.records.assign(1000, {7, kRed});
    swf::FillStyle missingBitmap;
    missingBitmap.type = swf::FillType::RepeatingBitmap;
    missingBitmap.bitmapId = 77;
    const Case cases[] = {
        {"NaN matrix", MakeShape({Solid(kRed)}, {}, Rect(0, 0, 10, 10, 1)), {nan, 0, 0, 1, 0, 0}},
        {"infinite translation", MakeShape({Solid(kRed)}, {}, Rect(0, 0, 10, 10, 1)),
         Matrix::Translate(inf, 0)},
        {"zero scale", MakeShape({Solid(kRed)}, {{Stroke(1, kRed)}}, Rect(0, 0, 10, 10, 1, 1)),
         Matrix::Scale(0, 0)},
        {"huge coordinates",
         MakeShape({Solid(kRed)}, {Stroke(1, kRed)}, Rect(-1e9, -1e9, 1e9, 1e9, 1, 1)),
         Matrix::Scale(1e6, 1e6)},
        {"absurd line width", MakeShape({}, {wide}, {Line(0, 0, 10, 10, 0, 0, 1)}),
         Matrix::Scale(1e7, 1e7)},
        {"gradient without records", MakeShape({noRecords}, {}, Rect(0, 0, 40, 40, 1)), {}},
        {"gradient squashed flat", MakeShape({flatGradient}, {}, Rect(0, 0, 40, 40, 1)), {}},
        {"NaN gradient", MakeShape({nanFocal}, {}, Rect(0, 0, 40, 40, 1)), {}},
        {"too many records", MakeShape({manyRecords}, {}, Rect(0, 0, 40, 40, 1)), {}},
        {"missing bitmap", MakeShape({missingBitmap}, {}, Rect(0, 0, 40, 40, 1)), {}},
        {"style indexes out of range",
         MakeShape({Solid(kRed)}, {}, {Line(0, 0, 10, 0, 9, 300, 40), Line(10, 0, 0, 10, 0, 1)}),
         {}},
    };
    for (const Case& k : cases) {
        Canvas c(40, 40);
        Renderer& r = c.Begin();
        r.DrawShape(k.shape, Pixels(k.placement), {});
        r.DrawShape(MakeShape({Solid(kBlue)}, {}, Rect(30, 30, 40, 40, 1)), Pixels(), {});
        c.End();
        EXPECT_COLOR(c, 35, 35, kBlue) << k.name;
    }
}

TEST(RendererRobustnessTest, FramesWithoutAUsableBuffer) {
    Renderer r;
    const auto shape = MakeShape({Solid(kRed)}, {}, Rect(0, 0, 10, 10, 1));
    r.DrawShape(shape, Pixels(), {});  // before any frame
    r.EndFrame();
    std::uint32_t pixel = 0;
    for (auto [w, h, stride] : {std::tuple{0, 0, 0}, {1, 1, 2}, {100000, 1, 400000}}) {
        r.BeginFrame(w == 0 ? nullptr : &pixel, w, h, stride, {});
        r.DrawShape(shape, Pixels(), {});
        r.BeginMask();
        r.PopMask();
        r.EndFrame();
    }
    r.DrawShape(nullptr, Pixels(), {});
    EXPECT_EQ(pixel, 0u);
}

}  // namespace
}  // namespace flash::render
