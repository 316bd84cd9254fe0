#include "flash/media/audio_decoder.h"

namespace flash::media {

AudioCoding AudioCoding::Of(const swf::Sound& sound) {
    return {sound.format, sound.rate, sound.is16Bit, sound.stereo};
}

AudioCoding AudioCoding::Of(const swf::SoundStreamHead& head) {
    return {head.format, head.rate, head.is16Bit, head.stereo};
}

int AudioCoding::SampleRate() const {
    switch (format) {
        case swf::SoundFormat::Nellymoser16k:
        case swf::SoundFormat::Speex:
            return 16000;
        case swf::SoundFormat::Nellymoser8k:
            return 8000;
        default:
            return swf::SoundRateHz(rate);
    }
}

int AudioCoding::Channels() const {
    switch (format) {
        case swf::SoundFormat::Nellymoser16k:
        case swf::SoundFormat::Nellymoser8k:
        case swf::SoundFormat::Nellymoser:
        case swf::SoundFormat::Speex:
            return 1;
        default:
            return stereo ? 2 : 1;
    }
}

std::uint64_t ToMixFrames(std::uint64_t samples, int sampleRate) {
    if (sampleRate <= 0) {
        return 0;
    }
    // 5512 stands for 44100 / 8.
    if (sampleRate == 5512) {
        return samples * 8;
    }
    return samples * kMixRate / static_cast<std::uint64_t>(sampleRate);
}

bool AudioDecoder::Decode(std::span<const std::uint8_t> data, PcmBuffer& out) {
    return Decode(data, [&out](std::span<const std::int16_t> frames) {
        out.samples.insert(out.samples.end(), frames.begin(), frames.end());
        return true;
    });
}

void AudioDecoder::Flush(PcmBuffer& out) {
    Flush([&out](std::span<const std::int16_t> frames) {
        out.samples.insert(out.samples.end(), frames.begin(), frames.end());
        return true;
    });
}

}  // namespace flash::media
