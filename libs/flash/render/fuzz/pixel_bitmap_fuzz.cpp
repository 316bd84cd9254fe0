// Runs BitmapData operations with arbitrary sizes, rectangles, points and colours.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "flash/render/pixel_bitmap.h"

namespace {

struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::int32_t Int() {
        std::int32_t v = 0;
        const std::size_t n = size < 4 ? size : 4;
        if (n > 0) {
            std::memcpy(&v, data, n);
        }
        data += n;
        size -= n;
        return v;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using flash::render::PixelBitmap;
    Reader in{data, size};
    const double w = in.Int(), h = in.Int();
    if (!PixelBitmap::SizeAllowed(w, h, 10) || w * h > 1 << 16) {
        return 0;  // refused before allocating; large but allowed sizes only slow the run
    }
    PixelBitmap b(int(w), int(h), in.Int() & 1, std::uint32_t(in.Int()));
    PixelBitmap other(3, 3, true, 0x80FF0000);
    while (in.size > 0) {
        const int op = in.Int() & 7;
        const int x = in.Int(), y = in.Int(), rw = in.Int(), rh = in.Int();
        const std::uint32_t c = std::uint32_t(in.Int());
        switch (op) {
            case 0:
                b.SetPixel32(x, y, c);
                break;
            case 1:
                b.SetPixel(x, y, c);
                break;
            case 2:
                b.FillRect({x, y, rw, rh}, c);
                break;
            case 3:
                b.FloodFill(x, y, c);
                break;
            case 4:
                b.CopyPixels(b, {x, y, rw, rh}, int(c), int(c >> 8), c & 1);
                break;
            case 5:
                b.CopyPixels(other, {x, y, rw, rh}, int(c), y, c & 2);
                break;
            case 6:
                b.ApplyColorTransform({x, y, rw, rh}, {x / 256.0, 1, 1, y / 256.0, 1, 2, 3, 4});
                break;
            default:
                (void)b.ColorBounds(c, std::uint32_t(x), y & 1);
                break;
        }
        (void)b.GetPixel32(x, y);
    }
    return 0;
}
