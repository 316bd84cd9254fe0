#include <gtest/gtest.h>

#include "flash/swf/movie.h"
#include "flash/swf/tag_codes.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"
#include "tovi/testing/files.h"

namespace flash::swf {
namespace {

Movie Parse(const swfgen::MovieWriter& m) {
    return ParseMovie(m.Build());
}

template <typename T>
std::shared_ptr<const T> FirstCharacter(const Movie& movie) {
    for (const auto& tag : movie.frames.at(0).tags) {
        if (const auto* def = std::get_if<DefineCharacter>(&tag)) {
            return std::get<std::shared_ptr<const T>>(def->character);
        }
    }
    return nullptr;
}

Edge Straight(Point from, Point to, std::uint16_t fill0, std::uint16_t fill1, std::uint16_t line) {
    return {from, {(from.x + to.x) / 2, (from.y + to.y) / 2}, to, false, fill0, fill1, line};
}

Edge Curve(Point from, Point control, Point to, std::uint16_t fill0, std::uint16_t fill1,
           std::uint16_t line) {
    return {from, control, to, true, fill0, fill1, line};
}

FillStyle Solid(Rgba c) {
    FillStyle f;
    f.color = c;
    return f;
}

FillStyle LinearGradient(bool alpha) {
    FillStyle f;
    f.type = FillType::LinearGradient;
    f.matrix = {0.5, 0, 0, 0.25, 100, 200};
    f.gradient.records = {{0, {255, 0, 0, alpha ? Rgba().a : std::uint8_t(255)}},
                          {255, {0, 0, 255, std::uint8_t(alpha ? 128 : 255)}}};
    return f;
}

// A shape of every edge kind over two layers, with the styles a version can store.
Shape Sample(int version) {
    const bool alpha = version >= 3;
    Shape s;
    s.version = version;
    ShapeLayer first;
    first.fills = {Solid({10, 20, 30, std::uint8_t(alpha ? 40 : 255)}), LinearGradient(alpha)};
    FillStyle bitmap;
    bitmap.type = FillType::NonSmoothedClippedBitmap;
    bitmap.bitmapId = 9;
    bitmap.matrix = {20, 0, 0, 20, -5, 5};
    first.fills.push_back(bitmap);
    LineStyle line;
    line.width = 40;
    line.color = {1, 2, 3, std::uint8_t(alpha ? 4 : 255)};
    if (version >= 4) {
        line.startCap = CapStyle::None;
        line.endCap = CapStyle::Square;
        line.join = JoinStyle::Miter;
        line.miterLimit = 2.5;
        line.noHScale = line.pixelHinting = line.noClose = true;
        LineStyle filled;
        filled.width = 60;
        filled.hasFill = true;
        filled.fill = LinearGradient(true);
        filled.join = JoinStyle::Bevel;
        first.lines = {line, filled};
    } else {
        first.lines = {line};
    }
    first.edges = {
        Straight({0, 0}, {100, 0}, 1, 0, 1),       // horizontal
        Straight({100, 0}, {100, 100}, 1, 2, 1),   // vertical
        Straight({100, 100}, {-37, 55}, 1, 0, 0),  // general
        Curve({-37, 55}, {-60, 20}, {0, 0}, 3, 0, 1),
        Straight({500, 500}, {600, 500}, 0, 1, 0),  // after a move
    };
    s.layers.push_back(first);
    if (version >= 2) {
        ShapeLayer second;
        second.fills = {Solid({200, 100, 0, 255})};
        second.edges = {Straight({0, 0}, {-20000, 70000}, 0, 1, 0)};  // long edge, split
        s.layers.push_back(second);
    }
    if (version >= 4) {
        FillStyle focal = LinearGradient(true);
        focal.type = FillType::FocalRadialGradient;
        focal.gradient.spread = SpreadMode::Reflect;
        focal.gradient.interpolation = InterpolationMode::LinearRgb;
        focal.gradient.focalPoint = -0.5;
        s.layers.back().fills.push_back(focal);
    }
    return s;
}

TEST(ShapeReaderTest, EveryVersionRoundTrips) {
    for (int version = 1; version <= 4; ++version) {
        SCOPED_TRACE(version);
        const Shape shape = Sample(version);
        swfgen::MovieWriter m(10, Rect{0, 100, 0, 100}, 12);
        m.DefineShape(1, swfgen::ShapeBuilder::FromShape(shape), version).ShowFrame();
        const Movie movie = Parse(m);
        EXPECT_TRUE(movie.diagnostics.empty());
        const auto read = FirstCharacter<Shape>(movie);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->version, version);
        // The long edge of the second layer comes back as two halves.
        Shape expected = shape;
        if (version >= 2) {
            expected.layers[1].edges = {Straight({0, 0}, {-10000, 35000}, 0, 1, 0),
                                        Straight({-10000, 35000}, {-20000, 70000}, 0, 1, 0)};
        }
        EXPECT_EQ(read->layers, expected.layers);
    }
}

TEST(ShapeReaderTest, StyleChangesFollowTheFormat) {
    swfgen::ShapeBuilder b;
    const auto red = b.AddSolidFill({255, 0, 0, 255});
    b.Fill1(red).MoveTo(0, 0).LineTo(10, 0);
    // New styles in the next layer start with nothing selected.
    b.NewStyles();
    b.AddSolidFill({0, 0, 255, 255});
    b.LineTo(10, 10);
    swfgen::MovieWriter m(10, Rect{0, 100, 0, 100}, 12);
    m.DefineShape(1, b, 2).ShowFrame();
    const auto shape = FirstCharacter<Shape>(Parse(m));
    ASSERT_EQ(shape->layers.size(), 2u);
    EXPECT_EQ(shape->layers[0].edges[0].fill1, red);
    EXPECT_EQ(shape->layers[1].edges[0].fill1, 0);
    EXPECT_EQ(shape->layers[1].edges[0].from, (Point{10, 0}));  // the pen carries over
}

TEST(ShapeReaderTest, DamagedShapesKeepWhatIsSound) {
    using tovi::testing::HexBytes;
    // DefineShape: id 1, an empty rect, one solid fill, no lines, 1 fill bit and 0 line bits,
    // then records: select fill 1 on both sides (000110 1 1), a vertical edge of 1 twip
    // (1 1 0000 0 1 01), and the start of another edge cut short (1 1 000 0).
    const auto cut = HexBytes("01 00  00  01 00 FF 00 00  00  10  1B C1 70");
    // A fill style type that does not exist makes the rest unreadable.
    const auto badFill = HexBytes("01 00  00  01 07");
    swfgen::MovieWriter m(10, Rect{0, 100, 0, 100}, 12);
    m.Tag(kTagDefineShape, cut).Tag(kTagDefineShape, badFill).ShowFrame();
    const Movie movie = Parse(m);
    const auto shape = FirstCharacter<Shape>(movie);
    ASSERT_TRUE(shape);
    ASSERT_EQ(shape->layers.size(), 1u);
    ASSERT_EQ(shape->layers[0].edges.size(), 1u);
    EXPECT_EQ(shape->layers[0].edges[0].fill0, 1);
    EXPECT_EQ(shape->layers[0].edges[0].fill1, 1);
    EXPECT_EQ(shape->layers[0].edges[0].to, (Point{0, 1}));
    ASSERT_EQ(movie.diagnostics.size(), 1u);
    EXPECT_EQ(movie.diagnostics[0].tagCode, kTagDefineShape);
}

TEST(ShapeReaderTest, StyleIndexesPastTheTablesBecomeNone) {
    swfgen::ShapeBuilder b;
    b.AddSolidFill({255, 0, 0, 255});
    b.Fill0(1).Fill1(3).Line(2).MoveTo(0, 0).LineTo(10, 0);  // 2 fill bits hold 3
    b.AddSolidFill({0, 255, 0, 255});                        // so there are two fills
    swfgen::MovieWriter m(10, Rect{0, 100, 0, 100}, 12);
    m.DefineShape(1, b, 3).ShowFrame();
    const auto shape = FirstCharacter<Shape>(Parse(m));
    const Edge& e = shape->layers.at(0).edges.at(0);
    EXPECT_EQ(e.fill0, 1);
    EXPECT_EQ(e.fill1, 0);
    EXPECT_EQ(e.line, 0);
}

}  // namespace
}  // namespace flash::swf
