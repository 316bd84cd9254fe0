#include "flash/media/movie_sound.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace flash::media {

namespace {

// A stream that stays dry this long has ended (or its timeline stalled): it stops driving
// the timeline until blocks come again.
constexpr double kDryFramesEnd = 8;
constexpr double kDrySecondsEnd = 1;
// Sound up to half a frame late plays late; later sound is dropped to stay with the frames.
constexpr double kSlipFrames = 0.5;
// StreamSteps: more sound queued than this holds the timeline; at most this many frames are
// caught up in one tick.
constexpr double kMaxLeadFrames = 2.5;
constexpr int kMaxCatchUp = 8;

float Level(std::uint16_t level) {
    return static_cast<float>(level) / 32768.0f;
}

}  // namespace

SoundMix SoundMix::Then(const SoundMix& inner) const {
    return {ll * inner.ll + lr * inner.rl, ll * inner.lr + lr * inner.rr,
            rl * inner.ll + rr * inner.rl, rl * inner.lr + rr * inner.rr};
}

MovieSound::MovieSound(Mixer& mixer) : MovieSound(mixer, Options{}) {}

MovieSound::MovieSound(Mixer& mixer, Options options) : mixer_(mixer), options_(options) {
    mixer_.Add(this);
}

MovieSound::~MovieSound() {
    mixer_.Remove(this);
    for (auto& [key, entry] : cache_) {
        entry.data->Cancel();
    }
}

std::shared_ptr<DecodedSound> MovieSound::Prepare(const std::shared_ptr<const swf::Sound>& sound) {
    auto it = cache_.find(sound.get());
    if (it != cache_.end()) {
        it->second.lastUse = ++useTick_;
        return it->second.data;
    }
    auto data = std::make_shared<DecodedSound>();
    cache_[sound.get()] = {sound, data, ++useTick_};
    if (options_.decodeInBackground) {
        DecodeInBackground(sound, data);
    } else {
        DecodeEventSound(*sound, *data);
    }
    TrimCache();
    return data;
}

// Drops the least recently used sounds nobody plays or decodes.
void MovieSound::TrimCache() {
    std::size_t total = 0;
    for (const auto& [key, entry] : cache_) {
        total += entry.data->Available();
    }
    while (total > kCacheFrames) {
        auto victim = cache_.end();
        for (auto it = cache_.begin(); it != cache_.end(); ++it) {
            if (it->second.data.use_count() == 1 &&
                (victim == cache_.end() || it->second.lastUse < victim->second.lastUse)) {
                victim = it;
            }
        }
        if (victim == cache_.end()) {
            return;
        }
        total -= victim->second.data->Available();
        cache_.erase(victim);
    }
}

void MovieSound::Preload(const std::shared_ptr<const swf::Sound>& sound) {
    if (sound) {
        Prepare(sound);
    }
}

std::shared_ptr<const DecodedSound> MovieSound::Decoded(
    const std::shared_ptr<const swf::Sound>& sound) {
    return sound ? Prepare(sound) : nullptr;
}

void MovieSound::WaitForDecoding() {
    for (auto& [key, entry] : cache_) {
        entry.data->WaitUntilComplete();
    }
}

MovieSound::VoiceId MovieSound::StartSound(const std::shared_ptr<const swf::Sound>& sound,
                                           const swf::SoundInfo& info, const void* owner,
                                           SoundMix mix) {
    if (!sound) {
        return 0;
    }
    if (info.syncStop) {
        StopSound(sound.get());
        return 0;
    }
    if (info.syncNoMultiple && IsPlaying(sound.get())) {
        return 0;
    }
    Voice voice;
    voice.key = sound.get();
    voice.data = Prepare(sound);
    voice.start = info.inPoint.value_or(0);
    // An out point at or before the in point would silence the sound: it is not followed.
    if (info.outPoint && *info.outPoint > voice.start) {
        voice.end = *info.outPoint;
    }
    voice.pos = voice.start;
    voice.loopsLeft = std::max<std::uint32_t>(1, info.loopCount.value_or(1));
    voice.envelope = info.envelope;
    std::stable_sort(voice.envelope.begin(), voice.envelope.end(),
                     [](const auto& a, const auto& b) { return a.pos44 < b.pos44; });
    voice.envelopeTime = voice.start;
    voice.owner = owner;
    voice.mix = mix;
    {
        auto lock = mixer_.Lock();
        if (voices_.size() >= kMaxVoices) {
            return 0;
        }
        voice.id = nextVoice_++;
        voices_.push_back(std::move(voice));
    }
    mixer_.EnsureStarted();
    return nextVoice_ - 1;
}

void MovieSound::StopSound(const swf::Sound* sound) {
    auto lock = mixer_.Lock();
    std::erase_if(voices_, [sound](const Voice& v) { return v.key == sound; });
}

bool MovieSound::IsPlaying(const swf::Sound* sound) const {
    auto lock = mixer_.Lock();
    return std::any_of(voices_.begin(), voices_.end(),
                       [sound](const Voice& v) { return v.key == sound && !v.done; });
}

bool MovieSound::IsVoicePlaying(VoiceId voice) const {
    auto lock = mixer_.Lock();
    return std::any_of(voices_.begin(), voices_.end(),
                       [voice](const Voice& v) { return v.id == voice && !v.done; });
}

bool MovieSound::Busy() const {
    auto lock = mixer_.Lock();
    if (!finished_.empty() ||
        std::any_of(voices_.begin(), voices_.end(), [](const Voice& v) { return !v.done; })) {
        return true;
    }
    return std::any_of(streams_.begin(), streams_.end(), [](const auto& s) {
        return s.second->running || s.second->active || s.second->queued > 0;
    });
}

void MovieSound::SetOwnerMix(const void* owner, SoundMix mix) {
    auto lock = mixer_.Lock();
    for (Voice& v : voices_) {
        if (v.owner == owner) {
            v.mix = mix;
        }
    }
}

void MovieSound::SetGlobalMix(SoundMix mix) {
    auto lock = mixer_.Lock();
    globalMix_ = mix;
}

void MovieSound::StopVoice(VoiceId voice) {
    auto lock = mixer_.Lock();
    std::erase_if(voices_, [voice](const Voice& v) { return v.id == voice; });
}

void MovieSound::StopOwner(const void* owner) {
    auto lock = mixer_.Lock();
    std::erase_if(voices_, [owner](const Voice& v) { return v.owner == owner; });
}

std::optional<std::size_t> MovieSound::VoicePosition(VoiceId voice) const {
    auto lock = mixer_.Lock();
    for (const Voice& v : voices_) {
        if (v.id == voice && !v.done) {
            return v.pos;
        }
    }
    return std::nullopt;
}

std::vector<MovieSound::VoiceId> MovieSound::TakeFinished() {
    auto lock = mixer_.Lock();
    return std::exchange(finished_, {});
}

void MovieSound::StopEventSounds() {
    auto lock = mixer_.Lock();
    voices_.clear();
}

void MovieSound::StopAll() {
    StopEventSounds();
    for (auto& [key, stream] : streams_) {
        StopStream(key);
    }
}

void MovieSound::SetVolume(double volume) {
    auto lock = mixer_.Lock();
    volume_ = static_cast<float>(std::clamp(volume, 0.0, 1.0));
}

double MovieSound::Volume() const {
    auto lock = mixer_.Lock();
    return volume_;
}

void MovieSound::StreamHead(TimelineKey timeline, const swf::SoundStreamHead& head,
                            double framesPerSecond) {
    const double perFrame = kMixRate / (framesPerSecond > 0 ? framesPerSecond : 12.0);
    auto it = streams_.find(timeline);
    if (it != streams_.end() && it->second->head == head) {
        auto lock = mixer_.Lock();
        it->second->framesPerMovieFrame = perFrame;
        return;
    }
    auto stream = std::make_unique<Stream>();
    stream->head = head;
    stream->decoder = CreateAudioDecoder(AudioCoding::Of(head));
    stream->framesPerMovieFrame = perFrame;
    auto lock = mixer_.Lock();
    streams_[timeline] = std::move(stream);
}

void MovieSound::StreamBlock(TimelineKey timeline, int frame, const swf::SoundStreamBlock& block) {
    auto it = streams_.find(timeline);
    if (it == streams_.end() || !it->second->decoder) {
        return;
    }
    Stream& s = *it->second;
    const bool restart = !s.running || frame != s.lastFrame + 1;
    std::span<const std::uint8_t> data = block.data;
    if (s.head.format == swf::SoundFormat::Mp3) {
        // SampleCount, then SeekSamples: where this frame's sound starts in its first MP3 frame.
        const int seek = data.size() >= 4 ? static_cast<std::int16_t>(data[2] | data[3] << 8) : 0;
        data = data.size() >= 4 ? data.subspan(4) : std::span<const std::uint8_t>{};
        if (restart) {
            s.pendingSkip = seek > 0 ? ToMixFrames(static_cast<std::uint64_t>(seek),
                                                   AudioCoding::Of(s.head).SampleRate())
                                     : 0;
        }
    }
    if (restart) {
        s.decoder->Reset();
    }
    PcmBuffer pcm;
    s.decoder->Decode(data, pcm);
    const std::size_t skip = std::min(s.pendingSkip, pcm.Frames());
    s.pendingSkip -= skip;
    pcm.samples.erase(pcm.samples.begin(),
                      pcm.samples.begin() + static_cast<std::ptrdiff_t>(2 * skip));
    s.running = true;
    s.lastFrame = frame;
    {
        auto lock = mixer_.Lock();
        if (restart || !s.active) {
            s.queue.clear();
            s.queued = 0;
            s.dry = 0;
        }
        s.active = true;
        // Sound that comes later than it should have played is dropped (but for a slip).
        if (static_cast<double>(s.dry) > kSlipFrames * s.framesPerMovieFrame) {
            const std::size_t late = std::min(s.dry, pcm.Frames());
            pcm.samples.erase(pcm.samples.begin(),
                              pcm.samples.begin() + static_cast<std::ptrdiff_t>(2 * late));
            s.dry -= late;
        } else {
            s.dry = 0;
        }
        if (pcm.Frames() > 0) {
            s.queued += pcm.Frames();
            s.queue.push_back({frame, std::move(pcm.samples), 0});
        }
        s.lastQueued = frame;
    }
    mixer_.EnsureStarted();
}

void MovieSound::StopStream(TimelineKey timeline) {
    auto it = streams_.find(timeline);
    if (it == streams_.end()) {
        return;
    }
    Stream& s = *it->second;
    s.running = false;
    s.pendingSkip = 0;
    auto lock = mixer_.Lock();
    s.queue.clear();
    s.queued = 0;
    s.dry = 0;
    s.active = false;
}

void MovieSound::RemoveStream(TimelineKey timeline) {
    std::unique_ptr<Stream> gone;
    auto lock = mixer_.Lock();
    auto it = streams_.find(timeline);
    if (it != streams_.end()) {
        gone = std::move(it->second);
        streams_.erase(it);
    }
}

StreamClock MovieSound::ClockLocked(const Stream& s) const {
    StreamClock c;
    if (!s.active) {
        return c;
    }
    c.playing = true;
    const double perFrame = s.framesPerMovieFrame;
    c.bufferedFrames = (static_cast<double>(s.queued) - static_cast<double>(s.dry)) / perFrame;
    c.heardFrame = s.queue.empty()
                       ? s.lastQueued + 1 + static_cast<int>(static_cast<double>(s.dry) / perFrame)
                       : s.queue.front().frame;
    return c;
}

StreamClock MovieSound::Clock(TimelineKey timeline) const {
    auto lock = mixer_.Lock();
    auto it = streams_.find(timeline);
    return it == streams_.end() ? StreamClock{} : ClockLocked(*it->second);
}

int MovieSound::StreamSteps(TimelineKey timeline) const {
    const StreamClock c = Clock(timeline);
    if (!c.playing) {
        return 1;
    }
    if (c.bufferedFrames > kMaxLeadFrames) {
        return 0;
    }
    if (c.bufferedFrames < 0) {
        return std::min(kMaxCatchUp, 1 + static_cast<int>(std::floor(-c.bufferedFrames)));
    }
    return 1;
}

void MovieSound::MixLocked(float* out, std::size_t frames) {
    if (voices_.empty() && streams_.empty()) {
        return;
    }
    scratch_.assign(frames * kMixChannels, 0.0f);
    for (Voice& v : voices_) {
        MixVoice(v, scratch_.data(), frames);
    }
    for (Voice& v : voices_) {
        if (v.done) {
            finished_.push_back(v.id);
        }
    }
    std::erase_if(voices_, [](const Voice& v) { return v.done; });
    for (auto& [key, stream] : streams_) {
        MixStream(*stream, scratch_.data(), frames);
    }
    for (std::size_t i = 0; i < frames * kMixChannels; ++i) {
        out[i] += scratch_[i] * volume_;
    }
}

void MovieSound::MixVoice(Voice& v, float* out, std::size_t frames) {
    constexpr float kScale = 1.0f / 32768.0f;
    std::size_t i = 0;
    while (i < frames) {
        const std::size_t available = v.data->Available();
        const bool complete = v.data->Complete();
        const std::size_t end = complete ? std::min(v.end, available) : v.end;
        if (v.pos >= end) {
            // The end of one pass.
            if (v.loopsLeft > 1 && end > v.start) {
                --v.loopsLeft;
                v.pos = v.start;
                continue;
            }
            v.done = true;
            return;
        }
        if (v.pos >= available) {
            return;  // decoding has not got this far yet
        }
        const std::size_t run = std::min({frames - i, end - v.pos, v.data->RunFrom(v.pos)});
        const std::int16_t* src = v.data->FrameAt(v.pos);
        float* dst = out + 2 * i;
        const SoundMix m = globalMix_.Then(v.mix);
        if (v.envelope.empty() && m == SoundMix{}) {
            for (std::size_t k = 0; k < 2 * run; ++k) {
                dst[k] += static_cast<float>(src[k]) * kScale;
            }
        } else if (v.envelope.empty()) {
            for (std::size_t k = 0; k < run; ++k) {
                const float left = static_cast<float>(src[2 * k]) * kScale;
                const float right = static_cast<float>(src[2 * k + 1]) * kScale;
                dst[2 * k] += m.ll * left + m.lr * right;
                dst[2 * k + 1] += m.rl * left + m.rr * right;
            }
        } else {
            const auto& env = v.envelope;
            for (std::size_t k = 0; k < run; ++k) {
                const std::uint64_t t = v.envelopeTime + k;
                while (v.envelopeIndex + 1 < env.size() && env[v.envelopeIndex + 1].pos44 <= t) {
                    ++v.envelopeIndex;
                }
                const auto& a = env[v.envelopeIndex];
                float left = Level(a.leftLevel);
                float right = Level(a.rightLevel);
                if (t > a.pos44 && v.envelopeIndex + 1 < env.size()) {
                    const auto& b = env[v.envelopeIndex + 1];
                    const float f =
                        static_cast<float>(t - a.pos44) / static_cast<float>(b.pos44 - a.pos44);
                    left += (Level(b.leftLevel) - left) * f;
                    right += (Level(b.rightLevel) - right) * f;
                }
                left *= static_cast<float>(src[2 * k]) * kScale;
                right *= static_cast<float>(src[2 * k + 1]) * kScale;
                dst[2 * k] += m.ll * left + m.lr * right;
                dst[2 * k + 1] += m.rl * left + m.rr * right;
            }
        }
        i += run;
        v.pos += run;
        v.envelopeTime += run;
    }
}

void MovieSound::MixStream(Stream& s, float* out, std::size_t frames) {
    if (!s.active) {
        return;
    }
    constexpr float kScale = 1.0f / 32768.0f;
    std::size_t i = 0;
    while (i < frames && !s.queue.empty()) {
        Segment& seg = s.queue.front();
        const std::size_t n = std::min(frames - i, seg.pcm.size() / 2 - seg.offset);
        const std::int16_t* src = seg.pcm.data() + 2 * seg.offset;
        const SoundMix& m = globalMix_;
        for (std::size_t k = 0; k < n; ++k) {
            const float left = static_cast<float>(src[2 * k]) * kScale;
            const float right = static_cast<float>(src[2 * k + 1]) * kScale;
            out[2 * (i + k)] += m.ll * left + m.lr * right;
            out[2 * (i + k) + 1] += m.rl * left + m.rr * right;
        }
        seg.offset += n;
        s.queued -= n;
        i += n;
        if (seg.offset * 2 >= seg.pcm.size()) {
            s.queue.pop_front();
        }
    }
    if (i < frames) {
        s.dry += frames - i;
        const double limit =
            std::max(kDryFramesEnd * s.framesPerMovieFrame, kDrySecondsEnd * kMixRate);
        if (static_cast<double>(s.dry) > limit) {
            s.active = false;
        }
    }
}

}  // namespace flash::media
