#include "ffmpeg_picture.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>

namespace flash::media::detail {

namespace {

bool Fail(std::string* error, const char* why) {
    if (error != nullptr) {
        *error = why;
    }
    return false;
}

// Pictures are refused beyond this many pixels, as bitmaps are.
bool SizeAllowed(int width, int height) {
    return width > 0 && height > 0 &&
           static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <=
               swf::kMaxImagePixels;
}

}  // namespace

bool PictureConverter::Convert(const AVFrame& frame, int cropRight, int cropBottom,
                               swf::Image& image, std::string* error) {
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
    sws_ = sws_getCachedContext(sws_, frame.width, frame.height,
                                static_cast<AVPixelFormat>(frame.format), frame.width, frame.height,
                                AV_PIX_FMT_RGB32, SWS_POINT | SWS_FULL_CHR_H_INT | SWS_ACCURATE_RND,
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
void PictureConverter::ConvertYuv420(const AVFrame& frame, swf::Image& image) {
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
            alpha ? frame.data[3] + static_cast<std::ptrdiff_t>(row) * frame.linesize[3] : nullptr;
        std::uint32_t* out =
            &image.pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(image.width)];
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

std::uint32_t PictureConverter::Premultiply(std::uint32_t argb) {
    const std::uint32_t a = argb >> 24;
    if (a == 255) {
        return argb;
    }
    auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | mul(argb >> 16 & 0xFF) << 16 | mul(argb >> 8 & 0xFF) << 8 | mul(argb & 0xFF);
}

}  // namespace flash::media::detail
