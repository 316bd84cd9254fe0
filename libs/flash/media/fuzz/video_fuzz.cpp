// Feeds arbitrary bytes to the video decoders through a track. The first byte picks the codec
// (2 to 6) and the packing; the rest is cut into frames, each led by a 16-bit length. The
// frames are shown in order, then a few seeks back and forth.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flash/media/video.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace flash;
    if (size < 1) {
        return 0;
    }
    swf::VideoStream stream;
    stream.codec = static_cast<swf::VideoCodec>(2 + (data[0] & 7) % 5);
    stream.deblocking = (data[0] & 0x40) != 0 ? 1 : 0;
    stream.width = 64;
    stream.height = 48;
    const auto packing =
        (data[0] & 0x80) != 0 ? media::VideoPacking::Flv : media::VideoPacking::Swf;
    media::VideoTrack track(stream, packing);
    std::size_t at = 1;
    int frames = 0;
    while (at + 2 <= size && frames < 64) {
        const std::size_t length = static_cast<std::size_t>(data[at] << 8 | data[at + 1]);
        at += 2;
        const std::size_t n = std::min(length, size - at);
        track.AddFrame(frames++, {data + at, n});
        media::IsKeyframe(stream.codec, {data + at, n}, packing);
        at += n;
    }
    for (int f = 0; f < frames; ++f) {
        track.Picture(f);
    }
    for (int f : {frames / 2, 0, frames - 1, frames / 3}) {
        track.Picture(f);
    }
    return 0;
}
