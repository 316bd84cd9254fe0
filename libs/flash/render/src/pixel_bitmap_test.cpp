#include "flash/render/pixel_bitmap.h"

#include <gtest/gtest.h>

#include <cmath>

namespace flash::render {
namespace {

TEST(PixelBitmapTest, StraightColoursRoundTripWithFlashRounding) {
    struct Case {
        std::uint32_t in, out;
    };
    const Case cases[] = {
        {0xAABBCCDD, 0xAABBCCDC}, {0x12345678, 0x12395571}, {0xFF102030, 0xFF102030},
        {0x00FFFFFF, 0x00000000}, {0x01FFFFFF, 0x01FFFFFF},
    };
    for (const Case& c : cases) {
        PixelBitmap b(1, 1, true, c.in);
        EXPECT_EQ(b.GetPixel32(0, 0), c.out) << std::hex << c.in;
    }
    PixelBitmap opaque(1, 1, false, 0x12345678);
    EXPECT_EQ(opaque.GetPixel32(0, 0), 0xFF345678u);
}

TEST(PixelBitmapTest, SizesAreRefusedAsFlashRefusesThem) {
    struct Case {
        double w, h;
        int version;
        bool allowed;
    };
    const Case cases[] = {
        {2880, 2880, 9, true},     {2881, 1, 9, false},    {8191, 1, 10, true},
        {8192, 1, 10, false},      {4095, 4096, 10, true}, {4096, 4096, 10, false},
        {0, 5, 10, false},         {-1, 5, 10, false},     {NAN, 5, 10, false},
        {1e300, 1e300, 10, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PixelBitmap::SizeAllowed(c.w, c.h, c.version), c.allowed) << c.w << "x" << c.h;
    }
}

TEST(PixelBitmapTest, FillsAndCopiesStayInsideTheBitmap) {
    PixelBitmap b(4, 4, true, 0);
    b.FillRect({-10, -10, 12, 12}, 0xFF0000FF);
    EXPECT_EQ(b.GetPixel32(1, 1), 0xFF0000FFu);
    EXPECT_EQ(b.GetPixel32(2, 2), 0u);
    // A negative size counts back from the corner.
    b.FillRect({5, 5, -2, -2}, 0xFF00FF00);
    EXPECT_EQ(b.GetPixel32(3, 3), 0xFF00FF00u);
    EXPECT_EQ(b.GetPixel32(2, 3), 0u);
    b.FillRect({3, 3, 1, 1}, 0);
    // Overlapping copy within one bitmap reads the pixels as they were.
    b.CopyPixels(b, {0, 0, 4, 4}, 1, 1, false);
    EXPECT_EQ(b.GetPixel32(2, 2), 0xFF0000FFu);
    EXPECT_EQ(b.GetPixel32(3, 3), 0u);
    b.CopyPixels(b, {0, 0, 4, 4}, 100, -100, false);
    EXPECT_EQ(b.GetPixel32(100, -100), 0u);
}

TEST(PixelBitmapTest, FloodFillTakesTheConnectedAreaOnly) {
    PixelBitmap b(5, 5, false, 0xFFFFFFFF);
    for (int y = 0; y < 5; ++y) {
        b.SetPixel32(2, y, 0xFF000000);  // a wall down the middle
    }
    b.FloodFill(0, 0, 0xFFFF0000);
    EXPECT_EQ(b.GetPixel32(1, 4), 0xFFFF0000u);
    EXPECT_EQ(b.GetPixel32(3, 0), 0xFFFFFFFFu);
    PixelRect red = b.ColorBounds(0xFFFFFFFF, 0xFFFF0000, true);
    EXPECT_EQ(red.width, 2);
    EXPECT_EQ(red.height, 5);
}

}  // namespace
}  // namespace flash::render
