// Runs BitmapData operations with arbitrary sizes, rectangles, points and colours.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "flash/render/pixel_bitmap.h"
#include "flash/render/pixel_bitmap_ops.h"

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
        const int op = in.Int() & 31;
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
            case 7:
                (void)b.ColorBounds(c, std::uint32_t(x), y & 1);
                break;
            case 8:
                flash::render::Noise(b, x, y, rw, c, c & 16);
                break;
            case 9: {
                flash::render::PerlinOptions o;
                o.baseX = x / 16.0;
                o.baseY = y / 16.0;
                o.octaves = rw & 7;
                o.seed = rh;
                o.stitch = c & 1;
                o.fractal = c & 2;
                o.channels = c >> 4;
                o.gray = c & 4;
                flash::render::PerlinNoise(b, o);
                break;
            }
            case 10:
                (void)flash::render::Threshold(b, c & 1 ? b : other, {x, y, rw, rh}, int(c >> 8),
                                               int(c >> 16), flash::render::ThresholdTest(c % 6), c,
                                               c * 7, c ^ 0xFFu, c & 2);
                break;
            case 11:
                (void)flash::render::PixelDissolve(b, c & 1 ? b : other, {x, y, rw, rh},
                                                   int(c >> 8), int(c >> 16), rw, rh, c);
                break;
            case 12:
                flash::render::Scroll(b, x, y);
                break;
            case 13:
                flash::render::CopyChannel(b, c & 1 ? b : other, {x, y, rw, rh}, int(c >> 8),
                                           int(c >> 16), c & 15, (c >> 4) & 15);
                break;
            case 14:
                flash::render::Merge(b, c & 1 ? b : other, {x, y, rw, rh}, int(c >> 8),
                                     int(c >> 16), {c & 511, (c >> 9) & 511, 256, 0});
                break;
            case 15: {
                std::array<flash::render::PaletteTable, 4> tables{};
                tables[c & 3] = std::array<std::uint32_t, 256>{};
                tables[c & 3]->fill(c);
                flash::render::PaletteMap(b, c & 4 ? b : other, {x, y, rw, rh}, int(c >> 8),
                                          int(c >> 16), tables);
                break;
            }
            case 16:
                (void)flash::render::Compare(b, b.Width() == 3 && b.Height() == 3 ? other : b);
                break;
            case 17: {
                std::array<double, 20> m{};
                m.fill(x / 64.0);
                m[4] = y;
                flash::render::ApplyColorMatrix(b, {x, y, rw, rh}, m);
                break;
            }
            default: {
                flash::swf::Image layer{b.Width(), b.Height(), {}};
                layer.pixels.assign(b.Image().pixels.size(), c);
                b.DrawOver(layer, flash::render::PixelRect{x, y, rw, rh});
                break;
            }
        }
        (void)b.GetPixel32(x, y);
    }
    return 0;
}
