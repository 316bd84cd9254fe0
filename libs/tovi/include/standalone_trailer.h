#pragma once

// The 10 bytes at the end of a standalone player: FF 90, stage width and height (16 bits
// each), and the offset of the movie, that is the stub's length (32 bits), all little-endian.
// The layout of the file is stub, movie, trailer. Header-only and free of the project's
// libraries, so the standalone player compiles it in as source.

#include <array>
#include <cstdint>

namespace standalone_trailer {

inline constexpr std::size_t kSize = 10;
inline constexpr std::uint8_t kMarker0 = 0xFF;
inline constexpr std::uint8_t kMarker1 = 0x90;

// The trailer for a movie of the given stage size appended to a stub of `stubLength` bytes.
// Only the low 16 bits of the size and the low 32 bits of the length are kept. The four
// fields are bytes [0,2), [2,4), [4,6) and [6,10).
inline std::array<std::uint8_t, kSize> Encode(std::int32_t width, std::int32_t height,
                                              std::uint64_t stubLength) {
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    const auto s = static_cast<std::uint32_t>(stubLength);
    return {kMarker0,
            kMarker1,
            static_cast<std::uint8_t>(w),
            static_cast<std::uint8_t>(w >> 8),
            static_cast<std::uint8_t>(h),
            static_cast<std::uint8_t>(h >> 8),
            static_cast<std::uint8_t>(s),
            static_cast<std::uint8_t>(s >> 8),
            static_cast<std::uint8_t>(s >> 16),
            static_cast<std::uint8_t>(s >> 24)};
}

enum class Status {
    kNoMarker,   // the last ten bytes do not begin with FF 90 (a bare stub, any other file)
    kBadOffset,  // marked, but the movie offset leaves no movie longer than 10 bytes
    kValid,
};

struct Trailer {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint32_t movieOffset = 0;
    std::uint64_t movieLength = 0;  // bytes from movieOffset up to the trailer
};

// Reads the trailer from the last ten bytes of a file of `fileLength` bytes.
inline Status Decode(const std::uint8_t* last, std::uint64_t fileLength, Trailer* out) {
    if (fileLength < kSize || last[0] != kMarker0 || last[1] != kMarker1) {
        return Status::kNoMarker;
    }
    Trailer t;
    t.width = static_cast<std::uint16_t>(last[2] | (last[3] << 8));
    t.height = static_cast<std::uint16_t>(last[4] | (last[5] << 8));
    t.movieOffset =
        static_cast<std::uint32_t>(last[6]) | (static_cast<std::uint32_t>(last[7]) << 8) |
        (static_cast<std::uint32_t>(last[8]) << 16) | (static_cast<std::uint32_t>(last[9]) << 24);
    // 64-bit arithmetic: the offset plus 20 cannot overflow.
    if (!(static_cast<std::uint64_t>(t.movieOffset) + 20 < fileLength)) {
        return Status::kBadOffset;
    }
    t.movieLength = fileLength - t.movieOffset - kSize;
    if (out) {
        *out = t;
    }
    return Status::kValid;
}

}  // namespace standalone_trailer
