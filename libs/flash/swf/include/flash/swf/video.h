#pragma once

// Embedded video (DefineVideoStream, VideoFrame).

#include <cstdint>
#include <vector>

namespace flash::swf {

enum class VideoCodec : std::uint8_t {
    SorensonH263 = 2,
    ScreenVideo = 3,
    Vp6 = 4,
    Vp6Alpha = 5,
    ScreenVideo2 = 6,
};

struct VideoStream {
    std::uint16_t frameCount = 0;
    std::uint16_t width = 0;  // pixels
    std::uint16_t height = 0;
    std::uint8_t deblocking = 0;  // 0 as the packet says, 1 off, 2.. levels
    bool smoothing = false;
    VideoCodec codec = VideoCodec::SorensonH263;  // may hold an unknown code
    bool operator==(const VideoStream&) const = default;
};

struct VideoFrame {
    std::uint16_t streamId = 0;
    std::uint16_t frameNumber = 0;
    std::vector<std::uint8_t> data;
    bool operator==(const VideoFrame&) const = default;
};

}  // namespace flash::swf
