#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "swfgen/bit_writer.h"

namespace swfgen {

// Pixels as 0xAARRGGBB words, row-major.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;
};

// A baseline JPEG of the colours (alpha ignored).
Bytes EncodeJpeg(const Pixels& image, int quality = 90);
// The same JPEG as a tables-only stream (for JPEGTables) and an abbreviated image stream
// (for DefineBits).
std::pair<Bytes, Bytes> EncodeJpegSplit(const Pixels& image, int quality = 90);
// A PNG with straight alpha.
Bytes EncodePng(const Pixels& image);
// zlib, as the lossless bitmap tags and the JPEG alpha planes store data.
Bytes Compress(std::span<const std::uint8_t> data);

}  // namespace swfgen
