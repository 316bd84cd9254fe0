#pragma once

// The mixer's format: interleaved stereo 16-bit samples at 44.1 kHz. Every decoder delivers
// this, so sounds of any rate and channel count mix without further conversion.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace flash::media {

inline constexpr int kMixRate = 44100;
inline constexpr int kMixChannels = 2;

// A run of frames in the mixer's format (left, right, left, right, ...).
struct PcmBuffer {
    std::vector<std::int16_t> samples;

    std::size_t Frames() const { return samples.size() / kMixChannels; }
    void Clear() { samples.clear(); }
};

}  // namespace flash::media
