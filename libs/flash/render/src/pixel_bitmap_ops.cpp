#include "flash/render/pixel_bitmap_ops.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace flash::render {

namespace {

constexpr std::uint32_t kModulus = 2147483647;  // 2^31 - 1

std::uint32_t Channel(std::uint32_t v, int shift) {
    return (v >> shift) & 0xFF;
}

std::uint32_t& Pixel(swf::Image& image, int x, int y) {
    return image.pixels[std::size_t(y) * std::size_t(image.width) + std::size_t(x)];
}

// The source pixels of an area as straight colours, read before anything is written (source
// and destination may be one bitmap).
std::vector<std::uint32_t> ReadArea(const PixelBitmap& source, const CopyArea& area) {
    std::vector<std::uint32_t> out;
    out.reserve(std::size_t(area.dest.width) * std::size_t(area.dest.height));
    for (int y = 0; y < area.dest.height; ++y) {
        for (int x = 0; x < area.dest.width; ++x) {
            out.push_back(source.GetPixel32(area.sx + x, area.sy + y));
        }
    }
    return out;
}

// Calls f(x, y, sourcePixel) for every pixel of the area, in rows; f returns the new
// straight colour or nullopt to keep the pixel.
template <typename F>
void ForEachMapped(PixelBitmap& dest, const PixelBitmap& source, PixelRect from, int toX, int toY,
                   F&& f) {
    std::optional<CopyArea> area = MapCopy(source, from, toX, toY, dest);
    if (!area) {
        return;
    }
    const std::vector<std::uint32_t> pixels = ReadArea(source, *area);
    swf::Image& image = dest.Edit();
    std::size_t i = 0;
    for (int y = area->dest.y; y < area->dest.y + area->dest.height; ++y) {
        for (int x = area->dest.x; x < area->dest.x + area->dest.width; ++x) {
            const std::uint32_t d = Unpremultiply(Pixel(image, x, y));
            if (std::optional<std::uint32_t> v = f(pixels[i++], d)) {
                Pixel(image, x, y) = dest.Stored(*v);
            }
        }
    }
}

int ChannelShift(unsigned channel) {
    switch (channel) {
        case kRedChannel:
            return 16;
        case kGreenChannel:
            return 8;
        case kBlueChannel:
            return 0;
        case kAlphaChannel:
            return 24;
        default:
            return -1;
    }
}

}  // namespace

std::optional<CopyArea> MapCopy(const PixelBitmap& source, PixelRect from, int toX, int toY,
                                const PixelBitmap& dest) {
    std::optional<PixelRect> src = source.Clip(from);
    if (!src) {
        return std::nullopt;
    }
    const long dx = long{toX} + (long{src->x} - from.x);
    const long dy = long{toY} + (long{src->y} - from.y);
    const long x0 = std::max(0L, dx), y0 = std::max(0L, dy);
    const long x1 = std::min(long{dest.Width()}, dx + src->width);
    const long y1 = std::min(long{dest.Height()}, dy + src->height);
    if (x1 <= x0 || y1 <= y0) {
        return std::nullopt;
    }
    return CopyArea{{int(x0), int(y0), int(x1 - x0), int(y1 - y0)},
                    int(src->x + (x0 - dx)),
                    int(src->y + (y0 - dy))};
}

ParkMiller::ParkMiller(std::int64_t seed) {
    // Flash starts from 1 - seed for seeds up to 0.
    const std::int64_t s = (seed > 0 ? seed : 1 - (seed % kModulus)) % kModulus;
    state_ = s == 0 ? 1 : std::uint32_t(s);
}

std::uint32_t ParkMiller::Next() {
    state_ = std::uint32_t(std::uint64_t{state_} * 16807 % kModulus);
    return state_;
}

int ParkMiller::Between(int low, int high) {
    const std::int64_t span = std::int64_t{high} - low + 1;
    if (span <= 0) {
        Next();
        return low;
    }
    return int(low + std::int64_t(Next() % std::uint64_t(span)));
}

// Translucent noise is premultiplied by 256ths, as Flash makes it.
std::uint32_t NoisePixel(const PixelBitmap& b, std::uint32_t argb) {
    const std::uint32_t a = Channel(argb, 24);
    if (!b.Transparent() || a == 255) {
        return argb | 0xFF000000u;
    }
    auto mul = [a](std::uint32_t c) { return (c * a + 128) >> 8; };
    return a << 24 | mul(Channel(argb, 16)) << 16 | mul(Channel(argb, 8)) << 8 |
           mul(Channel(argb, 0));
}

void Noise(PixelBitmap& b, std::int64_t seed, int low, int high, unsigned channels, bool gray) {
    ParkMiller random(seed);
    low = std::clamp(low, 0, 255);
    high = std::clamp(high, 0, 255);
    auto value = [&] { return std::uint32_t(std::clamp(random.Between(low, high), 0, 255)); };
    // An opaque bitmap draws no alpha values.
    const bool alpha = (channels & kAlphaChannel) != 0 && b.Transparent();
    swf::Image& image = b.Edit();
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t c = 0;
            if (gray) {
                const std::uint32_t v = value();
                c = v << 16 | v << 8 | v;
            } else {
                for (unsigned ch : {kRedChannel, kGreenChannel, kBlueChannel}) {
                    if (channels & ch) {
                        c |= value() << ChannelShift(ch);
                    }
                }
            }
            c |= (alpha ? value() : 255u) << 24;
            Pixel(image, x, y) = NoisePixel(b, c);
        }
    }
}

std::optional<ThresholdTest> ThresholdTestOf(std::u16string_view op) {
    static constexpr std::pair<std::u16string_view, ThresholdTest> kTests[] = {
        {u"<", ThresholdTest::Less},    {u"<=", ThresholdTest::LessEqual},
        {u">", ThresholdTest::Greater}, {u">=", ThresholdTest::GreaterEqual},
        {u"==", ThresholdTest::Equal},  {u"!=", ThresholdTest::NotEqual},
    };
    for (const auto& [name, test] : kTests) {
        if (name == op) {
            return test;
        }
    }
    return std::nullopt;
}

namespace {

bool Passes(ThresholdTest test, std::uint32_t v, std::uint32_t threshold) {
    switch (test) {
        case ThresholdTest::Less:
            return v < threshold;
        case ThresholdTest::LessEqual:
            return v <= threshold;
        case ThresholdTest::Greater:
            return v > threshold;
        case ThresholdTest::GreaterEqual:
            return v >= threshold;
        case ThresholdTest::Equal:
            return v == threshold;
        case ThresholdTest::NotEqual:
            return v != threshold;
    }
    return false;
}

}  // namespace

int Threshold(PixelBitmap& dest, const PixelBitmap& source, PixelRect from, int toX, int toY,
              ThresholdTest test, std::uint32_t threshold, std::uint32_t color, std::uint32_t mask,
              bool copySource) {
    int passed = 0;
    ForEachMapped(dest, source, from, toX, toY,
                  [&](std::uint32_t s, std::uint32_t) -> std::optional<std::uint32_t> {
                      if (Passes(test, s & mask, threshold & mask)) {
                          ++passed;
                          return color;
                      }
                      return copySource ? std::optional<std::uint32_t>(s) : std::nullopt;
                  });
    return passed;
}

int PixelDissolve(PixelBitmap& dest, const PixelBitmap& source, PixelRect from, int toX, int toY,
                  std::int64_t seed, std::int64_t pixels, std::uint32_t fill) {
    std::optional<CopyArea> area = MapCopy(source, from, toX, toY, dest);
    if (!area) {
        return 0;
    }
    const std::int64_t n = std::int64_t{area->dest.width} * area->dest.height;
    // A full-period sequence over the next power of two, values past the area skipped.
    std::uint64_t m = 1;
    while (m < std::uint64_t(n)) {
        m <<= 1;
    }
    auto next = [m, n](std::int64_t i) {
        do {
            i = std::int64_t((std::uint64_t(i) * 5 + 1) & (m - 1));
        } while (i >= n);
        return i;
    };
    const bool same = &dest == &source;
    swf::Image& image = dest.Edit();
    auto write = [&](std::int64_t i) {
        const int x = int(i % area->dest.width), y = int(i / area->dest.width);
        const std::uint32_t v = same ? fill : source.GetPixel32(area->sx + x, area->sy + y);
        Pixel(image, area->dest.x + x, area->dest.y + y) = dest.Stored(v);
    };
    std::int64_t i = ((seed % n) + n) % n;
    write(i);
    for (std::int64_t k = std::clamp<std::int64_t>(pixels, 0, n); k > 0; --k) {
        i = next(i);
        write(i);
    }
    return int(i);
}

void Scroll(PixelBitmap& b, int dx, int dy) {
    const PixelRect all{0, 0, b.Width(), b.Height()};
    if (std::abs(long{dx}) >= b.Width() || std::abs(long{dy}) >= b.Height()) {
        return;
    }
    // A copy within the bitmap, which reads every pixel before writing.
    b.CopyPixels(b, all, dx, dy, false);
}

void CopyChannel(PixelBitmap& dest, const PixelBitmap& source, PixelRect from, int toX, int toY,
                 unsigned sourceChannel, unsigned destChannel) {
    const int ss = ChannelShift(sourceChannel), ds = ChannelShift(destChannel);
    if (ss < 0 || ds < 0 || (ds == 24 && !dest.Transparent())) {
        return;
    }
    ForEachMapped(dest, source, from, toX, toY,
                  [&](std::uint32_t s, std::uint32_t d) -> std::optional<std::uint32_t> {
                      return (d & ~(0xFFu << ds)) | Channel(s, ss) << ds;
                  });
}

void Merge(PixelBitmap& dest, const PixelBitmap& source, PixelRect from, int toX, int toY,
           const std::array<std::uint32_t, 4>& argbMultipliers) {
    ForEachMapped(dest, source, from, toX, toY,
                  [&](std::uint32_t s, std::uint32_t d) -> std::optional<std::uint32_t> {
                      std::uint32_t out = 0;
                      for (int i = 0; i < 4; ++i) {
                          const int shift = 24 - 8 * i;
                          const std::uint32_t m = std::min<std::uint32_t>(argbMultipliers[i], 256);
                          out |= ((Channel(s, shift) * m + Channel(d, shift) * (256 - m)) >> 8)
                                 << shift;
                      }
                      return out;
                  });
}

void PaletteMap(PixelBitmap& dest, const PixelBitmap& source, PixelRect from, int toX, int toY,
                const std::array<PaletteTable, 4>& argbTables) {
    ForEachMapped(dest, source, from, toX, toY,
                  [&](std::uint32_t s, std::uint32_t) -> std::optional<std::uint32_t> {
                      std::uint32_t out = 0;
                      for (int i = 0; i < 4; ++i) {
                          const int shift = 24 - 8 * i;
                          const std::uint32_t c = Channel(s, shift);
                          out += argbTables[i] ? (*argbTables[i])[c] : c << shift;
                      }
                      return out;
                  });
}

void ApplyColorMatrix(PixelBitmap& b, PixelRect area, const std::array<double, 20>& m) {
    ForEachMapped(
        b, b, area, area.x, area.y,
        [&](std::uint32_t s, std::uint32_t) -> std::optional<std::uint32_t> {
            const double in[4] = {double(Channel(s, 16)), double(Channel(s, 8)),
                                  double(Channel(s, 0)), double(Channel(s, 24))};
            std::uint32_t out = 0;
            for (int row = 0; row < 4; ++row) {
                const double* r = &m[std::size_t(row) * 5];
                const double v = r[0] * in[0] + r[1] * in[1] + r[2] * in[2] + r[3] * in[3] + r[4];
                const int shift = row == 3 ? 24 : 16 - 8 * row;
                out |= std::uint32_t(std::lround(v > 0 ? std::min(v, 255.0) : 0.0)) << shift;
            }
            return out;
        });
}

std::optional<PixelBitmap> Compare(const PixelBitmap& a, const PixelBitmap& b) {
    PixelBitmap out(a.Width(), a.Height(), true, 0);
    bool differs = false;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            const std::uint32_t pa = a.GetPixel32(x, y), pb = b.GetPixel32(x, y);
            if (pa == pb) {
                continue;
            }
            differs = true;
            std::uint32_t diff = 0;
            if ((pa & 0xFFFFFF) != (pb & 0xFFFFFF)) {
                for (int shift : {16, 8, 0}) {
                    diff |= ((Channel(pa, shift) - Channel(pb, shift)) & 0xFF) << shift;
                }
                diff |= 0xFF000000u;
            } else {
                diff = ((Channel(pa, 24) - Channel(pb, 24)) & 0xFF) << 24 | 0xFFFFFF;
            }
            out.SetPixel32(x, y, diff);
        }
    }
    return differs ? std::optional<PixelBitmap>(std::move(out)) : std::nullopt;
}

}  // namespace flash::render
