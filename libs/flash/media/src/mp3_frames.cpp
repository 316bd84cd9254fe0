#include "mp3_frames.h"

namespace flash::media::detail {

namespace {

// Layer III bitrates in kbit/s by bitrate index: MPEG-1, then MPEG-2 and 2.5.
constexpr int kBitrates[2][15] = {
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};
// Sample rates by rate index: MPEG-1, MPEG-2, MPEG-2.5.
constexpr int kRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

}  // namespace

Mp3Header ParseMp3Header(std::span<const std::uint8_t> data) {
    Mp3Header h;
    if (data.size() < 4 || data[0] != 0xFF || (data[1] & 0xE0) != 0xE0) {
        return h;
    }
    const int version = (data[1] >> 3) & 3;  // 0 MPEG-2.5, 1 reserved, 2 MPEG-2, 3 MPEG-1
    const int layer = (data[1] >> 1) & 3;    // 1 layer III
    const int bitrateIndex = data[2] >> 4;
    const int rateIndex = (data[2] >> 2) & 3;
    const int padding = (data[2] >> 1) & 1;
    if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) {
        return h;
    }
    const bool mpeg1 = version == 3;
    const int family = mpeg1 ? 0 : version == 2 ? 1 : 2;
    h.sampleRate = kRates[family][rateIndex];
    h.channels = (data[3] >> 6) == 3 ? 1 : 2;
    h.samples = mpeg1 ? 1152 : 576;
    const int bitrate = kBitrates[mpeg1 ? 0 : 1][bitrateIndex] * 1000;
    h.bytes = static_cast<std::size_t>((mpeg1 ? 144 : 72) * bitrate / h.sampleRate + padding);
    return h;
}

std::size_t FindMp3Frame(std::span<const std::uint8_t> data, std::size_t from) {
    for (std::size_t at = from; at + 4 <= data.size(); ++at) {
        if (data[at] == 0xFF && ParseMp3Header(data.subspan(at)).bytes != 0) {
            return at;
        }
    }
    return data.size();
}

}  // namespace flash::media::detail
