#include "flash/media/audio_output.h"

#include <atomic>
#include <chrono>

#include "flash/media/pcm.h"

namespace flash::media {

namespace {

class NullOutput final : public AudioOutput {
  public:
    ~NullOutput() override { Stop(); }

    bool Start(Render render) override {
        Stop();
        stopping_ = false;
        thread_ = std::thread([this, render = std::move(render)] { Run(render); });
        return true;
    }

    void Stop() override {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable()) {
            thread_.join();
        }
    }

    bool IsDevice() const override { return false; }

  private:
    // Renders what the elapsed time asks for in device-sized periods.
    void Run(const Render& render) {
        constexpr std::size_t kPeriod = 1024;
        std::vector<float> scratch(kPeriod * kMixChannels);
        const auto start = std::chrono::steady_clock::now();
        std::uint64_t rendered = 0;
        std::unique_lock lock(mutex_);
        while (!stopping_) {
            const auto elapsed = std::chrono::steady_clock::now() - start;
            const auto due = static_cast<std::uint64_t>(
                std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count() * kMixRate /
                1000000);
            lock.unlock();
            while (rendered + kPeriod <= due) {
                render(scratch.data(), kPeriod);
                rendered += kPeriod;
            }
            lock.lock();
            wake_.wait_for(lock, std::chrono::milliseconds(10), [this] { return stopping_; });
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<AudioOutput> MakeNullOutput() {
    return std::make_unique<NullOutput>();
}

bool ManualOutput::Start(Render render) {
    std::lock_guard lock(mutex_);
    render_ = std::move(render);
    return true;
}

void ManualOutput::Stop() {
    std::lock_guard lock(mutex_);
    render_ = nullptr;
}

void ManualOutput::Pump(std::size_t frames) {
    std::lock_guard lock(mutex_);
    last_.assign(frames * kMixChannels, 0.0f);
    if (render_) {
        render_(last_.data(), frames);
    }
}

}  // namespace flash::media
