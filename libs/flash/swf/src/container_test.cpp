#include "container.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "flash/swf/error.h"
#include "flash/swf/movie.h"
#include "swfgen/tag_writer.h"
#include "tovi/testing/files.h"

namespace flash::swf::detail {
namespace {

using tovi::testing::HexBytes;

swfgen::Bytes SampleMovie(Compression c) {
    swfgen::MovieWriter m(10, Rect{0, 11000, 0, 8000}, 24);
    m.SetBackgroundColor(Rgba{1, 2, 3, 255}).ShowFrame().ShowFrame();
    return m.Build(c);
}

TEST(ContainerTest, AllThreeCompressionsUnpackToTheSameMovie) {
    const auto plain = SampleMovie(Compression::None);
    for (Compression c : {Compression::None, Compression::Zlib, Compression::Lzma}) {
        const Unpacked u = Unpack(SampleMovie(c));
        EXPECT_EQ(u.compression, c);
        EXPECT_EQ(u.version, 10);
        EXPECT_EQ(u.fileLength, plain.size());
        EXPECT_FALSE(u.damaged) << u.problem;
        // Past the signature the bytes are those of the uncompressed file.
        EXPECT_EQ(std::vector<std::uint8_t>(u.bytes.begin() + 3, u.bytes.end()),
                  std::vector<std::uint8_t>(plain.begin() + 3, plain.end()));
    }
}

TEST(ContainerTest, RefusesWhatIsNotAMovie) {
    for (const char* hex : {"", "46 57 53", "47 57 53 0A 08 00 00 00", "50 4B 03 04 00 00 00 00",
                            "5A 57 53 0A 20 00 00 00 00 00 00"}) {
        EXPECT_THROW(Unpack(HexBytes(hex)), ParseError) << hex;
    }
}

TEST(ContainerTest, CutCompressedDataKeepsWhatDecodes) {
    // A movie large enough that half its compressed stream holds whole tags.
    swfgen::MovieWriter m(10, Rect{0, 100, 0, 100}, 12);
    for (int i = 0; i < 2000; ++i) {
        m.FrameLabel("frame" + std::to_string(i)).ShowFrame();
    }
    const auto plain = m.Build(Compression::None);
    for (Compression c : {Compression::Zlib, Compression::Lzma}) {
        auto file = m.Build(c);
        file.resize(file.size() / 2);
        const Unpacked u = Unpack(file);
        EXPECT_TRUE(u.damaged);
        EXPECT_GT(u.bytes.size(), 1000u);
        EXPECT_LT(u.bytes.size(), plain.size());
        EXPECT_TRUE(std::equal(u.bytes.begin() + 8, u.bytes.end(), plain.begin() + 8));
    }
}

TEST(ContainerTest, ForgedSizesDoNotAllocateWhatTheyDeclare) {
    // ZWS declaring a 4 GB movie and a 4 GB dictionary, followed by garbage.
    auto zws = HexBytes("5A 57 53 0D FF FF FF FF 10 00 00 00 5D FF FF FF FF");
    zws.resize(zws.size() + 16, 0x55);
    const Unpacked u = Unpack(zws);
    EXPECT_LT(u.bytes.size(), 1u << 20);

    // CWS declaring 4 GB with a tiny stream.
    auto cws = SampleMovie(Compression::Zlib);
    cws[4] = cws[5] = cws[6] = cws[7] = 0xFF;
    EXPECT_LT(Unpack(cws).bytes.size(), 1u << 20);
}

// A small compressed file that unpacks to far more than its header declares: only the
// declared length and the slack are unpacked, and the reader still sees that data followed.
TEST(ContainerTest, CompressedBodiesStopAtTheDeclaredLength) {
    swfgen::MovieWriter m(10, Rect{0, 100, 0, 100}, 12);
    for (int i = 0; i < 20000; ++i) {
        m.FrameLabel("frame" + std::to_string(i)).ShowFrame();
    }
    for (Compression c : {Compression::Zlib, Compression::Lzma}) {
        auto file = m.Build(c);
        file[4] = 0xE8;  // declares 1000 bytes
        file[5] = 0x03;
        file[6] = file[7] = 0;
        const Unpacked u = Unpack(file);
        EXPECT_EQ(u.fileLength, 1000u);
        EXPECT_LE(u.bytes.size(), 1000u + kDeclaredLengthSlack);
        EXPECT_GE(u.bytes.size(), 1000u);
        if (c == Compression::Zlib) {
            const Movie movie = ParseMovie(file);
            EXPECT_TRUE(std::any_of(
                movie.diagnostics.begin(), movie.diagnostics.end(), [](const Diagnostic& d) {
                    return d.message == "data past the declared file length ignored";
                }));
        }
    }
}

TEST(ContainerTest, LimitStopsEarly) {
    const Unpacked u = Unpack(SampleMovie(Compression::Zlib), 12);
    EXPECT_EQ(u.bytes.size(), 12u);
    EXPECT_FALSE(u.damaged);
}

}  // namespace
}  // namespace flash::swf::detail
