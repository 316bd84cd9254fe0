// What the player draws: the stage transform of each scale mode, masks by clip depth,
// invisible objects and nested transforms, checked on pixels of small movies.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "flash/player/player.h"
#include "signals.h"
#include "stage/stage_damage.h"
#include "test_movies.h"

namespace flash {
namespace {

using namespace testmovies;

constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kGrey = 0xFF808080;  // background

// A 100 x 100 stage with a red 50 x 50 square at its top left.
swfgen::MovieWriter SquareMovie() {
    swfgen::MovieWriter m(8, Rect{0, 2000, 0, 2000}, 12);
    m.SetBackgroundColor({128, 128, 128, 255});
    DefineSquare(m, 1, 1000, {255, 0, 0, 255});
    m.PlaceObject2(PlaceNew(1, 1)).ShowFrame();
    return m;
}

Image Render(Player& p, int width, int height) {
    Image image(width, height);
    p.Render(image);
    return image;
}

TEST(StageRendererTest, ScaleModesPlaceTheStage) {
    Player p;
    p.LoadMovieBytes(0, SquareMovie().Build(), "m.swf");
    p.SetQuality2(L"low");
    p.Advance();
    struct Case {
        int mode;
        int x, y;
        std::uint32_t color;
    } cases[] = {
        // 200 x 100 view: show all puts the stage at x 50..150 (square 50..100).
        {0, 75, 25, kRed},
        {0, 25, 25, kGrey},
        {0, 125, 25, kGrey},
        // no border: 200 x 200 stage, cropped to rows 50..150 (square x 0..100, y -50..50).
        {1, 50, 25, kRed},
        {1, 150, 25, kGrey},
        {1, 50, 75, kGrey},
        // exact fit: square 0..100 x 0..50.
        {2, 90, 40, kRed},
        {2, 110, 40, kGrey},
        {2, 50, 60, kGrey},
        // no scale: stage at 50..150 x 0..100, square 50..100 x 0..50.
        {3, 60, 10, kRed},
        {3, 40, 10, kGrey},
        {3, 60, 60, kGrey},
        // anything else shows all
        {5, 75, 25, kRed},
        {5, 25, 25, kGrey},
    };
    for (const auto& c : cases) {
        p.SetScaleMode(c.mode);
        Image image = Render(p, 200, 100);
        EXPECT_EQ(image.Pixel(c.x, c.y), c.color)
            << "mode " << c.mode << " at " << c.x << "," << c.y;
    }
}

TEST(StageRendererTest, MasksInvisibleObjectsAndNesting) {
    swfgen::MovieWriter m(8, Rect{0, 2000, 0, 2000}, 12);
    m.SetBackgroundColor({128, 128, 128, 255});
    DefineSquare(m, 1, 2000, {255, 0, 0, 255});  // the whole stage
    DefineSquare(m, 2, 1000, {0, 0, 255, 255});  // the top left quarter
    // Depth 1 masks depths 2..3 with the top left quarter; depth 4 is not masked but moved
    // into the bottom right quarter inside a sprite that is itself moved.
    swfgen::Place mask = PlaceNew(2, 1);
    mask.clipDepth = 3;
    m.PlaceObject2(mask).PlaceObject2(PlaceNew(1, 2));
    swfgen::TagList inner(8);
    swfgen::Place blue = PlaceNew(2, 1);
    blue.matrix = Matrix::Translate(500, 500);
    inner.PlaceObject2(blue).ShowFrame();
    m.DefineSprite(3, inner);
    swfgen::Place sprite = PlaceNew(3, 4);
    sprite.matrix = Matrix::Translate(500, 500);
    m.PlaceObject2(sprite);
    // Depth 5 would cover everything but is invisible.
    swfgen::Place hidden = PlaceNew(1, 5);
    hidden.visible = false;
    m.PlaceObject3(hidden).ShowFrame();
    Player p;
    p.SetQuality2(L"low");
    p.LoadMovieBytes(0, m.Build(), "m.swf");
    p.Advance();
    Image image = Render(p, 100, 100);
    EXPECT_EQ(image.Pixel(25, 25), kRed) << "inside the mask, which is not drawn itself";
    EXPECT_EQ(image.Pixel(75, 25), kGrey) << "outside the mask";
    EXPECT_EQ(image.Pixel(25, 75), kGrey) << "outside the mask";
    EXPECT_EQ(image.Pixel(75, 75), kBlue) << "the sprite's square, moved twice";
}

// A video stream shows the frame the ratio of its place names, at its own size under its
// matrix. Screen video decodes without loss, so its pixels are those encoded.
TEST(StageRendererTest, EmbeddedVideoShowsTheFrameItsRatioNames) {
    const auto packets = media::testing::EncodeVideo("flashsv", 64, 64, 2, 1);
    ASSERT_EQ(packets.size(), 2u);
    swfgen::MovieWriter m(8, Rect{0, 2000, 0, 2000}, 12);
    m.SetBackgroundColor({0, 0, 255, 255});
    swf::VideoStream stream;
    stream.frameCount = 2;
    stream.width = 64;
    stream.height = 64;
    stream.codec = swf::VideoCodec::ScreenVideo;
    m.DefineVideoStream(1, stream);
    swfgen::Place place = PlaceNew(1, 1);
    place.ratio = 0;
    for (std::uint16_t f = 0; f < 2; ++f) {
        m.VideoFrame({1, f, packets[f].data});
        if (f == 1) {
            place = swfgen::Place{};
            place.move = true;
            place.ratio = 1;
        }
        m.PlaceObject2(place).ShowFrame();
    }
    Player p;
    p.LoadMovieBytes(0, m.Build(), "m.swf");
    p.SetQuality2(L"low");
    p.Play();
    for (int f = 0; f < 2; ++f) {
        p.Advance();
        const Image image = Render(p, 100, 100);
        const auto expected = media::testing::TestPicture(64, 64, f);
        for (auto [x, y] : {std::pair{9, 20}, {30, 30}, {5, 50}, {60, 4}}) {
            const std::uint8_t* bgra = &expected[static_cast<std::size_t>(y * 64 + x) * 4];
            const std::uint32_t want =
                0xFF000000u | std::uint32_t{bgra[2]} << 16 | std::uint32_t{bgra[1]} << 8 | bgra[0];
            EXPECT_EQ(image.Pixel(x, y), want) << "frame " << f << " at " << x << "," << y;
        }
        EXPECT_EQ(image.Pixel(70, 70), kBlue) << "the stage beyond the video";
    }
}

// A 200 x 200 stage: a big square, a small one that moves, a shape that a mask clips, and a
// translucent gradient over them all; frame by frame something else changes.
swfgen::MovieWriter ChangingMovie() {
    swfgen::MovieWriter m(8, Rect{0, 4000, 0, 4000}, 12);
    m.SetBackgroundColor({128, 128, 128, 255});
    DefineSquare(m, 1, 3000, {255, 0, 0, 255});
    DefineSquare(m, 2, 200, {0, 0, 255, 255});
    DefineSquare(m, 3, 1000, {0, 255, 0, 255});
    swfgen::ShapeBuilder veil;
    swf::FillStyle gradient;
    gradient.type = swf::FillType::RadialGradient;
    gradient.matrix = Matrix::Scale(0.1, 0.1);
    gradient.gradient.records = {{0, {255, 255, 255, 160}}, {255, {0, 0, 0, 60}}};
    veil.Fill1(veil.AddFill(gradient)).Rectangle(Rect{-1500, 1500, -1500, 1500});
    m.DefineShape(4, veil, 3);
    swfgen::Place big = PlaceNew(1, 1);
    big.matrix = Matrix::Translate(500, 500);
    swfgen::Place small = PlaceNew(2, 2);
    small.matrix = Matrix::Translate(600, 600);
    swfgen::Place mask = PlaceNew(3, 3);
    mask.clipDepth = 4;
    mask.matrix = Matrix::Translate(2000, 2000);
    swfgen::Place veiled = PlaceNew(4, 5);
    veiled.matrix = Matrix::Translate(2000, 2000);
    m.PlaceObject2(big).PlaceObject2(small).PlaceObject2(mask).PlaceObject2(PlaceNew(1, 4));
    m.PlaceObject2(veiled).ShowFrame();
    m.PlaceObject2(MoveTo(2, 700, 600)).ShowFrame();    // 1: the small square moves
    m.ShowFrame();                                      // 2: nothing changes
    m.PlaceObject2(MoveTo(3, 2300, 1800)).ShowFrame();  // 3: the mask moves
    swfgen::Place tint;
    tint.depth = 5;
    tint.move = true;
    ColorTransform cx;
    cx.gMult = 0.2;
    tint.colorTransform = cx;
    m.PlaceObject2(tint).RemoveObject2(2).ShowFrame();  // 4: a new tint, a square goes
    m.PlaceObject2(PlaceNew(2, 6)).ShowFrame();         // 5: it comes back on top
    return m;
}

// Drawing only what changed gives the picture a whole redraw gives; a frame where one small
// shape moves redraws only around it, and a frame where nothing changes draws nothing.
TEST(StageRendererTest, ChangesRedrawOnlyWhatChangedAndMatchAWholeRedraw) {
    Player p;
    p.LoadMovieBytes(0, ChangingMovie().Build(), "m.swf");
    p.Play();
    Image partial(200, 200), whole(200, 200);
    for (int frame = 0; frame < 6; ++frame) {
        SCOPED_TRACE(frame);
        p.Advance();
        const std::vector<ViewArea> areas = p.RenderChanges(partial);
        p.Render(whole);
        ASSERT_EQ(std::memcmp(partial.Data(), whole.Data(), 200 * 200 * 4), 0);
        long drawn = 0;
        for (const ViewArea& a : areas) {
            drawn += long(a.width) * a.height;
        }
        if (frame == 0) {
            EXPECT_EQ(drawn, 200 * 200);
        } else if (frame == 1) {
            // The 10 x 10 square from (30, 30) to (35, 30): its old and new places.
            ASSERT_EQ(areas.size(), 1u);
            EXPECT_LE(areas[0].x, 30);
            EXPECT_GE(areas[0].x + areas[0].width, 45);
            EXPECT_LE(areas[0].y, 30);
            EXPECT_GE(areas[0].y + areas[0].height, 40);
            EXPECT_LE(drawn, 25 * 20);
        } else if (frame == 2) {
            EXPECT_TRUE(areas.empty());
        } else {
            EXPECT_GT(drawn, 0);
            EXPECT_LT(drawn, 200 * 200);
        }
    }
    // A new size draws everything again.
    Image larger(300, 200);
    EXPECT_EQ(p.RenderChanges(larger).size(), 1u);
}

TEST(StageDamageTest, MergesNearAreasAndKeepsOrderChanges) {
    // Two objects swap their order without other change: both are redrawn.
    StageDamage damage;
    const int a = 0, b = 0;
    std::vector<DrawRecord> first{{&a, 1, {0, 0, 10, 10}}, {&b, 2, {100, 100, 10, 10}}};
    damage.Update(first, 200, 200, 0);
    std::vector<DrawRecord> swapped{first[1], first[0]};
    const auto areas = damage.Update(swapped, 200, 200, 0);
    long drawn = 0;
    for (const auto& r : areas) {
        drawn += long(r.width) * r.height;
    }
    EXPECT_GE(drawn, 10 * 10);
    EXPECT_TRUE(damage.Update(swapped, 200, 200, 0).empty());
    EXPECT_EQ(damage.Update(swapped, 200, 200, 1).size(), 1u) << "new settings redraw all";
    // Near areas become one; far ones stay apart; too many are joined where that adds least.
    EXPECT_EQ(MergeAreas({{0, 0, 10, 10}, {20, 0, 10, 10}}, 200, 200).size(), 1u);
    EXPECT_EQ(MergeAreas({{0, 0, 10, 10}, {100, 100, 10, 10}}, 200, 200).size(), 2u);
    std::vector<render::PixelRect> many;
    for (int i = 0; i < int(StageDamage::kMaxAreas) + 1; ++i) {
        many.push_back({i * 40, 0, 2, 2});
    }
    many.push_back({0, 150, 2, 2});
    const auto joined = MergeAreas(many, 1000, 200);
    EXPECT_EQ(joined.size(), StageDamage::kMaxAreas);
    long joinedArea = 0;
    for (const auto& r : joined) {
        joinedArea += long(r.width) * r.height;
    }
    EXPECT_LT(joinedArea, 1000 * 20) << "the far one stays apart";
    EXPECT_TRUE(MergeAreas({{-50, -50, 10, 10}}, 200, 200).empty()) << "outside the target";
}

}  // namespace
}  // namespace flash
