#pragma once

// MPEG audio layer III frame headers: where a frame starts and how long it is.

#include <cstddef>
#include <cstdint>
#include <span>

namespace flash::media::detail {

struct Mp3Header {
    int sampleRate = 0;
    int channels = 0;
    int samples = 0;        // per channel
    std::size_t bytes = 0;  // the whole frame
};

// The header at the start of `data`, or a header with 0 bytes when none starts there (free
// format bitrates and other layers count as none).
Mp3Header ParseMp3Header(std::span<const std::uint8_t> data);

// The offset of the next frame header at or after `from`, or data.size() when there is none.
std::size_t FindMp3Frame(std::span<const std::uint8_t> data, std::size_t from);

}  // namespace flash::media::detail
