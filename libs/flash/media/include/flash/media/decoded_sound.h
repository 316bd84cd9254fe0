#pragma once

// An event sound decoded into mixer frames. A decoding thread fills it while it already plays:
// the frames below Available() never change, so the mixer reads them without a lock.

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "flash/media/audio_decoder.h"
#include "flash/swf/sound.h"

namespace flash::media {

class DecodedSound {
  public:
    DecodedSound() = default;
    DecodedSound(const DecodedSound&) = delete;
    DecodedSound& operator=(const DecodedSound&) = delete;

    // Frames decoded so far; the length once Complete().
    std::size_t Available() const { return available_.load(std::memory_order_acquire); }
    bool Complete() const { return complete_.load(std::memory_order_acquire); }
    void WaitUntilComplete() const;
    // Why decoding stopped short, once complete (empty when it did not).
    std::string Error() const;

    // The frame at `index` (< Available()): left and right.
    const std::int16_t* FrameAt(std::size_t index) const {
        return &chunks_[index / kChunkFrames][2 * (index % kChunkFrames)];
    }
    // How many frames from `index` on lie one after another in memory.
    std::size_t RunFrom(std::size_t index) const;

    // Asks the decoding to stop (nobody needs the rest).
    void Cancel() { cancelled_.store(true); }
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

    // The decoding side. Append takes what fits under kMaxSoundFrames and says whether there
    // was room for all of it. Finish may trim the length (to drop a codec's padding).
    bool Append(std::span<const std::int16_t> stereoFrames);
    void Finish(std::size_t length, std::string error);

  private:
    static constexpr std::size_t kChunkFrames = std::size_t{1} << 16;
    static constexpr std::size_t kMaxChunks = (kMaxSoundFrames + kChunkFrames - 1) / kChunkFrames;

    std::array<std::unique_ptr<std::int16_t[]>, kMaxChunks> chunks_;
    std::size_t written_ = 0;
    std::atomic<std::size_t> available_{0};
    std::atomic<bool> complete_{false};
    std::atomic<bool> cancelled_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable done_;
    std::string error_;
};

// Decodes a DefineSound into `out` and finishes it: MP3 skips the seek samples its data
// starts with and drops the padding beyond its sample count. Stops early when cancelled.
void DecodeEventSound(const swf::Sound& sound, DecodedSound& out);

// Decodes on a thread of the process, in the order asked.
void DecodeInBackground(std::shared_ptr<const swf::Sound> sound, std::shared_ptr<DecodedSound> out);

}  // namespace flash::media
