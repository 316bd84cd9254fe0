#include "standalone_trailer.h"

#include <gtest/gtest.h>

#include "tovi/testing/files.h"

namespace {

using standalone_trailer::Decode;
using standalone_trailer::Encode;
using standalone_trailer::Status;
using standalone_trailer::Trailer;

TEST(StandaloneTrailerTest, EncodesTheFieldsLittleEndian) {
    const auto bytes = Encode(550, 400, 65536);
    EXPECT_EQ(tovi::testing::Bytes(bytes.begin(), bytes.end()),
              tovi::testing::HexBytes("FF 90 26 02 90 01 00 00 01 00"));
    // Only the low 16 bits of the stage size count.
    const auto wide = Encode(65536 + 550, 0x12345, 0x1'0000'0010);
    EXPECT_EQ(tovi::testing::Bytes(wide.begin(), wide.end()),
              tovi::testing::HexBytes("FF 90 26 02 45 23 10 00 00 00"));
}

TEST(StandaloneTrailerTest, ReaderChecksMarkerAndMovieLength) {
    const std::uint64_t stub = 4096;
    struct Case {
        std::uint64_t movie;
        Status status;
    } cases[] = {{10, Status::kBadOffset}, {11, Status::kValid}, {0, Status::kBadOffset}};
    for (const Case& c : cases) {
        const auto bytes = Encode(550, 400, stub);
        Trailer t;
        EXPECT_EQ(Decode(bytes.data(), stub + c.movie + 10, &t), c.status) << c.movie;
        if (c.status == Status::kValid) {
            EXPECT_EQ(t.width, 550);
            EXPECT_EQ(t.height, 400);
            EXPECT_EQ(t.movieOffset, stub);
            EXPECT_EQ(t.movieLength, c.movie);
        }
    }
    // A bare stub ends with its own bytes, not the marker.
    const std::uint8_t stubEnd[10] = {0x00, 0x90, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Decode(stubEnd, stub, nullptr), Status::kNoMarker);
    const auto bytes = Encode(1, 1, 0);
    EXPECT_EQ(Decode(bytes.data(), 9, nullptr), Status::kNoMarker);
    // The largest offset cannot overflow the test.
    const auto far = Encode(1, 1, 0xFFFFFFFF);
    EXPECT_EQ(Decode(far.data(), 0xFFFFFFFFull + 20, nullptr), Status::kBadOffset);
    EXPECT_EQ(Decode(far.data(), 0xFFFFFFFFull + 21, nullptr), Status::kValid);
}

}  // namespace
