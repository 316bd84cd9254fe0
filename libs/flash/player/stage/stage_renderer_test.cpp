// What the player draws: the stage transform of each scale mode, masks by clip depth,
// invisible objects and nested transforms, checked on pixels of small movies.
#include <gtest/gtest.h>

#include "flash/player/player.h"
#include "signals.h"
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

}  // namespace
}  // namespace flash
