#include "ffmpeg_resampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace flash::media::detail {

bool Resampler::Convert(const AVFrame* frame, int count, const FrameSink& sink, bool& stopped) {
    if (frame != nullptr && !Configure(*frame)) {
        return false;
    }
    const int outMax = swr_get_out_samples(swr_, count);
    if (outMax <= 0) {
        return true;
    }
    resampled_.resize(static_cast<std::size_t>(outMax) * static_cast<std::size_t>(swrChannels_));
    std::uint8_t* out[1] = {reinterpret_cast<std::uint8_t*>(resampled_.data())};
    const int got = swr_convert(
        swr_, out, outMax,
        frame != nullptr ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr, count);
    if (got < 0) {
        return false;
    }
    if (got == 0) {
        return true;
    }
    std::span<const std::int16_t> stereo(resampled_.data(), static_cast<std::size_t>(got) * 2);
    if (swrChannels_ == 1) {
        stereo_.resize(static_cast<std::size_t>(got) * 2);
        for (int i = 0; i < got; ++i) {
            stereo_[2 * static_cast<std::size_t>(i)] = resampled_[static_cast<std::size_t>(i)];
            stereo_[2 * static_cast<std::size_t>(i) + 1] = resampled_[static_cast<std::size_t>(i)];
        }
        stereo = stereo_;
    }
    if (!sink(stereo)) {
        stopped = true;
    }
    return true;
}

// One resampler per input shape; a change flushes the old one first.
bool Resampler::Configure(const AVFrame& frame) {
    const int channels = frame.ch_layout.nb_channels;
    if (channels <= 0 || frame.sample_rate <= 0) {
        return false;
    }
    if (swr_ != nullptr && frame.sample_rate == swrInRate_ && channels == swrInChannels_ &&
        frame.format == swrFormat_) {
        return true;
    }
    swr_free(&swr_);
    // 5.5 kHz is 44100 / 8 exactly; the ratio is all the resampler needs.
    const int inRate = frame.sample_rate == 5512 ? 11025 : frame.sample_rate;
    const int outRate = frame.sample_rate == 5512 ? 8 * 11025 : kMixRate;
    AVChannelLayout inLayout;
    AVChannelLayout outLayout;
    av_channel_layout_default(&inLayout, channels);
    const int outChannels = channels == 1 ? 1 : 2;
    av_channel_layout_default(&outLayout, outChannels);
    const int r =
        swr_alloc_set_opts2(&swr_, &outLayout, AV_SAMPLE_FMT_S16, outRate, &inLayout,
                            static_cast<AVSampleFormat>(frame.format), inRate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (r < 0 || swr_init(swr_) < 0) {
        swr_free(&swr_);
        return false;
    }
    swrInRate_ = frame.sample_rate;
    swrInChannels_ = channels;
    swrFormat_ = frame.format;
    swrChannels_ = outChannels;
    return true;
}

}  // namespace flash::media::detail
