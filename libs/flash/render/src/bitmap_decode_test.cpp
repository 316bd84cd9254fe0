#include "flash/render/bitmap_decode.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "flash/swf/movie.h"
#include "swfgen/image_encoder.h"
#include "swfgen/tag_writer.h"
#include "tovi/testing/files.h"

namespace flash::render {
namespace {

using namespace flash::swf;

using swfgen::Bytes;
using tovi::testing::HexBytes;

// The bitmaps a movie defines, by id.
std::map<std::uint16_t, std::shared_ptr<const Bitmap>> BitmapsOf(const swfgen::MovieWriter& m) {
    std::map<std::uint16_t, std::shared_ptr<const Bitmap>> out;
    const Movie movie = ParseMovie(m.Build());
    EXPECT_TRUE(movie.diagnostics.empty());
    for (const auto& frame : movie.frames) {
        for (const auto& tag : frame.tags) {
            if (const auto* def = std::get_if<DefineCharacter>(&tag)) {
                out[def->id] = std::get<std::shared_ptr<const Bitmap>>(def->character);
            }
        }
    }
    return out;
}

swfgen::MovieWriter NewMovie() {
    return swfgen::MovieWriter(8, Rect{0, 200, 0, 200}, 12);
}

// A 16 x 8 picture: left half red, right half blue (JPEG-friendly: blocks of one colour).
swfgen::Pixels TwoColours() {
    swfgen::Pixels p{16, 8, {}};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            p.argb.push_back(x < 8 ? 0xFFFF0000u : 0xFF0000FFu);
        }
    }
    return p;
}

void ExpectNear(std::uint32_t actual, std::uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = (actual >> shift) & 0xFF;
        const int e = (expected >> shift) & 0xFF;
        EXPECT_NEAR(a, e, tolerance) << std::hex << actual << " vs " << expected;
    }
}

void ExpectTwoColours(const std::optional<Image>& img, std::uint32_t alphaLeft = 255,
                      std::uint32_t alphaRight = 255) {
    ASSERT_TRUE(img.has_value());
    ASSERT_EQ(img->width, 16);
    ASSERT_EQ(img->height, 8);
    ExpectNear(img->pixels[3 * 16 + 2], alphaLeft << 24 | std::min(alphaLeft, 254u) << 16, 4);
    ExpectNear(img->pixels[3 * 16 + 13], alphaRight << 24 | std::min(alphaRight, 254u), 4);
}

TEST(BitmapDecodeTest, LosslessFormats) {
    struct Case {
        const char* name;
        int version;
        std::uint8_t format;
        std::uint16_t width, height, tableSize;
        const char* data;  // uncompressed, hex
        std::vector<std::uint32_t> pixels;
    };
    const Case cases[] = {
        // Three-pixel rows padded to four bytes; index 2 is past the two-entry table.
        {"indexed RGB",
         1,
         3,
         3,
         2,
         2,
         "FF0000 00FF00  00 01 00 00  01 01 02 00",
         {0xFFFF0000, 0xFF00FF00, 0xFFFF0000, 0xFF00FF00, 0xFF00FF00, 0}},
        {"indexed RGBA", 2, 3, 2, 1, 2, "80000080 00000000  00 01 00 00", {0x80800000, 0x00000000}},
        // 0RRRRRGGGGGBBBBB, big-endian; one-pixel rows padded to four bytes.
        {"15-bit", 1, 4, 1, 2, 0, "7C00 0000  03E0 0000", {0xFFFF0000, 0xFF00FF00}},
        {"24-bit", 1, 5, 2, 1, 0, "00 112233 FF 445566", {0xFF112233, 0xFF445566}},
        {"32-bit premultiplied", 2, 5, 2, 1, 0, "80 402010 00 000000", {0x80402010, 0x00000000}},
    };
    for (const Case& c : cases) {
        auto m = NewMovie();
        m.DefineBitsLossless(1, c.version, c.format, c.width, c.height, HexBytes(c.data),
                             c.tableSize);
        const auto bitmap = BitmapsOf(m).at(1);
        EXPECT_EQ(BitmapSize(*bitmap), std::make_pair(int(c.width), int(c.height))) << c.name;
        std::string error;
        const auto img = DecodeBitmap(*bitmap, &error);
        ASSERT_TRUE(img.has_value()) << c.name << ": " << error;
        EXPECT_EQ(img->pixels, c.pixels) << c.name;
    }
}

TEST(BitmapDecodeTest, BadLosslessDataFailsWithAReason) {
    struct Case {
        const char* name;
        std::uint8_t format;
        std::uint16_t width, height;
        Bytes compressed;
    };
    const Case cases[] = {
        {"short data", 5, 4, 4, swfgen::Compress(HexBytes("00 11 22 33"))},
        {"not zlib", 5, 1, 1, HexBytes("01 02 03 04 05")},
        {"unknown format", 7, 1, 1, swfgen::Compress(HexBytes("00 11 22 33"))},
        {"no pixels", 5, 0, 1, swfgen::Compress(HexBytes(""))},
        {"too large", 5, 65535, 65535, swfgen::Compress(HexBytes("00"))},
    };
    for (const Case& c : cases) {
        Bitmap b;
        b.kind = BitmapKind::Lossless2;
        b.format = c.format;
        b.width = c.width;
        b.height = c.height;
        b.data = c.compressed;
        std::string error;
        EXPECT_FALSE(DecodeBitmap(b, &error).has_value()) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
}

TEST(BitmapDecodeTest, JpegFormsDecodeAlike) {
    const auto picture = TwoColours();
    const Bytes jpeg = swfgen::EncodeJpeg(picture);
    const auto [tables, image] = swfgen::EncodeJpegSplit(picture);
    Bytes erroneousHeader = HexBytes("FF D9 FF D8");
    erroneousHeader.insert(erroneousHeader.end(), jpeg.begin(), jpeg.end());
    // Tables and image as two streams in one tag, as some writers store them.
    Bytes twoStreams = tables;
    twoStreams.insert(twoStreams.end(), image.begin(), image.end());

    auto m = NewMovie();
    m.DefineBitsJpeg2(1, jpeg)
        .DefineBitsJpeg2(2, erroneousHeader)
        .DefineBitsJpeg2(3, twoStreams)
        .DefineBits(4, image)  // its tables come later in the file
        .JpegTables(tables);
    const auto bitmaps = BitmapsOf(m);
    for (std::uint16_t id = 1; id <= 4; ++id) {
        SCOPED_TRACE(id);
        EXPECT_EQ(BitmapSize(*bitmaps.at(id)), std::make_pair(16, 8));
        ExpectTwoColours(DecodeBitmap(*bitmaps.at(id)));
    }
}

TEST(BitmapDecodeTest, JpegAlphaPlaneClampsTheColours) {
    const Bytes jpeg = swfgen::EncodeJpeg(TwoColours());
    std::vector<std::uint8_t> alpha(16 * 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            alpha[y * 16 + x] = x < 8 ? 0x40 : 0xFF;
        }
    }
    auto m = NewMovie();
    m.DefineBitsJpeg3(1, jpeg, alpha).DefineBitsJpeg4(2, jpeg, alpha, 0.5);
    const auto bitmaps = BitmapsOf(m);
    ExpectTwoColours(DecodeBitmap(*bitmaps.at(1)), 0x40, 0xFF);
    ExpectTwoColours(DecodeBitmap(*bitmaps.at(2)), 0x40, 0xFF);
    EXPECT_DOUBLE_EQ(bitmaps.at(2)->deblocking, 0.5);

    // Without a plane, or with a broken one, the image stays opaque.
    Bitmap b = *bitmaps.at(1);
    b.alphaData.clear();
    ExpectTwoColours(DecodeBitmap(b));
    b.alphaData = HexBytes("78 9C 01 02");
    ExpectTwoColours(DecodeBitmap(b));
}

TEST(BitmapDecodeTest, PngAndGifInsideJpegTags) {
    swfgen::Pixels p{2, 1, {0x80402010u, 0xFF00FF00u}};  // straight alpha
    auto m = NewMovie();
    m.DefineBitsJpeg2(1, swfgen::EncodePng(p))
        .DefineBitsJpeg3(2, swfgen::EncodePng(p), HexBytes("00 00"))  // plane ignored
        .DefineBitsJpeg2(3, HexBytes("47 49 46 38 39 61 03 00 02 00 81 00 00 FF 00 00 00 FF 00 "
                                     "00 00 FF FF FF FF 21 F9 04 01 00 00 03 00 2C 00 00 00 00 "
                                     "03 00 02 00 00 02 04 44 A8 31 28 00 3B"));
    const auto bitmaps = BitmapsOf(m);
    for (std::uint16_t id : {1, 2}) {
        const auto img = DecodeBitmap(*bitmaps.at(id));
        ASSERT_TRUE(img.has_value());
        EXPECT_EQ(img->width, 2);
        ExpectNear(img->pixels[0], 0x80201008u, 1);  // premultiplied
        EXPECT_EQ(img->pixels[1], 0xFF00FF00u);
    }
    // A GIF: red, green, blue over a transparent index, green, red.
    const auto gif = DecodeBitmap(*bitmaps.at(3));
    ASSERT_TRUE(gif.has_value());
    EXPECT_EQ(BitmapSize(*bitmaps.at(3)), std::make_pair(3, 2));
    EXPECT_EQ(gif->pixels, (std::vector<std::uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0,
                                                       0xFF00FF00, 0xFFFF0000}));
}

TEST(BitmapDecodeTest, DamagedImagesFailInsteadOfInventingPixels) {
    const Bytes jpeg = swfgen::EncodeJpeg(TwoColours());
    const Bytes png = swfgen::EncodePng(TwoColours());
    const Bytes cases[] = {
        Bytes(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(jpeg.size() / 2)),
        HexBytes("FF D8 FF D9"),
        HexBytes("01 02 03"),
        Bytes(png.begin(), png.begin() + static_cast<std::ptrdiff_t>(png.size() / 2)),
        HexBytes("47 49 46 38 39 61 03 00 02 00 00 00 00 3B"),  // a GIF without an image
    };
    for (const Bytes& data : cases) {
        Bitmap b;
        b.kind = BitmapKind::Jpeg2;
        b.data = data;
        std::string error;
        EXPECT_FALSE(DecodeBitmap(b, &error).has_value());
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace flash::render
