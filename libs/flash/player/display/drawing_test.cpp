#include "display/drawing.h"

#include <gtest/gtest.h>

#include "input/shape_hits.h"

namespace flash {
namespace {

swf::FillStyle Solid() {
    swf::FillStyle fill;
    fill.color = Rgba{255, 0, 0, 255};
    return fill;
}

swf::LineStyle Line(std::uint16_t width) {
    swf::LineStyle line;
    line.width = width;
    return line;
}

// Draws the triangle (0,0) (200,0) (200,200) with its last edge left open.
void OpenTriangle(Drawing& d) {
    d.MoveTo({0, 0});
    d.LineTo({200, 0});
    d.LineTo({200, 200});
}

TEST(DrawingTest, OpenFillIsDrawnClosedAndHitInside) {
    Drawing d;
    d.BeginFill(Solid());
    OpenTriangle(d);
    EXPECT_TRUE(ShapeHits(*d.Shape(), {150, 50}));
    EXPECT_FALSE(ShapeHits(*d.Shape(), {50, 150}));
    d.EndFill();
    ASSERT_EQ(d.Shape()->layers.size(), 1u);
    EXPECT_EQ(d.Shape()->layers[0].edges.size(), 3u);
}

TEST(DrawingTest, LinesWithoutFillHitOnlyOnTheStroke) {
    Drawing d;
    d.SetLineStyle(Line(20));
    OpenTriangle(d);
    EXPECT_FALSE(ShapeHits(*d.Shape(), {150, 50}));
    EXPECT_TRUE(ShapeHits(*d.Shape(), {100, 5}));
    // No fill: the open side stays open.
    EXPECT_EQ(d.Shape()->layers[0].edges.size(), 2u);
}

TEST(DrawingTest, BoundsCountStrokesAndCurveExtents) {
    Drawing d;
    EXPECT_TRUE(d.Bounds().empty());
    d.SetLineStyle(Line(40));
    d.LineTo({100, 0});
    EXPECT_EQ(d.Bounds(), (Rect{-20, 120, -20, 20}));
    Drawing curve;
    curve.SetLineStyle(Line(0));
    curve.CurveTo({50, 100}, {100, 0});
    // The curve's peak is half way to its control point.
    EXPECT_EQ(curve.Bounds(), (Rect{0, 100, 0, 50}));
}

TEST(DrawingTest, MovesWithoutLineOrFillDrawNothing) {
    Drawing d;
    d.LineTo({100, 100});
    d.MoveTo({10, 10});
    EXPECT_TRUE(d.Empty());
}

TEST(DrawingTest, ClearForgetsShapesAndStylesAndPublishesANewShape) {
    Drawing d;
    d.BeginFill(Solid());
    OpenTriangle(d);
    const auto before = d.Shape();
    const auto revision = d.Revision();
    d.Clear();
    EXPECT_TRUE(d.Empty());
    EXPECT_NE(d.Revision(), revision);
    EXPECT_NE(d.Shape(), before);
    d.LineTo({100, 100});  // the fill ended with the clear
    EXPECT_TRUE(d.Empty());
}

TEST(DrawingTest, EachFillDrawsInItsOwnLayerInOrder) {
    Drawing d;
    d.BeginFill(Solid());
    OpenTriangle(d);
    d.BeginFill(Solid());
    OpenTriangle(d);
    d.EndFill();
    ASSERT_EQ(d.Shape()->layers.size(), 2u);
    // The first fill was closed when the second began.
    EXPECT_EQ(d.Shape()->layers[0].edges.size(), 3u);
}

}  // namespace
}  // namespace flash
