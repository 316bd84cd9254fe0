#pragma once

// One player instance's sound: its event sounds and the stream sound of its timelines, mixed
// into a mixer at the instance's volume. Everything here is called on the thread that runs the
// movie; the mixer's thread only mixes.
//
// The runtime's part, as Flash plays sound:
// - StartSound/StartSound2 and button sounds: StartSound with the tag's sound info.
// - A timeline entering a frame with SoundStreamHead: StreamHead; with a SoundStreamBlock:
//   StreamBlock with that frame's number. A block that does not follow the last one restarts
//   the stream there (a jump), skipping the block's MP3 seek samples.
// - A timeline that stops or jumps (Stop, StopPlay, GotoFrame, Rewind, stop() and gotoAndStop
//   in scripts): StopStream; its event sounds play on. A timeline removed: RemoveStream.
// - Each tick of the frame clock of a timeline with stream sound: StreamSteps says how many
//   frames to move (0 waits for the sound, more than 1 skips frames to catch up with it).
// - stopAllSounds: StopAll.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "flash/media/audio_decoder.h"
#include "flash/media/decoded_sound.h"
#include "flash/media/mixer.h"
#include "flash/swf/sound.h"

namespace flash::media {

// What the audio clock says about a timeline's stream sound.
struct StreamClock {
    bool playing = false;       // blocks arrive and the sound has not run dry for long
    int heardFrame = -1;        // the frame whose block plays now
    double bufferedFrames = 0;  // queued sound not yet played, in frames; below 0 when the
                                // sound ran dry: for that many frames' time nothing played
};

// How a sound's two channels reach the two speakers, as a script's sound transform gives it:
// left out = ll * left in + lr * right in, right out = rl * left in + rr * right in.
struct SoundMix {
    float ll = 1, lr = 0, rl = 0, rr = 1;

    bool operator==(const SoundMix&) const = default;
    // This mix applied after `inner`.
    SoundMix Then(const SoundMix& inner) const;
};

class MovieSound final : public MixSource {
  public:
    struct Options {
        // Event sounds decode on a thread of their own and play as the decoding goes; without
        // it StartSound decodes before it returns (reproducible headless runs).
        bool decodeInBackground = true;
    };
    using VoiceId = std::uint64_t;    // 0: none
    using TimelineKey = const void*;  // any address that stands for the timeline

    static constexpr std::size_t kMaxVoices = 32;
    // Decoded event sounds no voice uses are dropped beyond this many frames.
    static constexpr std::size_t kCacheFrames = std::size_t{16} << 20;

    explicit MovieSound(Mixer& mixer = Mixer::Process());
    MovieSound(Mixer& mixer, Options options);
    ~MovieSound() override;
    MovieSound(const MovieSound&) = delete;
    MovieSound& operator=(const MovieSound&) = delete;

    // Starts an event sound with its sound info: in and out points (44.1 kHz samples), loops,
    // envelope. With the stop flag it stops the sound instead; with no-multiple it does not
    // start while the sound plays. 0 when nothing started (also beyond kMaxVoices voices).
    // `owner` stands for whatever started it (a clip) and `mix` is that owner's sound transform.
    VoiceId StartSound(const std::shared_ptr<const swf::Sound>& sound, const swf::SoundInfo& info,
                       const void* owner = nullptr, SoundMix mix = {});
    // A new transform for the voices an owner started.
    void SetOwnerMix(const void* owner, SoundMix mix);
    // The transform over everything this instance plays (a script's global sound).
    void SetGlobalMix(SoundMix mix);
    void StopVoice(VoiceId voice);
    // Stops the voices an owner started.
    void StopOwner(const void* owner);
    // Where a playing voice is in its sound, in mixer frames from the sound's start; nothing
    // once it ended.
    std::optional<std::size_t> VoicePosition(VoiceId voice) const;
    // Stops every voice of a sound.
    void StopSound(const swf::Sound* sound);
    bool IsPlaying(const swf::Sound* sound) const;
    bool IsVoicePlaying(VoiceId voice) const;
    // Whether anything plays or has ended unreported: a voice, a stream, a finished voice.
    bool Busy() const;
    // The voices that ended by themselves since the last call, in order.
    std::vector<VoiceId> TakeFinished();
    // Starts decoding a sound before it is first played.
    void Preload(const std::shared_ptr<const swf::Sound>& sound);
    // Waits until every sound asked for so far is decoded.
    void WaitForDecoding();
    // The decoded sound (decoding starts if it has not).
    std::shared_ptr<const DecodedSound> Decoded(const std::shared_ptr<const swf::Sound>& sound);

    void StreamHead(TimelineKey timeline, const swf::SoundStreamHead& head, double framesPerSecond);
    void StreamBlock(TimelineKey timeline, int frame, const swf::SoundStreamBlock& block);
    void StopStream(TimelineKey timeline);
    void RemoveStream(TimelineKey timeline);
    StreamClock Clock(TimelineKey timeline) const;
    int StreamSteps(TimelineKey timeline) const;

    // Event sounds and streams.
    void StopAll();
    void StopEventSounds();
    // This instance's volume, 0 to 1.
    void SetVolume(double volume);
    double Volume() const;

    void MixLocked(float* out, std::size_t frames) override;

  private:
    struct Voice {
        VoiceId id = 0;
        const swf::Sound* key = nullptr;
        std::shared_ptr<DecodedSound> data;
        std::size_t start = 0;
        std::size_t end = SIZE_MAX;  // the out point, or the data's end
        std::size_t pos = 0;
        std::uint32_t loopsLeft = 1;
        std::vector<swf::SoundEnvelopePoint> envelope;
        std::size_t envelopeIndex = 0;
        std::uint64_t envelopeTime = 0;  // 44.1 kHz samples from the start of the sound
        bool done = false;
        const void* owner = nullptr;
        SoundMix mix;
    };
    struct Segment {
        int frame = 0;
        std::vector<std::int16_t> pcm;
        std::size_t offset = 0;  // frames already played
    };
    struct Stream {
        // Used on the movie's thread only.
        swf::SoundStreamHead head;
        std::unique_ptr<AudioDecoder> decoder;
        int lastFrame = -1;
        bool running = false;
        std::size_t pendingSkip = 0;
        // Shared with the mixer.
        double framesPerMovieFrame = kMixRate / 12.0;
        std::deque<Segment> queue;
        std::size_t queued = 0;  // frames in the queue not yet played
        std::size_t dry = 0;     // frames played with an empty queue
        int lastQueued = -1;
        bool active = false;
    };
    struct CacheEntry {
        std::shared_ptr<const swf::Sound> sound;
        std::shared_ptr<DecodedSound> data;
        std::uint64_t lastUse = 0;
    };

    std::shared_ptr<DecodedSound> Prepare(const std::shared_ptr<const swf::Sound>& sound);
    void TrimCache();
    void MixVoice(Voice& voice, float* out, std::size_t frames);
    void MixStream(Stream& stream, float* out, std::size_t frames);
    StreamClock ClockLocked(const Stream& stream) const;

    Mixer& mixer_;
    Options options_;
    std::map<const swf::Sound*, CacheEntry> cache_;
    std::uint64_t useTick_ = 0;
    VoiceId nextVoice_ = 1;
    // Shared with the mixer (changed under its lock).
    std::vector<Voice> voices_;
    std::map<TimelineKey, std::unique_ptr<Stream>> streams_;
    std::vector<VoiceId> finished_;
    float volume_ = 1.0f;
    SoundMix globalMix_;
    std::vector<float> scratch_;
};

}  // namespace flash::media
