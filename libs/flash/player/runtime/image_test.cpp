#include "flash/player/image.h"

#include <gtest/gtest.h>

#include "flash/player/flash_error.h"
#include "tovi/testing/files.h"

namespace flash {
namespace {

TEST(ImageTest, PngKeepsPixelsAndAlpha) {
    tovi::testing::TempDir dir;
    Image image(3, 2, 0xFF102030);
    image.SetPixel(1, 0, 0x80400000);  // half-transparent red, premultiplied
    image.SetPixel(2, 1, 0x00000000);
    WritePng(image, dir / "a.png");
    Image back = ReadPng(dir / "a.png");
    ASSERT_EQ(back.Width(), 3);
    ASSERT_EQ(back.Height(), 2);
    EXPECT_EQ(back.Pixel(0, 0), 0xFF102030u);
    EXPECT_EQ(back.Pixel(2, 1), 0u);
    StraightRgba p = Unpremultiply(back.Pixel(1, 0));
    EXPECT_EQ(p.a, 0x80);
    EXPECT_NEAR(p.r, 0x80, 1);
}

TEST(ImageTest, BadFilesAndSizesThrow) {
    tovi::testing::TempDir dir;
    tovi::testing::WriteFileText(dir / "bad.png", "not a png");
    EXPECT_THROW(ReadPng(dir / "bad.png"), FlashError);
    EXPECT_THROW(ReadPng(dir / "missing.png"), FlashError);
    EXPECT_THROW(Image(-1, 5), FlashError);
    EXPECT_THROW(Image(Image::kMaxSide + 1, 1), FlashError);
}

}  // namespace
}  // namespace flash
