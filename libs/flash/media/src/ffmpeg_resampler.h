#pragma once

// Decoded FFmpeg audio as mixer frames: libswresample converts any rate, layout and sample
// format to 44.1 kHz 16-bit stereo.

extern "C" {
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

#include <cstdint>
#include <vector>

#include "flash/media/audio_decoder.h"

namespace flash::media::detail {

class Resampler {
  public:
    Resampler() = default;
    ~Resampler() { swr_free(&swr_); }
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    // Converts `count` samples of `frame` (null: what it still holds) and hands them to
    // `sink`; `stopped` is set when the sink says stop. False when the conversion fails.
    bool Convert(const AVFrame* frame, int count, const FrameSink& sink, bool& stopped);
    // Forgets the input shape and what it holds.
    void Reset() { swr_free(&swr_); }
    bool Active() const { return swr_ != nullptr; }

  private:
    bool Configure(const AVFrame& frame);

    SwrContext* swr_ = nullptr;
    int swrInRate_ = 0;
    int swrInChannels_ = 0;
    int swrFormat_ = -1;
    int swrChannels_ = 2;
    std::vector<std::int16_t> resampled_;
    std::vector<std::int16_t> stereo_;
};

}  // namespace flash::media::detail
