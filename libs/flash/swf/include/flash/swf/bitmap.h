#pragma once

// Bitmaps (DefineBits, DefineBitsJPEG2-4, DefineBitsLossless 1-2): the tag's data is kept as
// stored; the renderer decodes it on demand (flash/render/bitmap_decode.h).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace flash::swf {

enum class BitmapKind : std::uint8_t {
    Jpeg,       // DefineBits: JPEG without tables, the movie's JPEGTables apply
    Jpeg2,      // DefineBitsJPEG2: JPEG with tables, or PNG or GIF89a
    Jpeg3,      // DefineBitsJPEG3: as Jpeg2 plus a zlib alpha plane for JPEG data
    Jpeg4,      // DefineBitsJPEG4: as Jpeg3 plus a deblocking strength
    Lossless,   // DefineBitsLossless: zlib, 8-bit indexed RGB, 15-bit or 24-bit
    Lossless2,  // DefineBitsLossless2: zlib, 8-bit indexed RGBA or 32-bit ARGB
};

struct Bitmap {
    BitmapKind kind = BitmapKind::Jpeg2;
    std::vector<std::uint8_t> data;       // image data (JPEG/PNG/GIF, or the zlib stream)
    std::vector<std::uint8_t> alphaData;  // Jpeg3/Jpeg4: the zlib alpha plane, may be empty
    std::shared_ptr<const std::vector<std::uint8_t>> jpegTables;  // Jpeg: JPEGTables, if any
    double deblocking = 0;                                        // Jpeg4: 0..1

    // Lossless kinds only.
    std::uint8_t format = 0;  // 3 indexed, 4 15-bit, 5 24/32-bit
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint16_t colorTableSize = 0;  // entries (stored value + 1), indexed format only
};

// A decoded image: premultiplied ARGB in native-endian 32-bit words, row-major with no padding
// (Cairo's CAIRO_FORMAT_ARGB32 with a stride of width * 4).
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// Images above this many pixels are refused (Flash's own limit is about this size).
inline constexpr std::uint64_t kMaxImagePixels = 16777216;

}  // namespace flash::swf
