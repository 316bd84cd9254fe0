// The FFmpeg backend of VideoDecoder: libavcodec decodes, libswscale converts to ARGB32.

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

#include "bits.h"
#include "ffmpeg_common.h"
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

// Pictures are refused beyond this many pixels, as bitmaps are.
bool SizeAllowed(int width, int height) {
    return width > 0 && height > 0 &&
           static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <=
               swf::kMaxImagePixels;
}

class FfmpegVideoDecoder final : public VideoDecoder {
  public:
    explicit FfmpegVideoDecoder(const VideoCoding& coding) : coding_(coding) {}
    ~FfmpegVideoDecoder() override { sws_freeContext(sws_); }

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
                ok = Convert(*frame_, cropRight, cropBottom, *image, error);
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

    bool Convert(const AVFrame& frame, int cropRight, int cropBottom, swf::Image& image,
                 std::string* error) {
        const int width = std::max(1, frame.width - cropRight);
        const int height = std::max(1, frame.height - cropBottom);
        if (!SizeAllowed(width, height)) {
            return Fail(error, "the video frame is too large");
        }
        image.width = width;
        image.height = height;
        image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        if (frame.format == AV_PIX_FMT_YUV420P || frame.format == AV_PIX_FMT_YUVA420P) {
            ConvertYuv420(frame, image);
            return true;
        }
        // Each chroma sample covers its 2 x 2 pixels unblended, computed per pixel with exact
        // rounding: what Flash shows, to the unit, for its BT.601 video.
        sws_ = sws_getCachedContext(
            sws_, frame.width, frame.height, static_cast<AVPixelFormat>(frame.format), frame.width,
            frame.height, AV_PIX_FMT_RGB32, SWS_POINT | SWS_FULL_CHR_H_INT | SWS_ACCURATE_RND,
            nullptr, nullptr, nullptr);
        if (sws_ == nullptr) {
            return Fail(error, "the video's pixel format cannot be converted");
        }
        rgb_.resize(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height));
        std::uint8_t* dst[4] = {reinterpret_cast<std::uint8_t*>(rgb_.data()), nullptr, nullptr,
                                nullptr};
        int dstStride[4] = {frame.width * 4, 0, 0, 0};
        sws_scale(sws_, frame.data, frame.linesize, 0, frame.height, dst, dstStride);
        const auto* desc = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame.format));
        const bool alpha = desc != nullptr && (desc->flags & AV_PIX_FMT_FLAG_ALPHA) != 0;
        for (int y = 0; y < height; ++y) {
            const std::uint32_t* from =
                &rgb_[static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.width)];
            std::uint32_t* to =
                &image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width)];
            for (int x = 0; x < width; ++x) {
                to[x] = alpha ? Premultiply(from[x]) : (from[x] | 0xFF000000u);
            }
        }
        return true;
    }

    // The codecs' own 4:2:0 output, converted as Flash converts it: BT.601 video levels in
    // 16-bit fixed point, each chroma sample over its 2 x 2 pixels. (libswscale's 13-bit
    // coefficients come out one unit off on about one pixel in a hundred; other pixel formats
    // go through it.)
    void ConvertYuv420(const AVFrame& frame, swf::Image& image) {
        static const struct Tables {
            int y[256], rv[256], gu[256], gv[256], bu[256];
            Tables() {
                for (int i = 0; i < 256; ++i) {
                    y[i] = 76309 * (i - 16) + 32768;
                    rv[i] = 104597 * (i - 128);
                    gu[i] = -25675 * (i - 128);
                    gv[i] = -53279 * (i - 128);
                    bu[i] = 132201 * (i - 128);
                }
            }
        } t;
        auto clip = [](int v) { return static_cast<std::uint32_t>(std::clamp(v >> 16, 0, 255)); };
        const bool alpha = frame.format == AV_PIX_FMT_YUVA420P;
        for (int row = 0; row < image.height; ++row) {
            const std::uint8_t* ys =
                frame.data[0] + static_cast<std::ptrdiff_t>(row) * frame.linesize[0];
            const std::uint8_t* us =
                frame.data[1] + static_cast<std::ptrdiff_t>(row / 2) * frame.linesize[1];
            const std::uint8_t* vs =
                frame.data[2] + static_cast<std::ptrdiff_t>(row / 2) * frame.linesize[2];
            const std::uint8_t* as =
                alpha ? frame.data[3] + static_cast<std::ptrdiff_t>(row) * frame.linesize[3]
                      : nullptr;
            std::uint32_t* out =
                &image
                     .pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(image.width)];
            for (int x = 0; x < image.width; ++x) {
                const int y = t.y[ys[x]];
                const int u = us[x / 2];
                const int v = vs[x / 2];
                std::uint32_t r = clip(y + t.rv[v]);
                std::uint32_t g = clip(y + t.gu[u] + t.gv[v]);
                std::uint32_t b = clip(y + t.bu[u]);
                std::uint32_t a = 255;
                if (alpha) {
                    // VP6 with alpha carries its colour premultiplied already; a channel
                    // above the alpha is cut down to it.
                    a = as[x];
                    r = std::min(r, a);
                    g = std::min(g, a);
                    b = std::min(b, a);
                }
                out[x] = a << 24 | r << 16 | g << 8 | b;
            }
        }
    }

    static std::uint32_t Premultiply(std::uint32_t argb) {
        const std::uint32_t a = argb >> 24;
        if (a == 255) {
            return argb;
        }
        auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
        return a << 24 | mul(argb >> 16 & 0xFF) << 16 | mul(argb >> 8 & 0xFF) << 8 |
               mul(argb & 0xFF);
    }

    VideoCoding coding_;
    CodecContextPtr ctx_;
    PacketPtr pkt_;
    FramePtr frame_;
    SwsContext* sws_ = nullptr;
    std::vector<std::uint32_t> rgb_;
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
