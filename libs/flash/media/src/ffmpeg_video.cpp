// The FFmpeg backend of VideoDecoder: libavcodec decodes, the picture converter makes ARGB32.

#include <cstring>

#include "bits.h"
#include "ffmpeg_common.h"
#include "ffmpeg_picture.h"
#include "flash/media/video.h"

namespace flash::media {

namespace {

using detail::CodecContextPtr;
using detail::FramePtr;
using detail::PacketPtr;

AVCodecID CodecId(swf::VideoCodec codec) {
    switch (codec) {
        case swf::VideoCodec::SorensonH263:
            return AV_CODEC_ID_FLV1;
        case swf::VideoCodec::ScreenVideo:
            return AV_CODEC_ID_FLASHSV;
        case swf::VideoCodec::Vp6:
            return AV_CODEC_ID_VP6F;
        case swf::VideoCodec::Vp6Alpha:
            return AV_CODEC_ID_VP6A;
        case swf::VideoCodec::ScreenVideo2:
            return AV_CODEC_ID_FLASHSV2;
    }
    return AV_CODEC_ID_NONE;
}

bool IsVp6(swf::VideoCodec codec) {
    return codec == swf::VideoCodec::Vp6 || codec == swf::VideoCodec::Vp6Alpha;
}

class FfmpegVideoDecoder final : public VideoDecoder {
  public:
    explicit FfmpegVideoDecoder(const VideoCoding& coding) : coding_(coding) {}

    bool Open(std::string* error) {
        detail::QuietFfmpegLog();
        const AVCodecID id = CodecId(coding_.codec);
        const AVCodec* codec = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(id);
        if (codec == nullptr) {
            if (error != nullptr) {
                *error =
                    id == AV_CODEC_ID_NONE
                        ? "unknown video codec " + std::to_string(static_cast<int>(coding_.codec))
                        : std::string("no decoder for ") + avcodec_get_name(id);
            }
            return false;
        }
        ctx_.reset(avcodec_alloc_context3(codec));
        pkt_.reset(av_packet_alloc());
        frame_.reset(av_frame_alloc());
        if (!ctx_ || !pkt_ || !frame_) {
            return false;
        }
        ctx_->thread_count = 1;
        // The floating-point IDCT gives H.263 pictures as Flash shows them, to the unit.
        ctx_->idct_algo = FF_IDCT_FAAN;
        if (coding_.deblockingOff) {
            ctx_->skip_loop_filter = AVDISCARD_ALL;
        }
        if (avcodec_open2(ctx_.get(), codec, nullptr) < 0) {
            if (error != nullptr) {
                *error = std::string("cannot open the decoder ") + codec->name;
            }
            return false;
        }
        return true;
    }

    bool Decode(std::span<const std::uint8_t> packet, swf::Image* image,
                std::string* error) override {
        int cropRight = 0;
        int cropBottom = 0;
        if (IsVp6(coding_.codec) && coding_.packing == VideoPacking::Flv) {
            if (packet.empty()) {
                return Fail(error, "empty video packet");
            }
            cropRight = packet[0] >> 4;
            cropBottom = packet[0] & 0x0F;
            packet = packet.subspan(1);
        }
        if (packet.empty()) {
            return Fail(error, "empty video packet");
        }
        if (av_new_packet(pkt_.get(), static_cast<int>(packet.size())) < 0) {
            return Fail(error, "out of memory");
        }
        std::memcpy(pkt_->data, packet.data(), packet.size());
        const int sent = avcodec_send_packet(ctx_.get(), pkt_.get());
        av_packet_unref(pkt_.get());
        if (sent < 0) {
            return Fail(error, "the video frame does not decode");
        }
        bool got = false;
        for (;;) {
            const int r = avcodec_receive_frame(ctx_.get(), frame_.get());
            if (r < 0) {
                break;
            }
            got = true;
            bool ok = true;
            if (image != nullptr) {
                ok = converter_.Convert(*frame_, cropRight, cropBottom, *image, error);
            }
            av_frame_unref(frame_.get());
            if (!ok) {
                return false;
            }
        }
        return got || Fail(error, "the video frame does not decode");
    }

    void Reset() override { avcodec_flush_buffers(ctx_.get()); }

  private:
    static bool Fail(std::string* error, const char* why) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    }

    VideoCoding coding_;
    CodecContextPtr ctx_;
    PacketPtr pkt_;
    FramePtr frame_;
    detail::PictureConverter converter_;
};

// Screen video: four header fields, then per block a 16-bit size and that many bytes; a block
// of size 0 is unchanged since the last frame.
bool ScreenVideoHasEveryBlock(std::span<const std::uint8_t> p) {
    if (p.size() < 4) {
        return false;
    }
    const int blockWidth = ((p[0] >> 4) + 1) * 16;
    const int width = (p[0] & 0x0F) << 8 | p[1];
    const int blockHeight = ((p[2] >> 4) + 1) * 16;
    const int height = (p[2] & 0x0F) << 8 | p[3];
    const int blocks =
        ((width + blockWidth - 1) / blockWidth) * ((height + blockHeight - 1) / blockHeight);
    std::size_t at = 4;
    for (int i = 0; i < blocks; ++i) {
        if (at + 2 > p.size()) {
            return false;
        }
        const std::size_t size = static_cast<std::size_t>(p[at] << 8 | p[at + 1]);
        if (size == 0) {
            return false;
        }
        at += 2 + size;
    }
    return at <= p.size();
}

}  // namespace

std::unique_ptr<VideoDecoder> CreateVideoDecoder(const VideoCoding& coding, std::string* error) {
    auto decoder = std::make_unique<FfmpegVideoDecoder>(coding);
    if (!decoder->Open(error)) {
        return nullptr;
    }
    return decoder;
}

bool IsKeyframe(swf::VideoCodec codec, std::span<const std::uint8_t> packet, VideoPacking packing) {
    switch (codec) {
        case swf::VideoCodec::SorensonH263: {
            // Start code (17 bits), version (5), temporal reference (8), size code (3) and a
            // custom size (2 x 8 or 2 x 16 bits), then the picture type: 0 intra.
            detail::BitCursor in(packet);
            if (in.BitsLeft() < 35 || in.Read(17) != 1) {
                return false;
            }
            in.Skip(5 + 8);
            const std::uint32_t size = in.Read(3);
            in.Skip(size == 0 ? 16 : size == 1 ? 32 : 0);
            return in.BitsLeft() >= 2 && in.Read(2) == 0;
        }
        case swf::VideoCodec::ScreenVideo:
            return ScreenVideoHasEveryBlock(packet);
        case swf::VideoCodec::Vp6:
        case swf::VideoCodec::Vp6Alpha: {
            std::size_t at = packing == VideoPacking::Flv ? 1 : 0;
            if (codec == swf::VideoCodec::Vp6Alpha) {
                at += 3;  // the offset of the alpha plane
            }
            // The frame header's first bit: 0 for an intra frame.
            return packet.size() > at && (packet[at] & 0x80) == 0;
        }
        default:
            return false;
    }
}

}  // namespace flash::media
