#include "flash/media/mixer.h"

#include <algorithm>
#include <cstdlib>

#include "flash/media/pcm.h"
#include "platform/wave_out.h"

namespace flash::media {

Mixer::Mixer(OutputFactory open, bool applyOutputVolume)
    : open_(std::move(open)), applyOutputVolume_(applyOutputVolume) {}

Mixer::~Mixer() {
    std::lock_guard lock(startMutex_);
    if (output_) {
        output_->Stop();
    }
}

Mixer& Mixer::Process() {
    // Never destroyed: player instances may outlive any static. The output stops at exit.
    static Mixer* const mixer = [] {
        auto* m = new Mixer([]() -> std::unique_ptr<AudioOutput> {
            if (platform::WaveOutDevicePresent()) {
                auto device = OpenSdlOutput();
                platform::ReportWaveOutDevice(device != nullptr);
                if (device) {
                    return device;
                }
            }
            return MakeNullOutput();
        });
        std::atexit([] {
            std::lock_guard lock(Process().startMutex_);
            if (Process().output_) {
                Process().output_->Stop();
            }
        });
        return m;
    }();
    return *mixer;
}

void Mixer::Add(MixSource* source) {
    std::lock_guard lock(mutex_);
    sources_.push_back(source);
}

void Mixer::Remove(MixSource* source) {
    std::lock_guard lock(mutex_);
    sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

void Mixer::EnsureStarted() {
    if (started_.load()) {
        return;
    }
    std::lock_guard lock(startMutex_);
    if (started_.load()) {
        return;
    }
    output_ = open_ ? open_() : nullptr;
    if (!output_) {
        output_ = MakeNullOutput();
    }
    hasDevice_ = output_->IsDevice();
    started_ = true;
    output_->Start([this](float* out, std::size_t frames) { Render(out, frames); });
}

void Mixer::Render(float* out, std::size_t frames) {
    std::fill(out, out + frames * kMixChannels, 0.0f);
    {
        std::lock_guard lock(mutex_);
        for (MixSource* source : sources_) {
            source->MixLocked(out, frames);
        }
    }
    float left = 1.0f;
    float right = 1.0f;
    if (applyOutputVolume_) {
        const platform::DWORD volume = platform::WaveOutGain();
        left = static_cast<float>(volume & 0xFFFF) / 65535.0f;
        right = static_cast<float>(volume >> 16) / 65535.0f;
    }
    for (std::size_t i = 0; i < frames; ++i) {
        out[2 * i] = std::clamp(out[2 * i] * left, -1.0f, 1.0f);
        out[2 * i + 1] = std::clamp(out[2 * i + 1] * right, -1.0f, 1.0f);
    }
    clock_.fetch_add(frames, std::memory_order_release);
}

}  // namespace flash::media
