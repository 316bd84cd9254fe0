// The FFmpeg backend of StreamDemuxer: libavformat reads FLV through an I/O context over the
// byte source, libavcodec decodes, the picture converter and the resampler make what the
// renderer and the mixer take.

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cstring>

#include "ffmpeg_common.h"
#include "ffmpeg_picture.h"
#include "ffmpeg_resampler.h"
#include "flash/media/flv_tags.h"
#include "flash/media/stream_demuxer.h"

namespace flash::media {

namespace {

using detail::CodecContextPtr;
using detail::FramePtr;
using detail::PacketPtr;

constexpr int kIoBufferBytes = 32 * 1024;
// How much the stream probe may read before the streams are known.
constexpr std::int64_t kProbeBytes = 2 * 1024 * 1024;

bool Fail(std::string* error, std::string why) {
    if (error != nullptr) {
        *error = std::move(why);
    }
    return false;
}

int FlvVideoId(AVCodecID id) {
    switch (id) {
        case AV_CODEC_ID_FLV1:
            return 2;
        case AV_CODEC_ID_FLASHSV:
            return 3;
        case AV_CODEC_ID_VP6F:
            return 4;
        case AV_CODEC_ID_VP6A:
            return 5;
        case AV_CODEC_ID_FLASHSV2:
            return 6;
        case AV_CODEC_ID_H264:
            return 7;
        default:
            return 0;
    }
}

int FlvAudioId(AVCodecID id, int sampleRate) {
    switch (id) {
        case AV_CODEC_ID_PCM_U8:
        case AV_CODEC_ID_PCM_S16LE:
            return 3;
        case AV_CODEC_ID_PCM_S16BE:
            return 0;
        case AV_CODEC_ID_ADPCM_SWF:
            return 1;
        case AV_CODEC_ID_MP3:
            return sampleRate == 8000 ? 14 : 2;
        case AV_CODEC_ID_NELLYMOSER:
            return sampleRate == 16000 ? 4 : sampleRate == 8000 ? 5 : 6;
        case AV_CODEC_ID_PCM_ALAW:
            return 7;
        case AV_CODEC_ID_PCM_MULAW:
            return 8;
        case AV_CODEC_ID_AAC:
            return 10;
        case AV_CODEC_ID_SPEEX:
            return 11;
        default:
            return -1;
    }
}

// A decoder context for a stream's parameters.
CodecContextPtr OpenCodec(const AVStream& stream, std::string* error) {
    const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (codec == nullptr) {
        Fail(error, std::string("no decoder for ") + avcodec_get_name(stream.codecpar->codec_id));
        return nullptr;
    }
    CodecContextPtr ctx(avcodec_alloc_context3(codec));
    if (!ctx || avcodec_parameters_to_context(ctx.get(), stream.codecpar) < 0) {
        Fail(error, "out of memory");
        return nullptr;
    }
    ctx->pkt_timebase = stream.time_base;
    ctx->thread_count = 1;
    // The floating-point IDCT gives H.263 pictures as Flash shows them, as for embedded video.
    ctx->idct_algo = FF_IDCT_FAAN;
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0) {
        Fail(error, std::string("cannot open the decoder ") + codec->name);
        return nullptr;
    }
    return ctx;
}

// A stream packet as libavformat's, with its stamps.
bool FillPacket(AVPacket& pkt, const StreamPacket& in) {
    if (av_new_packet(&pkt, static_cast<int>(in.data.size())) < 0) {
        return false;
    }
    if (!in.data.empty()) {
        std::memcpy(pkt.data, in.data.data(), in.data.size());
    }
    pkt.pts = in.pts;
    pkt.dts = in.dts;
    if (in.keyframe) {
        pkt.flags |= AV_PKT_FLAG_KEY;
    }
    return true;
}

class FfmpegStreamVideoDecoder final : public StreamVideoDecoder {
  public:
    FfmpegStreamVideoDecoder(CodecContextPtr ctx, AVRational timeBase)
        : ctx_(std::move(ctx)),
          timeBase_(timeBase),
          pkt_(av_packet_alloc()),
          frame_(av_frame_alloc()) {}

    bool Send(const StreamPacket* packet) override {
        if (!pkt_ || !frame_) {
            return false;
        }
        if (packet == nullptr) {
            return avcodec_send_packet(ctx_.get(), nullptr) >= 0;
        }
        if (packet->data.empty() || !FillPacket(*pkt_, *packet)) {
            return false;
        }
        int r = avcodec_send_packet(ctx_.get(), pkt_.get());
        av_packet_unref(pkt_.get());
        return r >= 0;
    }

    bool Receive(StreamPicture& out) override {
        for (;;) {
            if (avcodec_receive_frame(ctx_.get(), frame_.get()) < 0) {
                return false;
            }
            const std::int64_t stamp = frame_->best_effort_timestamp;
            out.time = stamp == AV_NOPTS_VALUE ? 0 : static_cast<double>(stamp) * av_q2d(timeBase_);
            const bool ok = converter_.Convert(*frame_, 0, 0, out.image, nullptr);
            av_frame_unref(frame_.get());
            if (ok) {
                return true;
            }
        }
    }

    void Reset() override { avcodec_flush_buffers(ctx_.get()); }

  private:
    CodecContextPtr ctx_;
    AVRational timeBase_;
    PacketPtr pkt_;
    FramePtr frame_;
    detail::PictureConverter converter_;
};

class FfmpegStreamAudioDecoder final : public StreamAudioDecoder {
  public:
    explicit FfmpegStreamAudioDecoder(CodecContextPtr ctx)
        : ctx_(std::move(ctx)), pkt_(av_packet_alloc()), frame_(av_frame_alloc()) {}

    bool Decode(const StreamPacket& packet, PcmBuffer& out) override {
        if (!pkt_ || !frame_ || packet.data.empty() || !FillPacket(*pkt_, packet)) {
            return false;
        }
        const int r = avcodec_send_packet(ctx_.get(), pkt_.get());
        av_packet_unref(pkt_.get());
        if (r < 0) {
            return false;
        }
        bool ok = true;
        bool stopped = false;
        const FrameSink sink = [&out](std::span<const std::int16_t> frames) {
            out.samples.insert(out.samples.end(), frames.begin(), frames.end());
            return true;
        };
        while (avcodec_receive_frame(ctx_.get(), frame_.get()) >= 0) {
            ok = resampler_.Convert(frame_.get(), frame_->nb_samples, sink, stopped) && ok;
            av_frame_unref(frame_.get());
        }
        return ok;
    }

    void Reset() override {
        avcodec_flush_buffers(ctx_.get());
        resampler_.Reset();
    }

  private:
    CodecContextPtr ctx_;
    PacketPtr pkt_;
    FramePtr frame_;
    detail::Resampler resampler_;
};

class FfmpegFlvDemuxer final : public StreamDemuxer {
  public:
    explicit FfmpegFlvDemuxer(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {}

    ~FfmpegFlvDemuxer() override {
        avformat_close_input(&format_);
        if (io_ != nullptr) {
            av_freep(&io_->buffer);
            avio_context_free(&io_);
        }
    }

    bool Open(std::string* error) {
        detail::QuietFfmpegLog();
        // libavformat reads any header as FLV's when told the format.
        if (!ReadFlvHeader(*source_) || !source_->Seek(0)) {
            return Fail(error, "not an FLV file");
        }
        auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
        io_ = buffer == nullptr ? nullptr
                                : avio_alloc_context(buffer, kIoBufferBytes, 0, this, &ReadPacket,
                                                     nullptr, &SeekTo);
        format_ = avformat_alloc_context();
        if (io_ == nullptr || format_ == nullptr) {
            if (io_ == nullptr) {
                av_free(buffer);
            }
            return Fail(error, "out of memory");
        }
        format_->pb = io_;
        format_->flags |= AVFMT_FLAG_CUSTOM_IO;
        format_->probesize = kProbeBytes;
        const AVInputFormat* flv = av_find_input_format("flv");
        if (flv == nullptr) {
            return Fail(error, "this build of libavformat reads no FLV");
        }
        if (avformat_open_input(&format_, nullptr, flv, nullptr) < 0) {
            return Fail(error, "not an FLV file");  // format_ is freed on failure
        }
        if (avformat_find_stream_info(format_, nullptr) < 0) {
            return Fail(error, "the FLV file's streams cannot be read");
        }
        FindStreams();
        return true;
    }

    const StreamLayout& Layout() const override { return layout_; }

    ReadResult Read(StreamPacket& out) override {
        PacketPtr pkt(av_packet_alloc());
        if (!pkt) {
            return ReadResult::Error;
        }
        for (;;) {
            const int r = av_read_frame(format_, pkt.get());
            if (r == AVERROR_EOF) {
                return ReadResult::End;
            }
            if (r < 0) {
                return avio_feof(io_) ? ReadResult::End : ReadResult::Error;
            }
            const int index = pkt->stream_index;
            if (index != video_ && index != audio_) {
                av_packet_unref(pkt.get());
                continue;
            }
            const AVStream& st = *format_->streams[index];
            out.kind = index == video_ ? StreamPacket::Kind::Video : StreamPacket::Kind::Audio;
            out.dts = pkt->dts;
            out.pts = pkt->pts;
            const std::int64_t stamp = pkt->dts != AV_NOPTS_VALUE ? pkt->dts : pkt->pts;
            out.time =
                stamp == AV_NOPTS_VALUE ? 0 : static_cast<double>(stamp) * av_q2d(st.time_base);
            out.keyframe = (pkt->flags & AV_PKT_FLAG_KEY) != 0;
            out.data.assign(pkt->data, pkt->data + pkt->size);
            av_packet_unref(pkt.get());
            return ReadResult::Packet;
        }
    }

    bool Seek(double seconds) override {
        const auto target = static_cast<std::int64_t>(std::max(0.0, seconds) * AV_TIME_BASE);
        if (avformat_seek_file(format_, -1, INT64_MIN, target, target, 0) >= 0) {
            return true;
        }
        // Nothing at or before the time: the start.
        return avformat_seek_file(format_, -1, INT64_MIN, 0, INT64_MAX, 0) >= 0;
    }

    std::uint64_t Position() const override { return source_->Position(); }
    std::uint64_t Size() const override { return source_->Size(); }

    std::unique_ptr<StreamVideoDecoder> CreateVideoDecoder(std::string* error) override {
        if (video_ < 0) {
            Fail(error, "no video");
            return nullptr;
        }
        const AVStream& st = *format_->streams[video_];
        CodecContextPtr ctx = OpenCodec(st, error);
        if (!ctx) {
            return nullptr;
        }
        return std::make_unique<FfmpegStreamVideoDecoder>(std::move(ctx), st.time_base);
    }

    std::unique_ptr<StreamAudioDecoder> CreateAudioDecoder(std::string* error) override {
        if (audio_ < 0) {
            Fail(error, "no audio");
            return nullptr;
        }
        CodecContextPtr ctx = OpenCodec(*format_->streams[audio_], error);
        if (!ctx) {
            return nullptr;
        }
        return std::make_unique<FfmpegStreamAudioDecoder>(std::move(ctx));
    }

  private:
    void FindStreams() {
        for (unsigned i = 0; i < format_->nb_streams; ++i) {
            const AVStream& st = *format_->streams[i];
            const AVCodecParameters& par = *st.codecpar;
            if (par.codec_type == AVMEDIA_TYPE_VIDEO && video_ < 0) {
                video_ = static_cast<int>(i);
                layout_.hasVideo = true;
                layout_.videoCodecId = FlvVideoId(par.codec_id);
                layout_.width = par.width;
                layout_.height = par.height;
                if (st.avg_frame_rate.num > 0 && st.avg_frame_rate.den > 0) {
                    layout_.frameRate = av_q2d(st.avg_frame_rate);
                }
            } else if (par.codec_type == AVMEDIA_TYPE_AUDIO && audio_ < 0) {
                audio_ = static_cast<int>(i);
                layout_.hasAudio = true;
                layout_.audioCodecId = FlvAudioId(par.codec_id, par.sample_rate);
            }
        }
        if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
            layout_.duration = static_cast<double>(format_->duration) / AV_TIME_BASE;
        }
    }

    static int ReadPacket(void* opaque, std::uint8_t* buffer, int size) {
        auto* self = static_cast<FfmpegFlvDemuxer*>(opaque);
        const std::size_t got =
            size <= 0 ? 0 : self->source_->Read({buffer, static_cast<std::size_t>(size)});
        return got == 0 ? AVERROR_EOF : static_cast<int>(got);
    }

    static std::int64_t SeekTo(void* opaque, std::int64_t offset, int whence) {
        auto* self = static_cast<FfmpegFlvDemuxer*>(opaque);
        ByteSource& s = *self->source_;
        const auto size = static_cast<std::int64_t>(s.Size());
        std::int64_t target = 0;
        switch (whence & ~AVSEEK_FORCE) {
            case AVSEEK_SIZE:
                return size;
            case SEEK_SET:
                target = offset;
                break;
            case SEEK_CUR:
                target = static_cast<std::int64_t>(s.Position()) + offset;
                break;
            case SEEK_END:
                target = size + offset;
                break;
            default:
                return -1;
        }
        if (target < 0 || !s.Seek(static_cast<std::uint64_t>(target))) {
            return -1;
        }
        return target;
    }

    std::unique_ptr<ByteSource> source_;
    AVIOContext* io_ = nullptr;
    AVFormatContext* format_ = nullptr;
    int video_ = -1;
    int audio_ = -1;
    StreamLayout layout_;
};

}  // namespace

std::unique_ptr<StreamDemuxer> OpenFlvDemuxer(std::unique_ptr<ByteSource> source,
                                              std::string* error) {
    if (!source) {
        Fail(error, "no source");
        return nullptr;
    }
    auto demuxer = std::make_unique<FfmpegFlvDemuxer>(std::move(source));
    if (!demuxer->Open(error)) {
        return nullptr;
    }
    return demuxer;
}

}  // namespace flash::media
