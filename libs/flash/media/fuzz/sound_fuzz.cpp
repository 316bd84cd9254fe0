// Feeds arbitrary bytes to the sound decoders, as an event sound and as stream blocks. The
// first byte holds the format fields as DefineSound stores them (format, rate, 16-bit,
// stereo); the second the stream block size in 16-byte steps. The whole input is also read as
// an MP3 file.
#include <cstddef>
#include <cstdint>

#include "flash/media/audio_decoder.h"
#include "flash/media/decoded_sound.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace flash;
    if (size < 2) {
        return 0;
    }
    // The same bytes as an MP3 file that a script loads, with its tag.
    media::ReadId3Tag(std::span(data, size));
    if (auto file = media::SoundFromMp3File(std::span(data, size))) {
        media::DecodedSound loaded;
        media::DecodeEventSound(*file, loaded);
    }
    swf::Sound sound;
    sound.format = static_cast<swf::SoundFormat>(data[0] >> 4);
    sound.rate = static_cast<std::uint8_t>((data[0] >> 2) & 3);
    sound.is16Bit = (data[0] & 2) != 0;
    sound.stereo = (data[0] & 1) != 0;
    sound.sampleCount = static_cast<std::uint32_t>(size * 4);
    sound.data.assign(data + 2, data + size);

    media::DecodedSound decoded;
    media::DecodeEventSound(sound, decoded);

    auto decoder = media::CreateAudioDecoder(media::AudioCoding::Of(sound));
    if (decoder) {
        const std::size_t block = (data[1] + 1u) * 16u;
        media::PcmBuffer pcm;
        for (std::size_t at = 0; at < sound.data.size(); at += block) {
            const std::size_t n = std::min(block, sound.data.size() - at);
            decoder->Decode(std::span(sound.data).subspan(at, n), pcm);
            pcm.Clear();
            if (at % (4 * block) == 0) {
                decoder->Reset();
            }
        }
        decoder->Flush(pcm);
    }
    return 0;
}
