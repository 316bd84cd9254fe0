#include "flash/media/audio_decoder.h"
#include "mp3_frames.h"

namespace flash::media {

namespace {

// The length of an ID3v2 tag at the start of the file (0 when there is none).
std::size_t Id3Length(std::span<const std::uint8_t> file) {
    if (file.size() < 10 || file[0] != 'I' || file[1] != 'D' || file[2] != '3') {
        return 0;
    }
    std::size_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (file[i] & 0x80) {
            return 0;  // not a synchsafe size: no tag after all
        }
        size = size << 7 | file[i];
    }
    const std::size_t footer = (file[5] & 0x10) != 0 ? 10 : 0;
    return std::min(file.size(), 10 + size + footer);
}

std::uint8_t RateCode(int rate) {
    return rate >= 32000 ? 3 : rate >= 16000 ? 2 : 1;
}

}  // namespace

std::shared_ptr<swf::Sound> SoundFromMp3File(std::span<const std::uint8_t> file,
                                             std::string* error) {
    const std::size_t first = detail::FindMp3Frame(file, Id3Length(file));
    if (first >= file.size()) {
        if (error != nullptr) {
            *error = "no MP3 frame in the file";
        }
        return nullptr;
    }
    const detail::Mp3Header head = detail::ParseMp3Header(file.subspan(first));
    std::uint64_t samples = 0;
    std::size_t at = first;
    while (at < file.size()) {
        const detail::Mp3Header h = detail::ParseMp3Header(file.subspan(at));
        if (h.bytes == 0) {
            at = detail::FindMp3Frame(file, at + 1);
            continue;
        }
        samples += static_cast<std::uint64_t>(h.samples);
        at += h.bytes;
    }
    auto sound = std::make_shared<swf::Sound>();
    sound->format = swf::SoundFormat::Mp3;
    sound->rate = RateCode(head.sampleRate);
    sound->is16Bit = true;
    sound->stereo = head.channels == 2;
    sound->sampleCount = static_cast<std::uint32_t>(std::min<std::uint64_t>(samples, UINT32_MAX));
    // DefineSound's layout: the seek samples, then the frames.
    sound->data.reserve(2 + file.size() - first);
    sound->data = {0, 0};
    sound->data.insert(sound->data.end(), file.begin() + static_cast<std::ptrdiff_t>(first),
                       file.end());
    return sound;
}

}  // namespace flash::media
