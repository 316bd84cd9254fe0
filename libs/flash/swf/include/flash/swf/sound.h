#pragma once

// Event sounds (DefineSound, StartSound, StartSound2) and stream sound (SoundStreamHead 1-2,
// SoundStreamBlock).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace flash::swf {

// Sound format codes as stored.
enum class SoundFormat : std::uint8_t {
    PcmNative = 0,  // uncompressed, the authoring machine's byte order (little-endian in practice)
    Adpcm = 1,
    Mp3 = 2,
    PcmLittleEndian = 3,
    Nellymoser16k = 4,
    Nellymoser8k = 5,
    Nellymoser = 6,
    Speex = 11,
};

// The rate code 0..3 as samples per second.
int SoundRateHz(std::uint8_t rateCode);

struct Sound {
    SoundFormat format = SoundFormat::PcmNative;
    std::uint8_t rate = 0;  // code: 0 5.5 kHz, 1 11 kHz, 2 22 kHz, 3 44 kHz
    bool is16Bit = false;
    bool stereo = false;
    std::uint32_t sampleCount = 0;   // per channel
    std::vector<std::uint8_t> data;  // MP3: starts with the SeekSamples SI16
    bool operator==(const Sound&) const = default;
};

struct SoundEnvelopePoint {
    std::uint32_t pos44 = 0;      // position in 44.1 kHz samples
    std::uint16_t leftLevel = 0;  // 0..32768
    std::uint16_t rightLevel = 0;
    bool operator==(const SoundEnvelopePoint&) const = default;
};

struct SoundInfo {
    bool syncStop = false;
    bool syncNoMultiple = false;
    std::optional<std::uint32_t> inPoint;
    std::optional<std::uint32_t> outPoint;
    std::optional<std::uint16_t> loopCount;
    std::vector<SoundEnvelopePoint> envelope;
    bool operator==(const SoundInfo&) const = default;
};

// StartSound (by id) and StartSound2 (by class name).
struct StartSound {
    std::uint16_t soundId = 0;
    std::string className;  // StartSound2
    SoundInfo info;
    bool operator==(const StartSound&) const = default;
};

struct SoundStreamHead {
    int version = 1;
    std::uint8_t playbackRate = 0;
    bool playbackIs16Bit = true;
    bool playbackStereo = false;
    SoundFormat format = SoundFormat::PcmNative;
    std::uint8_t rate = 0;
    bool is16Bit = true;
    bool stereo = false;
    std::uint16_t sampleCount = 0;  // average per frame
    std::int16_t latencySeek = 0;   // MP3
    bool operator==(const SoundStreamHead&) const = default;
};

// The stream data of one frame (MP3: SampleCount UI16 and SeekSamples SI16 come first).
struct SoundStreamBlock {
    std::vector<std::uint8_t> data;
    bool operator==(const SoundStreamBlock&) const = default;
};

}  // namespace flash::swf
