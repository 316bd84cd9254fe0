#pragma once

// The image formats a bitmap tag may hold. Each decoder returns nullopt for data it cannot
// decode, with the reason in *error when given.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "flash/render/bitmap_decode.h"

namespace flash::render::detail {

using swf::Image;
using swf::kMaxImagePixels;

inline bool Fail(std::string* error, const char* why) {
    if (error != nullptr) {
        *error = why;
    }
    return false;
}

// The JPEG stream as libjpeg wants it: one SOI, the segments of `tables` and `image` (SOI and
// EOI markers inside them dropped, which also removes the FF D9 FF D8 that older movies put in
// front), one EOI.
std::vector<std::uint8_t> JoinJpeg(std::span<const std::uint8_t> tables,
                                   std::span<const std::uint8_t> image);

std::optional<Image> DecodeJpeg(std::span<const std::uint8_t> tables,
                                std::span<const std::uint8_t> image, std::string* error);
std::optional<Image> DecodePng(std::span<const std::uint8_t> data, std::string* error);
std::optional<Image> DecodeGif(std::span<const std::uint8_t> data, std::string* error);

std::optional<std::pair<int, int>> JpegSize(std::span<const std::uint8_t> data);
std::optional<std::pair<int, int>> PngSize(std::span<const std::uint8_t> data);
std::optional<std::pair<int, int>> GifSize(std::span<const std::uint8_t> data);

}  // namespace flash::render::detail
