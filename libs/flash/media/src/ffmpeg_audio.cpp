// The FFmpeg backend of AudioDecoder: libavcodec decodes, libswresample converts to the
// mixer's format.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codec_units.h"
#include "ffmpeg_common.h"
#include "ffmpeg_resampler.h"
#include "flash/media/audio_decoder.h"
#include "mp3_frames.h"

namespace flash::media {

namespace {

using detail::CodecContextPtr;
using detail::FramePtr;
using detail::PacketPtr;

// How a format's data is cut into packets.
enum class Packing {
    Mp3,    // frame by frame, by their headers
    Adpcm,  // block by block, repacked
    Speex,  // frame by frame, repacked
    Fixed,  // fixed-size units: PCM, G.711, Nellymoser
};

struct CodecChoice {
    AVCodecID id = AV_CODEC_ID_NONE;
    Packing packing = Packing::Fixed;
    std::size_t unitBytes = 1;  // Fixed: the data goes in multiples of this
};

constexpr std::size_t kFixedSamplesPerPacket = 4096;

// 16-bit samples in the authoring machine's byte order: little-endian unless the data reads
// far smoother as big-endian (real sound changes little from sample to sample; read in the
// wrong order, its low bytes make it noise).
bool LooksBigEndian(std::span<const std::uint8_t> data, int channels) {
    const std::size_t stride = 2 * static_cast<std::size_t>(channels);
    const std::size_t frames = std::min<std::size_t>(data.size() / stride, 8192);
    if (frames < 64) {
        return false;
    }
    double le = 0;
    double be = 0;
    for (std::size_t i = 1; i < frames; ++i) {
        for (std::size_t c = 0; c < static_cast<std::size_t>(channels); ++c) {
            const std::uint8_t* a = &data[(i - 1) * stride + 2 * c];
            const std::uint8_t* b = &data[i * stride + 2 * c];
            le += std::abs(static_cast<std::int16_t>(b[0] | b[1] << 8) -
                           static_cast<std::int16_t>(a[0] | a[1] << 8));
            be += std::abs(static_cast<std::int16_t>(b[1] | b[0] << 8) -
                           static_cast<std::int16_t>(a[1] | a[0] << 8));
        }
    }
    return be * 4 < le;
}

class FfmpegAudioDecoder final : public AudioDecoder {
  public:
    explicit FfmpegAudioDecoder(const AudioCoding& coding) : coding_(coding) {}

    // Chooses the codec; the native PCM byte order waits for the first data.
    bool Init(std::string* error) {
        const int channels = coding_.Channels();
        const bool wide = coding_.is16Bit;
        switch (coding_.format) {
            case swf::SoundFormat::PcmNative:
                choice_ = {wide ? AV_CODEC_ID_NONE : AV_CODEC_ID_PCM_U8, Packing::Fixed,
                           static_cast<std::size_t>(channels * (wide ? 2 : 1))};
                break;
            case swf::SoundFormat::PcmLittleEndian:
                choice_ = {wide ? AV_CODEC_ID_PCM_S16LE : AV_CODEC_ID_PCM_U8, Packing::Fixed,
                           static_cast<std::size_t>(channels * (wide ? 2 : 1))};
                break;
            case swf::SoundFormat::Adpcm:
                choice_ = {AV_CODEC_ID_ADPCM_SWF, Packing::Adpcm, 1};
                break;
            case swf::SoundFormat::Mp3:
                choice_ = {AV_CODEC_ID_MP3, Packing::Mp3, 1};
                break;
            case swf::SoundFormat::Nellymoser16k:
            case swf::SoundFormat::Nellymoser8k:
            case swf::SoundFormat::Nellymoser:
                choice_ = {AV_CODEC_ID_NELLYMOSER, Packing::Fixed, 64};
                break;
            case swf::SoundFormat::Speex:
                choice_ = {AV_CODEC_ID_SPEEX, Packing::Speex, 1};
                break;
            default:
                if (coding_.format == kSoundFormatAlaw || coding_.format == kSoundFormatMulaw) {
                    choice_ = {coding_.format == kSoundFormatAlaw ? AV_CODEC_ID_PCM_ALAW
                                                                  : AV_CODEC_ID_PCM_MULAW,
                               Packing::Fixed, static_cast<std::size_t>(channels)};
                    break;
                }
                if (error != nullptr) {
                    *error =
                        "unknown sound format " + std::to_string(static_cast<int>(coding_.format));
                }
                return false;
        }
        return choice_.id == AV_CODEC_ID_NONE || Open(choice_.id, error);
    }

    bool Decode(std::span<const std::uint8_t> data, const FrameSink& sink) override {
        stopped_ = false;
        if (!ctx_) {
            // Native 16-bit PCM: the first data tells the byte order.
            const bool big = LooksBigEndian(data, coding_.Channels());
            if (!Open(big ? AV_CODEC_ID_PCM_S16BE : AV_CODEC_ID_PCM_S16LE, nullptr)) {
                return false;
            }
        }
        bool ok = true;
        switch (choice_.packing) {
            case Packing::Mp3:
                ok = DecodeMp3(data, sink);
                break;
            case Packing::Adpcm:
                ok = detail::SplitAdpcm(data, coding_.Channels(),
                                        [&](std::span<const std::uint8_t> p, int samples) {
                                            ok = SendPacket(p, samples, sink) && ok;
                                            return !stopped_;
                                        }) &&
                     ok;
                break;
            case Packing::Speex:
                ok = detail::SplitSpeex(data,
                                        [&](std::span<const std::uint8_t> p, int samples) {
                                            ok = SendPacket(p, samples, sink) && ok;
                                            return !stopped_;
                                        }) &&
                     ok;
                break;
            case Packing::Fixed: {
                const std::size_t unit = choice_.unitBytes;
                const std::size_t usable = data.size() / unit * unit;
                const std::size_t step = choice_.id == AV_CODEC_ID_NELLYMOSER
                                             ? 16 * unit
                                             : kFixedSamplesPerPacket * unit;
                for (std::size_t at = 0; at < usable && !stopped_; at += step) {
                    ok = SendPacket(data.subspan(at, std::min(step, usable - at)), 0, sink) && ok;
                }
                break;
            }
        }
        return ok;
    }

    void Flush(const FrameSink& sink) override {
        stopped_ = false;
        pending_.clear();
        if (ctx_) {
            if (avcodec_send_packet(ctx_.get(), nullptr) == 0) {
                Receive(0, sink);
            }
            avcodec_flush_buffers(ctx_.get());
        }
        if (resampler_.Active() && !stopped_) {
            resampler_.Convert(nullptr, 0, sink, stopped_);
        }
        resampler_.Reset();
    }

    void Reset() override {
        pending_.clear();
        if (ctx_) {
            avcodec_flush_buffers(ctx_.get());
        }
        resampler_.Reset();
    }

  private:
    bool Open(AVCodecID id, std::string* error) {
        detail::QuietFfmpegLog();
        const AVCodec* codec = avcodec_find_decoder(id);
        if (codec == nullptr) {
            if (error != nullptr) {
                *error = std::string("no decoder for ") + avcodec_get_name(id);
            }
            return false;
        }
        ctx_.reset(avcodec_alloc_context3(codec));
        pkt_.reset(av_packet_alloc());
        frame_.reset(av_frame_alloc());
        if (!ctx_ || !pkt_ || !frame_) {
            return false;
        }
        ctx_->sample_rate = coding_.SampleRate();
        av_channel_layout_default(&ctx_->ch_layout, coding_.Channels());
        if (avcodec_open2(ctx_.get(), codec, nullptr) < 0) {
            if (error != nullptr) {
                *error = std::string("cannot open the decoder ") + codec->name;
            }
            ctx_.reset();
            return false;
        }
        return true;
    }

    // MP3 frames one by one; a frame cut off at the end of the unit waits for the next.
    bool DecodeMp3(std::span<const std::uint8_t> data, const FrameSink& sink) {
        std::span<const std::uint8_t> in = data;
        if (!pending_.empty()) {
            pending_.insert(pending_.end(), data.begin(), data.end());
            in = pending_;
        }
        bool ok = true;
        std::size_t at = detail::FindMp3Frame(in, 0);
        ok = at == 0 || in.empty();
        std::vector<std::uint8_t> rest;
        while (at < in.size() && !stopped_) {
            const detail::Mp3Header h = detail::ParseMp3Header(in.subspan(at));
            if (at + h.bytes > in.size()) {
                rest.assign(in.begin() + static_cast<std::ptrdiff_t>(at), in.end());
                break;
            }
            ok = SendPacket(in.subspan(at, h.bytes), 0, sink) && ok;
            const std::size_t next = detail::FindMp3Frame(in, at + h.bytes);
            ok = ok && (next == at + h.bytes || next == in.size());
            at = next;
        }
        pending_ = std::move(rest);
        return ok;
    }

    // Sends one packet and hands on its frames; `samples` > 0 caps what it may give.
    bool SendPacket(std::span<const std::uint8_t> bytes, int samples, const FrameSink& sink) {
        if (bytes.empty() || stopped_) {
            return true;
        }
        if (av_new_packet(pkt_.get(), static_cast<int>(bytes.size())) < 0) {
            return false;
        }
        std::memcpy(pkt_->data, bytes.data(), bytes.size());
        int r = avcodec_send_packet(ctx_.get(), pkt_.get());
        bool ok = true;
        if (r == AVERROR(EAGAIN)) {
            ok = Receive(0, sink);
            r = avcodec_send_packet(ctx_.get(), pkt_.get());
        }
        av_packet_unref(pkt_.get());
        if (r < 0) {
            return false;
        }
        return Receive(samples, sink) && ok;
    }

    bool Receive(int samples, const FrameSink& sink) {
        bool ok = true;
        for (;;) {
            const int r = avcodec_receive_frame(ctx_.get(), frame_.get());
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) {
                break;
            }
            if (r < 0) {
                ok = false;
                break;
            }
            int count = frame_->nb_samples;
            if (samples > 0) {
                count = std::min(count, samples);
                samples -= count;
            }
            if (!stopped_ && count > 0) {
                ok = resampler_.Convert(frame_.get(), count, sink, stopped_) && ok;
            }
            av_frame_unref(frame_.get());
        }
        return ok;
    }

    AudioCoding coding_;
    CodecChoice choice_;
    CodecContextPtr ctx_;
    PacketPtr pkt_;
    FramePtr frame_;
    detail::Resampler resampler_;
    std::vector<std::uint8_t> pending_;  // MP3: a frame cut off at the end of the last unit
    bool stopped_ = false;
};

}  // namespace

std::unique_ptr<AudioDecoder> CreateAudioDecoder(const AudioCoding& coding, std::string* error) {
    auto decoder = std::make_unique<FfmpegAudioDecoder>(coding);
    if (!decoder->Init(error)) {
        return nullptr;
    }
    return decoder;
}

}  // namespace flash::media
