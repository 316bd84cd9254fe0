// The SDL2 backend of AudioOutput.

#include <SDL2/SDL.h>

#include "flash/media/audio_output.h"
#include "flash/media/pcm.h"

namespace flash::media {

namespace {

class SdlOutput final : public AudioOutput {
  public:
    ~SdlOutput() override {
        Stop();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool Open(std::string* error) {
        SDL_AudioSpec want{};
        want.freq = kMixRate;
        want.format = AUDIO_F32SYS;
        want.channels = kMixChannels;
        want.samples = 1024;
        want.callback = &SdlOutput::Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (device_ == 0 && error != nullptr) {
            *error = SDL_GetError();
        }
        return device_ != 0;
    }

    bool Start(Render render) override {
        SDL_LockAudioDevice(device_);
        render_ = std::move(render);
        SDL_UnlockAudioDevice(device_);
        SDL_PauseAudioDevice(device_, 0);
        return true;
    }

    void Stop() override {
        if (device_ != 0) {
            // Closing waits for a callback that is running.
            SDL_CloseAudioDevice(device_);
            device_ = 0;
        }
    }

    bool IsDevice() const override { return true; }

  private:
    static void Callback(void* self, Uint8* stream, int bytes) {
        auto* output = static_cast<SdlOutput*>(self);
        auto* out = reinterpret_cast<float*>(stream);
        const std::size_t frames = static_cast<std::size_t>(bytes) / (sizeof(float) * kMixChannels);
        if (output->render_) {
            output->render_(out, frames);
        } else {
            SDL_memset(stream, 0, static_cast<std::size_t>(bytes));
        }
    }

    SDL_AudioDeviceID device_ = 0;
    Render render_;
};

}  // namespace

std::unique_ptr<AudioOutput> OpenSdlOutput(std::string* error) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (error != nullptr) {
            *error = SDL_GetError();
        }
        return nullptr;
    }
    auto output = std::make_unique<SdlOutput>();
    if (!output->Open(error)) {
        return nullptr;  // the destructor gives back the subsystem
    }
    return output;
}

}  // namespace flash::media
