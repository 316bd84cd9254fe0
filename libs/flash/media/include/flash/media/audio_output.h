#pragma once

// Where mixed sound goes: a small interface with three backends. The SDL2 device plays it; the
// null output throws it away at the pace a device would, so the audio clock runs the same
// without sound hardware; the manual output renders only when asked (tests, headless runs).

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace flash::media {

class AudioOutput {
  public:
    // Fills `frames` interleaved stereo frames of floats. Runs on the output's own thread.
    using Render = std::function<void(float* out, std::size_t frames)>;

    virtual ~AudioOutput() = default;
    virtual bool Start(Render render) = 0;
    // Once it returns, no Render call runs or follows.
    virtual void Stop() = 0;
    // True when the sound reaches a device.
    virtual bool IsDevice() const = 0;
};

// The default SDL2 device at 44.1 kHz stereo (SDL converts for a device that differs), or null
// with the reason when there is none.
std::unique_ptr<AudioOutput> OpenSdlOutput(std::string* error = nullptr);

// Renders in real time into nothing.
std::unique_ptr<AudioOutput> MakeNullOutput();

class ManualOutput final : public AudioOutput {
  public:
    bool Start(Render render) override;
    void Stop() override;
    bool IsDevice() const override { return false; }

    // Renders `frames` frames now, on the caller's thread; they are kept for Last().
    void Pump(std::size_t frames);
    const std::vector<float>& Last() const { return last_; }

  private:
    std::mutex mutex_;
    Render render_;
    std::vector<float> last_;
};

}  // namespace flash::media
