#pragma once

// Decoded FFmpeg frames as the renderer's images: the codecs' 4:2:0 output converted as Flash
// converts it, anything else through libswscale, premultiplied ARGB32.

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include <cstdint>
#include <string>
#include <vector>

#include "flash/swf/bitmap.h"

namespace flash::media::detail {

class PictureConverter {
  public:
    PictureConverter() = default;
    ~PictureConverter() { sws_freeContext(sws_); }
    PictureConverter(const PictureConverter&) = delete;
    PictureConverter& operator=(const PictureConverter&) = delete;

    // The frame, less `cropRight` columns and `cropBottom` rows, into `image`. False with the
    // reason when it is too large or its pixel format cannot be converted.
    bool Convert(const AVFrame& frame, int cropRight, int cropBottom, swf::Image& image,
                 std::string* error);

  private:
    void ConvertYuv420(const AVFrame& frame, swf::Image& image);
    static std::uint32_t Premultiply(std::uint32_t argb);

    SwsContext* sws_ = nullptr;
    std::vector<std::uint32_t> rgb_;
};

}  // namespace flash::media::detail
