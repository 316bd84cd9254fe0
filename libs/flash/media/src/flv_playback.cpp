#include "flash/media/flv_playback.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "flv_worker.h"

namespace flash::media {

namespace {

// A picture is due when the clock is this close to its time.
constexpr double kPictureSlack = 0.002;
// Sound that has been missing this long no longer drives the clock.
constexpr double kDrySeconds = 0.25;

}  // namespace

FlvPlayback::FlvPlayback(SourceOpener opener, Mixer& mixer)
    : FlvPlayback(std::move(opener), mixer, Options{}) {}

FlvPlayback::FlvPlayback(SourceOpener opener, Mixer& mixer, Options options)
    : opener_(std::move(opener)), mixer_(mixer), options_(options) {
    mixer_.Add(this);
    worker_ = std::thread([this] { Worker(*this).Run(); });
}

FlvPlayback::~FlvPlayback() {
    {
        std::lock_guard lock(mutex_);
        shared_.stop = true;
    }
    wake_.notify_all();
    worker_.join();
    mixer_.Remove(this);
}

void FlvPlayback::Post(const char* code, const char* level) {
    FlvEvent e;
    e.code = code;
    e.level = level;
    events_.push_back(std::move(e));
}

std::vector<FlvEvent> FlvPlayback::TakeEvents() {
    return std::exchange(events_, {});
}

void FlvPlayback::SetPaused(bool paused) {
    if (paused == paused_ || state_ == State::Failed) {
        return;
    }
    paused_ = paused;
    Post(paused ? "NetStream.Pause.Notify" : "NetStream.Unpause.Notify");
}

void FlvPlayback::Seek(double seconds) {
    if (state_ == State::Failed || state_ == State::Opening) {
        return;
    }
    if (!std::isfinite(seconds) || seconds < 0) {
        seconds = 0;
    }
    double duration = layout_ ? layout_->duration : 0;
    for (const FlvScriptTag& tag : scripts_) {
        if (tag.name == "onMetaData") {
            duration = tag.value.NumberOr("duration", duration);
            break;
        }
    }
    if (duration > 0 && seconds > duration) {
        FlvEvent e;
        e.code = "NetStream.Seek.InvalidTime";
        e.level = "error";
        e.details = duration;
        events_.push_back(std::move(e));
        return;
    }
    {
        std::lock_guard lock(mutex_);
        shared_.seekTo = seconds;
        shared_.seekedTo.reset();
        generation_ = ++shared_.generation;
    }
    wake_.notify_all();
    seeking_ = true;
    if (state_ == State::Ended) {
        state_ = State::Playing;
    }
    flushed_ = false;
    endOfFile_ = false;
    drained_ = false;
}

void FlvPlayback::SetBufferTime(double seconds) {
    bufferTime_ = std::isfinite(seconds) ? std::max(0.0, seconds) : 0.0;
    std::lock_guard lock(mutex_);
    shared_.bufferTime = bufferTime_;
}

void FlvPlayback::SetVolume(double volume) {
    auto lock = mixer_.Lock();
    volume_ = static_cast<float>(std::clamp(volume, 0.0, 1.0));
}

double FlvPlayback::BufferLength() const {
    if (state_ == State::Opening || state_ == State::Failed) {
        return 0;
    }
    return std::max(0.0, readTime_ - clock_);
}

std::uint64_t FlvPlayback::BytesLoaded() const {
    // A local file is there as a whole.
    return layout_ ? size_ : 0;
}

std::uint64_t FlvPlayback::BytesTotal() const {
    return layout_ ? size_ : 0;
}

double FlvPlayback::CurrentFps() const {
    if (state_ != State::Playing || paused_) {
        return 0;
    }
    return static_cast<double>(std::count_if(shownAt_.begin(), shownAt_.end(),
                                             [&](double t) { return t > clock_ - 1.0; }));
}

// What the worker did since the last frame.
void FlvPlayback::TakeShared() {
    std::lock_guard lock(mutex_);
    Shared& s = shared_;
    if (state_ == State::Opening) {
        if (s.failed) {
            state_ = State::Failed;
            Post("NetStream.Play.StreamNotFound", "error");
            return;
        }
        if (!s.opened) {
            return;
        }
        layout_ = s.layout;
        size_ = s.size;
        hasAudioClock_ = options_.audioClock && s.audioDecodes;
        state_ = State::Buffering;
        Post("NetStream.Play.Start");
    }
    while (!s.scripts.empty()) {
        scripts_.push_back(std::move(s.scripts.front()));
        s.scripts.pop_front();
    }
    if (seeking_ && s.seekedTo) {
        clock_ = *s.seekedTo;
        seeking_ = false;
        hasPicture_ = false;  // the picture at the new place replaces the old at once
        lastPictureTime_ = -1;
        nextScript_ = 0;
        while (nextScript_ < scripts_.size() &&
               (scripts_[nextScript_].time <= 0 || scripts_[nextScript_].time < clock_)) {
            ++nextScript_;
        }
        sought_ = true;
        Post("NetStream.Seek.Notify");
    }
    if (!hasAudioClock_) {
        // The frame clock leads: sound it has passed is not waited for.
        while (!s.audio.empty() &&
               s.audio.front().time +
                       static_cast<double>(s.audio.front().pcm.size() / 2) / kMixRate <
                   clock_) {
            s.audioFrames -= std::min(s.audioFrames, s.audio.front().pcm.size() / 2);
            s.audio.pop_front();
            ++s.nudges;
        }
    }
    endOfFile_ = s.endOfFile;
    drained_ = s.drained;
    readTime_ = s.readTime;
    queuedPictures_ = s.pictures.size();
    queuedAudio_ = s.audioFrames;
    if (!s.pictures.empty()) {
        lastPictureTime_ = std::max(lastPictureTime_, s.pictures.back().time);
    }
    if (hasAudioClock_ && !seeking_ && s.audioTime >= 0 && state_ == State::Playing && !paused_ &&
        audioDry_ < kDrySeconds) {
        clock_ = std::max(clock_, s.audioTime);
    }
}

void FlvPlayback::DeliverScripts() {
    while (nextScript_ < scripts_.size() && scripts_[nextScript_].time <= clock_ + kPictureSlack) {
        FlvScriptTag& tag = scripts_[nextScript_++];
        FlvEvent e;
        e.kind = FlvEvent::Kind::Script;
        e.handler = tag.name;
        e.value = tag.value;
        events_.push_back(std::move(e));
    }
}

// The newest picture that is due, or the first one at all.
void FlvPlayback::ShowPictures() {
    if (seeking_) {
        return;
    }
    bool took = false;
    {
        std::lock_guard lock(mutex_);
        auto& queue = shared_.pictures;
        while (!queue.empty() && (!hasPicture_ || queue.front().time <= clock_ + kPictureSlack)) {
            picture_ = std::move(queue.front());
            queue.pop_front();
            hasPicture_ = true;
            took = true;
            ++pictureSerial_;
            shownAt_.push_back(clock_);
        }
        queuedPictures_ = queue.size();
        if (took) {
            ++shared_.nudges;
        }
    }
    if (took) {
        wake_.notify_all();
    }
    while (!shownAt_.empty() && shownAt_.front() < clock_ - 1.0) {
        shownAt_.pop_front();
    }
}

void FlvPlayback::Advance(double seconds) {
    // The sound leads while it plays; when it has run dry for a while (the track ended early
    // or does not decode) the frame clock goes on.
    audioDry_ = queuedAudio_ > 0 ? 0 : audioDry_ + seconds;
    const bool soundLeads = hasAudioClock_ && audioDry_ < kDrySeconds && !drained_;
    if (!soundLeads) {
        clock_ += std::max(0.0, seconds);
    }
    ShowPictures();
    {
        std::lock_guard lock(mutex_);
        ++shared_.nudges;
    }
    wake_.notify_all();
    const bool nothingLeft = drained_ && queuedPictures_ == 0 && queuedAudio_ == 0;
    if (nothingLeft && clock_ + kPictureSlack >= lastPictureTime_) {
        state_ = State::Ended;
        Post("NetStream.Play.Stop");
        Post("NetStream.Buffer.Empty");
    } else if (!endOfFile_ && queuedPictures_ == 0 && queuedAudio_ == 0 && readTime_ <= clock_) {
        state_ = State::Buffering;
        Post("NetStream.Buffer.Empty");
    }
}

bool FlvPlayback::Active() const {
    switch (state_) {
        case State::Opening:
        case State::Buffering:
            return true;
        case State::Playing:
            return seeking_ || !paused_ || !hasPicture_;
        case State::Ended:
        case State::Failed:
            break;
    }
    return false;
}

void FlvPlayback::WaitForWorker() {
    std::unique_lock lock(mutex_);
    ++shared_.nudges;
    shared_.idle = false;
    wake_.notify_all();
    // Bounded: a worker stuck in a codec does not stop the movie.
    idle_.wait_for(lock, std::chrono::seconds(10),
                   [this] { return shared_.finished || (shared_.idle && !shared_.seekTo); });
}

void FlvPlayback::Tick(double seconds) {
    sought_ = false;
    if (options_.waitForWorker) {
        WaitForWorker();
    }
    TakeShared();
    if (state_ == State::Buffering && !seeking_ && (BufferLength() >= bufferTime_ || endOfFile_)) {
        state_ = State::Playing;
        Post("NetStream.Buffer.Full");
    }
    if (state_ == State::Playing) {
        DeliverScripts();
    }
    if (!flushed_ && endOfFile_ && state_ == State::Playing) {
        flushed_ = true;
        Post("NetStream.Buffer.Flush");
    }
    if (state_ == State::Playing) {
        if (!paused_ && !seeking_) {
            // The frame that hears of a seek shows the place sought to.
            Advance(std::exchange(sought_, false) ? 0 : seconds);
        } else if (!seeking_ && !hasPicture_) {
            ShowPictures();  // paused at the start or after a seek: its first picture
        }
    }
    playTime_.store(clock_);
    const bool running = state_ == State::Playing && !paused_ && !seeking_;
    if (running && layout_ && layout_->hasAudio) {
        mixer_.EnsureStarted();
    }
    auto lock = mixer_.Lock();
    audioRunning_ = running;
}

void FlvPlayback::MixLocked(float* out, std::size_t frames) {
    if (!audioRunning_) {
        return;
    }
    constexpr float kScale = 1.0f / 32768.0f;
    std::lock_guard lock(mutex_);
    Shared& s = shared_;
    std::size_t i = 0;
    while (i < frames && !s.audio.empty()) {
        AudioChunk& chunk = s.audio.front();
        const std::size_t length = chunk.pcm.size() / 2;
        // Sound before the place sought to is passed over.
        const double floorOffset = (s.audioFloor - chunk.time) * kMixRate;
        if (floorOffset > static_cast<double>(chunk.offset)) {
            chunk.offset = std::min(length, static_cast<std::size_t>(floorOffset));
        }
        const std::size_t n = std::min(frames - i, length - chunk.offset);
        const std::int16_t* src = chunk.pcm.data() + 2 * chunk.offset;
        for (std::size_t k = 0; k < 2 * n; ++k) {
            out[2 * i + k] += static_cast<float>(src[k]) * kScale * volume_;
        }
        i += n;
        chunk.offset += n;
        s.audioTime = chunk.time + static_cast<double>(chunk.offset) / kMixRate;
        if (chunk.offset >= length) {
            s.audioFrames -= std::min(s.audioFrames, length);
            s.audio.pop_front();
        }
    }
}

}  // namespace flash::media
