#include "flash/swf/bit_reader.h"

#include <gtest/gtest.h>

#include <functional>

#include "flash/swf/error.h"
#include "swfgen/bit_writer.h"
#include "tovi/testing/files.h"

namespace flash::swf {
namespace {

using tovi::testing::HexBytes;

TEST(BitReaderTest, ReadsBitFieldsMostSignificantFirst) {
    const auto data = HexBytes("B5 F0");  // 1011 0101 1111 0000
    BitReader r(data);
    EXPECT_EQ(r.ReadUB(1), 1u);
    EXPECT_EQ(r.ReadUB(3), 0b011u);
    EXPECT_EQ(r.ReadSB(4), 0b0101);
    EXPECT_EQ(r.ReadSB(4), -1);  // 1111
    EXPECT_EQ(r.ReadUB(0), 0u);
    EXPECT_EQ(r.ReadUB(4), 0u);
    EXPECT_TRUE(r.AtEnd());
}

TEST(BitReaderTest, ByteReadsAlignAndAreLittleEndian) {
    const auto data = HexBytes("80 34 12 78 56 34 12 FE FF");
    BitReader r(data);
    EXPECT_EQ(r.ReadUB(1), 1u);
    EXPECT_EQ(r.ReadU16(), 0x1234);  // the rest of the first byte is dropped
    EXPECT_EQ(r.ReadU32(), 0x12345678u);
    EXPECT_EQ(r.ReadS16(), -2);
}

TEST(BitReaderTest, FixedPointAndEncodedIntegers) {
    const auto data = HexBytes("80 01  00 80 FF FF  E5 8E 26  7F");
    BitReader r(data);
    EXPECT_DOUBLE_EQ(r.ReadFixed8(), 1.5);
    EXPECT_DOUBLE_EQ(r.ReadFixed(), -0.5);
    EXPECT_EQ(r.ReadEncodedU32(), 624485u);
    EXPECT_EQ(r.ReadEncodedU32(), 127u);
}

TEST(BitReaderTest, StringsStopAtTheirNul) {
    const auto data = HexBytes("61 62 00 63 00 00 64");
    BitReader r(data);
    EXPECT_EQ(r.ReadString(), "ab");
    EXPECT_EQ(r.ReadString(2), "c");  // a fixed length drops the NUL
    EXPECT_EQ(r.ReadString(), "");
    EXPECT_THROW(r.ReadString(), ParseError);  // "d" has no NUL
}

TEST(BitReaderTest, RecordsDecodeAsStored) {
    // RECT with 15-bit fields: 0, 11000, 0, 8000 (a 550 x 400 stage).
    const auto rect = HexBytes("78 00 05 5F 00 00 0F A0 00");
    BitReader rr(rect);
    EXPECT_EQ(rr.ReadRect(), (Rect{0, 11000, 0, 8000}));
    EXPECT_TRUE(rr.AtEnd());
}

TEST(BitReaderTest, MatricesAndColorTransformsRoundTrip) {
    const Matrix matrices[] = {
        {},
        {2.0, 0, 0, 0.5, 20, -20},
        {0.70710678, 0.70710678, -0.70710678, 0.70710678, -123456, 7},
        {1, -1.5, 0.25, 1, 0, 0},
    };
    for (const Matrix& m : matrices) {
        swfgen::BitWriter w;
        w.Matrix(m);
        BitReader r(w.bytes());
        const Matrix back = r.ReadMatrix();
        EXPECT_NEAR(back.a, m.a, 1.0 / 65536);
        EXPECT_NEAR(back.b, m.b, 1.0 / 65536);
        EXPECT_NEAR(back.c, m.c, 1.0 / 65536);
        EXPECT_NEAR(back.d, m.d, 1.0 / 65536);
        EXPECT_EQ(back.tx, m.tx);
        EXPECT_EQ(back.ty, m.ty);
        EXPECT_TRUE(r.AtEnd());
    }
    const ColorTransform transforms[] = {
        {},
        {0.5, 1, 2, 0.25, 0, 0, 0, 0},
        {1, 1, 1, 1, -255, 10, 255, -128},
        {-1, 0, 1.5, 1, 3, 0, 0, 5},
    };
    for (bool alpha : {false, true}) {
        for (ColorTransform c : transforms) {
            if (!alpha) {
                c.aMult = 1;
                c.aAdd = 0;
            }
            swfgen::BitWriter w;
            w.ColorTransform(c, alpha);
            BitReader r(w.bytes());
            EXPECT_EQ(r.ReadColorTransform(alpha), c);
            EXPECT_TRUE(r.AtEnd());
        }
    }
}

TEST(BitReaderTest, ReadingPastTheEndThrows) {
    const auto data = HexBytes("01 02 03");
    const std::function<void(BitReader&)> reads[] = {
        [](BitReader& r) { r.ReadU32(); },
        [](BitReader& r) { r.ReadUB(25); },
        [](BitReader& r) { r.ReadBytes(4); },
        [](BitReader& r) { r.Seek(4); },
    };
    for (const auto& read : reads) {
        BitReader r(data);
        EXPECT_THROW(read(r), ParseError);
    }
    BitReader r(data);
    EXPECT_THROW(r.ReadUB(33), ParseError);
    BitReader empty(std::span<const std::uint8_t>{});
    EXPECT_THROW(empty.ReadU8(), ParseError);
    EXPECT_THROW(empty.ReadString(), ParseError);
}

}  // namespace
}  // namespace flash::swf
