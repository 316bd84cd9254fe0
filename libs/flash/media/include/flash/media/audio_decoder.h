#pragma once

// Sound decoding: the small interface the mixer decodes through, and the SWF framing around
// it (the MP3 seek fields of DefineSound and SoundStreamBlock).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "flash/media/pcm.h"
#include "flash/swf/sound.h"

namespace flash::media {

// Sound format codes beyond those of DefineSound that FLV files use.
inline constexpr auto kSoundFormatAlaw = static_cast<swf::SoundFormat>(7);
inline constexpr auto kSoundFormatMulaw = static_cast<swf::SoundFormat>(8);

// How a sound is coded: the format fields of DefineSound and SoundStreamHead.
struct AudioCoding {
    swf::SoundFormat format = swf::SoundFormat::PcmNative;
    std::uint8_t rate = 0;  // code: 0 5.5 kHz, 1 11 kHz, 2 22 kHz, 3 44 kHz
    bool is16Bit = true;
    bool stereo = false;

    static AudioCoding Of(const swf::Sound& sound);
    static AudioCoding Of(const swf::SoundStreamHead& head);
    // Samples per second as coded (Nellymoser 8/16 kHz and Speex 16 kHz fix their own).
    int SampleRate() const;
    int Channels() const;
};

// Receives decoded frames in the mixer's format as they come; false stops the decoding.
using FrameSink = std::function<bool(std::span<const std::int16_t> stereoFrames)>;

// Turns one sound's (or one stream's) coded bytes into frames in the mixer's format. Each
// call takes a whole unit: a DefineSound's data or one stream block's, without the MP3 seek
// fields. Codecs with state between units (MP3) carry it from one call to the next.
class AudioDecoder {
  public:
    virtual ~AudioDecoder() = default;
    // Decodes a unit and hands its frames to `sink` in runs. False when part of it did not
    // decode; whatever did decode is delivered all the same.
    virtual bool Decode(std::span<const std::uint8_t> data, const FrameSink& sink) = 0;
    // Delivers what the codec and the resampler still hold back (at the end of a sound).
    virtual void Flush(const FrameSink& sink) = 0;
    // Forgets the state between units (a stream that restarts at another frame).
    virtual void Reset() = 0;

    // The same, appending to a buffer.
    bool Decode(std::span<const std::uint8_t> data, PcmBuffer& out);
    void Flush(PcmBuffer& out);
};

// The decoder for a coding, or null with the reason in *error (an unknown format code, or
// a codec this build of the library lacks).
std::unique_ptr<AudioDecoder> CreateAudioDecoder(const AudioCoding& coding,
                                                 std::string* error = nullptr);

// An MP3 file (loadSound) as an event sound: its ID3v2 tag skipped, its rate, channels and
// sample count read from the frame headers. Null with the reason when no frame is found.
std::shared_ptr<swf::Sound> SoundFromMp3File(std::span<const std::uint8_t> file,
                                             std::string* error = nullptr);

// The text frames (T...) and comments (COMM) of an MP3 file's ID3v2.3 or 2.4 tag, in file
// order, as UTF-8. Nothing when the file has no such tag.
struct Id3Field {
    std::string id;  // "TIT2", "COMM", ...
    std::string text;
};
std::optional<std::vector<Id3Field>> ReadId3Tag(std::span<const std::uint8_t> file);

// Mixer frames for a count of samples at a coding's rate, rounded down.
std::uint64_t ToMixFrames(std::uint64_t samples, int sampleRate);

// A decoded event sound is cut off at this length (10 minutes).
inline constexpr std::size_t kMaxSoundFrames = std::size_t{600} * kMixRate;

}  // namespace flash::media
