#include "flash/media/decoded_sound.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <thread>

namespace flash::media {

void DecodedSound::WaitUntilComplete() const {
    std::unique_lock lock(mutex_);
    done_.wait(lock, [this] { return Complete(); });
}

std::string DecodedSound::Error() const {
    std::lock_guard lock(mutex_);
    return error_;
}

std::size_t DecodedSound::RunFrom(std::size_t index) const {
    const std::size_t available = Available();
    if (index >= available) {
        return 0;
    }
    const std::size_t chunkEnd = (index / kChunkFrames + 1) * kChunkFrames;
    return std::min(available, chunkEnd) - index;
}

bool DecodedSound::Append(std::span<const std::int16_t> stereoFrames) {
    std::size_t frames = stereoFrames.size() / 2;
    const std::size_t room = kMaxSoundFrames - written_;
    const bool fits = frames <= room;
    frames = std::min(frames, room);
    const std::int16_t* from = stereoFrames.data();
    while (frames > 0) {
        const std::size_t chunk = written_ / kChunkFrames;
        const std::size_t at = written_ % kChunkFrames;
        if (!chunks_[chunk]) {
            chunks_[chunk] = std::make_unique<std::int16_t[]>(2 * kChunkFrames);
        }
        const std::size_t n = std::min(frames, kChunkFrames - at);
        std::memcpy(&chunks_[chunk][2 * at], from, n * 2 * sizeof(std::int16_t));
        from += 2 * n;
        frames -= n;
        written_ += n;
        available_.store(written_, std::memory_order_release);
    }
    return fits;
}

void DecodedSound::Finish(std::size_t length, std::string error) {
    {
        std::lock_guard lock(mutex_);
        error_ = std::move(error);
        // Frames past a trimmed length stay in memory for readers already beyond it.
        available_.store(std::min(length, written_), std::memory_order_release);
        complete_.store(true, std::memory_order_release);
    }
    done_.notify_all();
}

void DecodeEventSound(const swf::Sound& sound, DecodedSound& out) {
    std::string error;
    auto decoder = CreateAudioDecoder(AudioCoding::Of(sound), &error);
    if (!decoder) {
        out.Finish(0, error);
        return;
    }
    std::span<const std::uint8_t> data = sound.data;
    std::size_t skip = 0;
    const int rate = AudioCoding::Of(sound).SampleRate();
    if (sound.format == swf::SoundFormat::Mp3) {
        if (data.size() >= 2) {
            const auto seek = static_cast<std::int16_t>(data[0] | data[1] << 8);
            skip = seek > 0 ? ToMixFrames(static_cast<std::uint64_t>(seek), rate) : 0;
            data = data.subspan(2);
        } else {
            data = {};
        }
    }
    bool full = false;
    const FrameSink sink = [&](std::span<const std::int16_t> frames) {
        if (out.Cancelled()) {
            return false;
        }
        const std::size_t count = frames.size() / 2;
        const std::size_t drop = std::min(skip, count);
        skip -= drop;
        if (!out.Append(frames.subspan(2 * drop))) {
            full = true;
            return false;
        }
        return true;
    };
    const bool ok = decoder->Decode(data, sink);
    if (!full) {
        decoder->Flush(sink);
    }
    std::size_t length = out.Available();
    // MP3 pads its last frame; the sample count says where the sound ends. A count that is
    // far off is the writer's mistake and is not followed.
    if (sound.format == swf::SoundFormat::Mp3 && sound.sampleCount > 0) {
        const std::size_t counted = ToMixFrames(sound.sampleCount, rate);
        if (counted < length && length - counted <= ToMixFrames(2 * 1152, rate)) {
            length = counted;
        }
    }
    if (out.Cancelled()) {
        error = "cancelled";
    } else if (full) {
        error = "the sound is longer than 10 minutes; the rest is left out";
    } else if (!ok) {
        error = "part of the sound data is damaged";
    }
    out.Finish(length, error);
}

namespace {

// One thread for the process; it starts with the first job and ends with the process.
class DecodeQueue {
  public:
    ~DecodeQueue() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            for (Job& job : jobs_) {
                job.out->Finish(0, "cancelled");
            }
            jobs_.clear();
            if (current_) {
                current_->Cancel();
            }
        }
        wake_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    void Submit(std::shared_ptr<const swf::Sound> sound, std::shared_ptr<DecodedSound> out) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                out->Finish(0, "cancelled");
                return;
            }
            jobs_.push_back({std::move(sound), std::move(out)});
            if (!thread_.joinable()) {
                thread_ = std::thread([this] { Run(); });
            }
        }
        wake_.notify_one();
    }

  private:
    struct Job {
        std::shared_ptr<const swf::Sound> sound;
        std::shared_ptr<DecodedSound> out;
    };

    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_) {
                return;
            }
            Job job = std::move(jobs_.front());
            jobs_.pop_front();
            current_ = job.out;
            lock.unlock();
            if (job.out->Cancelled()) {
                job.out->Finish(0, "cancelled");
            } else {
                DecodeEventSound(*job.sound, *job.out);
            }
            lock.lock();
            current_.reset();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    std::shared_ptr<DecodedSound> current_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace

void DecodeInBackground(std::shared_ptr<const swf::Sound> sound,
                        std::shared_ptr<DecodedSound> out) {
    static DecodeQueue queue;
    queue.Submit(std::move(sound), std::move(out));
}

}  // namespace flash::media
