// Feeds arbitrary bytes to the bitmap decoders. The first byte picks the tag kind; lossless
// kinds take format, width and height (5 bytes) before their data.
#include <cstddef>
#include <cstdint>

#include "flash/render/bitmap_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace flash::swf;
    if (size < 1) {
        return 0;
    }
    Bitmap b;
    b.kind = static_cast<BitmapKind>(data[0] % 6);
    std::size_t at = 1;
    if (b.kind == BitmapKind::Lossless || b.kind == BitmapKind::Lossless2) {
        if (size < 7) {
            return 0;
        }
        b.format = data[1];
        b.width = static_cast<std::uint16_t>(data[2] | data[3] << 8);
        b.height = static_cast<std::uint16_t>(data[4] | data[5] << 8);
        b.colorTableSize = static_cast<std::uint16_t>(data[6] + 1);
        at = 7;
    }
    b.data.assign(data + at, data + size);
    if (b.kind == BitmapKind::Jpeg3 && b.data.size() > 8) {
        // The last quarter as an alpha plane.
        const std::size_t split = b.data.size() * 3 / 4;
        b.alphaData.assign(b.data.begin() + static_cast<std::ptrdiff_t>(split), b.data.end());
        b.data.resize(split);
    }
    flash::render::BitmapSize(b);
    flash::render::DecodeBitmap(b);
    return 0;
}
