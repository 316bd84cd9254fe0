#pragma once

// The process's mixer: it sums what every player instance plays, scales it by the process's
// output volume (the wave-out volume of the platform layer) and feeds one output. The output
// opens at the first sound; without a device the null output keeps the same clock.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "flash/media/audio_output.h"

namespace flash::media {

// What the mixer pulls from: a player instance. MixLocked runs on the output's thread with the
// mixer's lock held; everything it reads must be changed only under Mixer::Lock().
class MixSource {
  public:
    virtual ~MixSource() = default;
    // Adds `frames` interleaved stereo frames to `out`.
    virtual void MixLocked(float* out, std::size_t frames) = 0;
};

class Mixer {
  public:
    using OutputFactory = std::function<std::unique_ptr<AudioOutput>()>;

    // `open` is called at the first sound. With `applyOutputVolume`, the platform's wave-out
    // volume scales the result.
    explicit Mixer(OutputFactory open, bool applyOutputVolume = true);
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    // The process's mixer: the SDL2 device, or the null output when there is none.
    static Mixer& Process();

    void Add(MixSource* source);
    void Remove(MixSource* source);
    // Opens the output if it is not open yet.
    void EnsureStarted();
    bool Started() const { return started_.load(); }
    // True when the output reaches a device (false before it opens).
    bool HasDevice() const { return hasDevice_.load(); }
    // Frames rendered since the output started.
    std::uint64_t Clock() const { return clock_.load(std::memory_order_acquire); }

    // Guards what the sources share with MixLocked.
    std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }

    // The output's side: mixes the next `frames` frames into `out`.
    void Render(float* out, std::size_t frames);

  private:
    OutputFactory open_;
    bool applyOutputVolume_;
    std::mutex startMutex_;
    std::unique_ptr<AudioOutput> output_;
    std::atomic<bool> started_{false};
    std::atomic<bool> hasDevice_{false};
    std::atomic<std::uint64_t> clock_{0};
    std::mutex mutex_;
    std::vector<MixSource*> sources_;
};

}  // namespace flash::media
