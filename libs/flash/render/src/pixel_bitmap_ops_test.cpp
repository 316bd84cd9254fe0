#include "flash/render/pixel_bitmap_ops.h"

#include <gtest/gtest.h>

#include <set>

namespace flash::render {
namespace {

TEST(PixelBitmapOpsTest, NoiseFollowsFlashsRandomNumbers) {
    struct Case {
        std::int64_t seed;
        unsigned channels;
        bool gray;
        std::uint32_t first, second;
    };
    const Case cases[] = {
        {128, 7, false, 0xFF8090E0, 0xFF3A441C},
        {128, kRedChannel, false, 0xFF800000, 0xFF900000},
        {128, kRedChannel, true, 0xFF808080, 0xFF909090},
        // Seed 0 counts as 1.
        {0, kRedChannel, true, 0xFFA7A7A7, 0xFFF1F1F1},
    };
    for (const Case& c : cases) {
        PixelBitmap b(2, 1, true, 0);
        Noise(b, c.seed, 0, 255, c.channels, c.gray);
        EXPECT_EQ(b.GetPixel32(0, 0), c.first) << c.seed;
        EXPECT_EQ(b.GetPixel32(1, 0), c.second) << c.seed;
    }
    // A range of two values, alpha included and premultiplied away.
    PixelBitmap b(1, 1, true, 0);
    Noise(b, 128, 1, 2, 15, false);
    EXPECT_EQ(b.GetPixel32(0, 0), 0x01000000u);
}

TEST(PixelBitmapOpsTest, ThresholdTestsMaskedPixelsAndCountsThem) {
    PixelBitmap source(2, 2, true, 0xFF000000);
    source.SetPixel32(1, 1, 0xFF00FF00);
    struct Case {
        const char16_t* op;
        std::uint32_t threshold;
        int passed;
    };
    const Case cases[] = {
        {u"==", 0xFF000000, 3}, {u"!=", 0xFF000000, 1}, {u"<", 0xFF00FF00, 3},
        {u"<=", 0xFF00FF00, 4}, {u">", 0xFF000000, 1},  {u">=", 0xFF000001, 1},
    };
    for (const Case& c : cases) {
        PixelBitmap dest(2, 2, true, 0);
        std::optional<ThresholdTest> test = ThresholdTestOf(c.op);
        ASSERT_TRUE(test);
        EXPECT_EQ(Threshold(dest, source, {0, 0, 2, 2}, 0, 0, *test, c.threshold, 0xFFFF0000,
                            0xFFFFFFFF, true),
                  c.passed);
        // Pixels that fail are copied from the source.
        EXPECT_NE(dest.GetPixel32(0, 0), 0u);
    }
    EXPECT_FALSE(ThresholdTestOf(u"equals"));
}

TEST(PixelBitmapOpsTest, PixelDissolveVisitsEveryPixelOnceAndStaysInItsArea) {
    struct Case {
        int w, h;
        PixelRect from;
        int toX, toY, area;
    };
    const Case cases[] = {
        {10, 10, {0, 0, 10, 10}, 0, 0, 100}, {5, 13, {0, 0, 5, 13}, 0, 0, 65},
        {10, 10, {-1, 3, 4, 8}, 0, 0, 21},   {10, 10, {0, 0, 3, 7}, -1, -1, 12},
        {10, 10, {0, 0, 3, 7}, -10, -10, 0},
    };
    for (const Case& c : cases) {
        PixelBitmap b(c.w, c.h, false, 0);
        std::int64_t seed = 0;
        for (int round = 1; round <= c.area + 2; ++round) {
            seed = PixelDissolve(b, b, c.from, c.toX, c.toY, seed, 1, 0xFFFF0000);
            int red = 0;
            for (int y = 0; y < c.h; ++y) {
                for (int x = 0; x < c.w; ++x) {
                    red += b.GetPixel32(x, y) == 0xFFFF0000u;
                }
            }
            ASSERT_EQ(red, std::min(round + 1, c.area)) << c.w << "x" << c.h << " " << round;
        }
    }
}

TEST(PixelBitmapOpsTest, ChannelOperationsMixAsFlashDoes) {
    PixelBitmap source(1, 1, true, 0xFF204060);
    PixelBitmap dest(1, 1, true, 0xFF000000);
    CopyChannel(dest, source, {0, 0, 1, 1}, 0, 0, kBlueChannel, kRedChannel);
    EXPECT_EQ(dest.GetPixel32(0, 0), 0xFF600000u);
    CopyChannel(dest, source, {0, 0, 1, 1}, 0, 0, 3, kRedChannel);  // no single channel
    EXPECT_EQ(dest.GetPixel32(0, 0), 0xFF600000u);

    Merge(dest, source, {0, 0, 1, 1}, 0, 0, {256, 128, 0, 256});
    EXPECT_EQ(dest.GetPixel32(0, 0), 0xFF400060u);

    std::array<PaletteTable, 4> tables{};
    tables[1] = std::array<std::uint32_t, 256>{};
    (*tables[1])[0x20] = 0x000000FF;  // red 0x20 becomes blue
    PaletteMap(dest, source, {0, 0, 1, 1}, 0, 0, tables);
    EXPECT_EQ(dest.GetPixel32(0, 0), 0xFF00415Fu);
}

TEST(PixelBitmapOpsTest, CompareGivesColourOrAlphaDifferences) {
    PixelBitmap a(2, 1, true, 0xFF336699), b(2, 1, true, 0xFF336699);
    EXPECT_FALSE(Compare(a, b));
    b.SetPixel32(0, 0, 0xFFCCDDEE);
    // White keeps its colour through premultiplication: only alpha differs.
    a.SetPixel32(1, 0, 0xCCFFFFFF);
    b.SetPixel32(1, 0, 0x22FFFFFF);
    std::optional<PixelBitmap> diff = Compare(a, b);
    ASSERT_TRUE(diff);
    EXPECT_EQ(diff->GetPixel32(0, 0), 0xFF6789ABu);
    EXPECT_EQ(diff->GetPixel32(1, 0), 0xAAFFFFFFu);
}

TEST(PixelBitmapOpsTest, ScrollMovesPixelsAndKeepsWhatIsUncovered) {
    PixelBitmap b(3, 1, false, 0xFF000000);
    b.SetPixel32(0, 0, 0xFFFF0000);
    Scroll(b, 1, 0);
    EXPECT_EQ(b.GetPixel32(0, 0), 0xFFFF0000u);
    EXPECT_EQ(b.GetPixel32(1, 0), 0xFFFF0000u);
    EXPECT_EQ(b.GetPixel32(2, 0), 0xFF000000u);
    Scroll(b, -1000000, 5);
    EXPECT_EQ(b.GetPixel32(1, 0), 0xFFFF0000u);
}

TEST(PixelBitmapOpsTest, ColorMatrixAppliesToStraightColours) {
    PixelBitmap b(1, 1, true, 0x80FF0000);
    // Red into blue, alpha kept, green offset 16.
    const std::array<double, 20> m{0, 0, 0, 0, 0, 0, 0, 0, 0, 16, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0};
    ApplyColorMatrix(b, {0, 0, 1, 1}, m);
    EXPECT_EQ(b.GetPixel32(0, 0), 0x800010FFu);
}

TEST(PixelBitmapOpsTest, PerlinNoiseIsRepeatableAndKeepsToItsChannels) {
    PerlinOptions o;
    o.baseX = o.baseY = 8;
    o.octaves = 3;
    o.seed = 7;
    o.channels = kBlueChannel;
    PixelBitmap a(16, 16, true, 0), b(16, 16, true, 0);
    PerlinNoise(a, o);
    PerlinNoise(b, o);
    std::set<std::uint32_t> seen;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(a.GetPixel32(x, y), b.GetPixel32(x, y));
            EXPECT_EQ(a.GetPixel32(x, y) & 0xFFFFFF00u, 0xFF000000u);
            seen.insert(a.GetPixel32(x, y));
        }
    }
    EXPECT_GT(seen.size(), 4u);
    // Extreme arguments stay bounded.
    o.baseX = 1e-300;
    o.octaves = 1 << 30;
    o.stitch = true;
    PerlinNoise(a, o);
}

}  // namespace
}  // namespace flash::render
