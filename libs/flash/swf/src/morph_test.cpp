#include "flash/swf/morph.h"

#include <gtest/gtest.h>

#include "flash/swf/movie.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"

namespace flash::swf {
namespace {

MorphFillStyle SolidMorph(Rgba start, Rgba end) {
    MorphFillStyle m;
    m.start.color = start;
    m.end.color = end;
    return m;
}

MorphFillStyle GradientMorph() {
    MorphFillStyle m;
    m.start.type = m.end.type = FillType::FocalRadialGradient;
    m.start.matrix = {1, 0, 0, 1, 0, 0};
    m.end.matrix = {3, 0, 0, 2, 100, -100};
    m.start.gradient.records = {{0, {0, 0, 0, 255}}, {100, {255, 255, 255, 255}}};
    m.end.gradient.records = {{50, {255, 0, 0, 0}}, {200, {0, 0, 255, 255}}};
    m.start.gradient.focalPoint = -1;
    m.end.gradient.focalPoint = 1;
    return m;
}

// A square whose right side bends out into a curve, from red to translucent blue.
swfgen::MorphShapeBuilder Sample() {
    swfgen::MorphShapeBuilder b;
    b.fills = {SolidMorph({255, 0, 0, 255}, {0, 0, 255, 128}), GradientMorph()};
    MorphLineStyle line;
    line.start.width = 20;
    line.end.width = 60;
    line.start.color = {0, 0, 0, 255};
    line.end.color = {255, 255, 255, 255};
    b.lines = {line};
    b.start.Fill0(1).Line(1).MoveTo(0, 0).LineTo(100, 0).LineTo(100, 100).LineTo(0, 100).LineTo(0,
                                                                                                0);
    b.end.MoveTo(0, 0).LineTo(200, 0).CurveTo(300, 100, 200, 200).LineTo(0, 200).LineTo(0, 0);
    return b;
}

std::shared_ptr<const MorphShape> ReadBack(const swfgen::MorphShapeBuilder& b, int version) {
    swfgen::MovieWriter m(8, Rect{0, 100, 0, 100}, 12);
    m.DefineMorphShape(1, b, version).ShowFrame();
    const Movie movie = ParseMovie(m.Build());
    EXPECT_TRUE(movie.diagnostics.empty());
    const auto& def = std::get<DefineCharacter>(movie.frames.at(0).tags.at(0));
    return std::get<std::shared_ptr<const MorphShape>>(def.character);
}

TEST(MorphTest, ReadsStylesAndPairsEdges) {
    for (int version : {1, 2}) {
        SCOPED_TRACE(version);
        const auto morph = ReadBack(Sample(), version);
        EXPECT_EQ(morph->version, version);
        EXPECT_EQ(morph->fills, Sample().fills);
        ASSERT_EQ(morph->lines.size(), 1u);
        EXPECT_EQ(morph->lines[0].start.width, 20);
        EXPECT_EQ(morph->lines[0].end.width, 60);
        EXPECT_EQ(morph->lines[0].end.color, (Rgba{255, 255, 255, 255}));
        ASSERT_EQ(morph->edges.size(), 4u);
        // The straight right side pairs with the curve and becomes a curve itself.
        const MorphEdge& side = morph->edges[1];
        EXPECT_TRUE(side.start.curved);
        EXPECT_TRUE(side.end.curved);
        EXPECT_EQ(side.start.control, (Point{100, 50}));
        EXPECT_EQ(side.end.control, (Point{300, 100}));
        // End edges take the styles of the start edges.
        EXPECT_EQ(side.end.fill0, 1);
        EXPECT_EQ(side.end.line, 1);
        EXPECT_FALSE(morph->edges[0].start.curved);
        EXPECT_EQ(morph->edges[3].end.to, (Point{0, 0}));
    }
}

TEST(MorphTest, ShapeAtRatio) {
    const auto morph = ReadBack(Sample(), 2);
    const Shape start = MorphAt(*morph, 0);
    const Shape middle = MorphAt(*morph, 32768);
    const Shape end = MorphAt(*morph, 65535);
    ASSERT_EQ(start.layers.size(), 1u);
    EXPECT_EQ(start.layers[0].fills[0].color, (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(end.layers[0].fills[0].color, (Rgba{0, 0, 255, 128}));
    EXPECT_EQ(middle.layers[0].fills[0].color, (Rgba{127, 0, 128, 191}));
    EXPECT_EQ(middle.layers[0].lines[0].width, 40);
    EXPECT_EQ(start.layers[0].edges[1].to, (Point{100, 100}));
    EXPECT_EQ(end.layers[0].edges[1].to, (Point{200, 200}));
    const Edge& bent = middle.layers[0].edges[1];
    EXPECT_NEAR(bent.control.x, 200, 0.01);
    EXPECT_NEAR(bent.control.y, 75, 0.01);

    const FillStyle& g = middle.layers[0].fills[1];
    EXPECT_EQ(g.type, FillType::FocalRadialGradient);
    EXPECT_NEAR(g.matrix.a, 2, 0.001);
    EXPECT_NEAR(g.matrix.tx, 50, 0.01);
    EXPECT_NEAR(g.gradient.focalPoint, 0, 0.001);
    EXPECT_EQ(g.gradient.records[0].ratio, 25);
    EXPECT_EQ(g.gradient.records[1].color, (Rgba{127, 127, 255, 255}));
    // Pure: the same ratio gives the same shape.
    EXPECT_EQ(MorphAt(*morph, 32768), middle);
}

TEST(MorphTest, UnevenEdgeListsPairAsFarAsTheyGo) {
    const Edge a{{0, 0}, {5, 0}, {10, 0}, false, 1, 0, 0};
    const Edge b{{0, 0}, {0, 5}, {0, 10}, false, 0, 0, 0};
    const auto pairs = PairMorphEdges({a, a, a}, {b});
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].end.to, (Point{0, 10}));
    EXPECT_EQ(pairs[0].end.fill0, 1);
    EXPECT_TRUE(PairMorphEdges({}, {b}).empty());
}

}  // namespace
}  // namespace flash::swf
