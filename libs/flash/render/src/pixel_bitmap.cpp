#include "flash/render/pixel_bitmap.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "flash/render/pixel_bitmap_ops.h"

namespace flash::render {

namespace {

constexpr double kMaxSideBefore10 = 2880;
constexpr double kMaxSide = 8191;
constexpr double kMaxPixels = 16777215;

std::uint32_t Channel(std::uint32_t v, int shift) {
    return (v >> shift) & 0xFF;
}

}  // namespace

std::uint32_t Premultiply(std::uint32_t argb) {
    const std::uint32_t a = Channel(argb, 24);
    auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return a << 24 | mul(Channel(argb, 16)) << 16 | mul(Channel(argb, 8)) << 8 |
           mul(Channel(argb, 0));
}

std::uint32_t Unpremultiply(std::uint32_t p) {
    const std::uint32_t a = Channel(p, 24);
    if (a == 0) {
        return 0;
    }
    // Halves round down.
    auto div = [a](std::uint32_t c) {
        return std::min<std::uint32_t>(255, (c * 510 + a - 1) / (2 * a));
    };
    return a << 24 | div(Channel(p, 16)) << 16 | div(Channel(p, 8)) << 8 | div(Channel(p, 0));
}

bool PixelBitmap::SizeAllowed(double width, double height, int swfVersion) {
    if (!(width >= 1 && height >= 1)) {
        return false;
    }
    if (swfVersion < 10) {
        return width <= kMaxSideBefore10 && height <= kMaxSideBefore10;
    }
    return width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

PixelBitmap::PixelBitmap(int width, int height, bool transparent, std::uint32_t argb)
    : transparent_(transparent) {
    image_.width = std::max(width, 0);
    image_.height = std::max(height, 0);
    image_.pixels.assign(std::size_t(image_.width) * std::size_t(image_.height), Stored(argb));
}

PixelBitmap::PixelBitmap(swf::Image image, bool transparent)
    : image_(std::move(image)), transparent_(transparent) {
    if (image_.pixels.size() != std::size_t(image_.width) * std::size_t(image_.height)) {
        image_ = {};
    }
    if (!transparent_) {
        for (std::uint32_t& p : image_.pixels) {
            p |= 0xFF000000u;
        }
    }
}

void PixelBitmap::DrawOver(const swf::Image& layer, std::optional<PixelRect> clip) {
    if (layer.width != Width() || layer.height != Height() ||
        layer.pixels.size() != image_.pixels.size()) {
        return;
    }
    std::optional<PixelRect> area = Clip(clip.value_or(PixelRect{0, 0, Width(), Height()}));
    if (!area) {
        return;
    }
    for (int y = area->y; y < area->y + area->height; ++y) {
        for (int x = area->x; x < area->x + area->width; ++x) {
            const std::uint32_t s = layer.pixels[std::size_t(y) * Width() + x];
            const std::uint32_t inv = 255 - Channel(s, 24);
            if (inv == 255) {
                continue;
            }
            std::uint32_t& d = At(x, y);
            auto over = [&](int shift) {
                return std::min<std::uint32_t>(
                    255, Channel(s, shift) + (Channel(d, shift) * inv + 127) / 255);
            };
            d = (transparent_ ? over(24) : 0xFFu) << 24 | over(16) << 16 | over(8) << 8 | over(0);
        }
    }
    ++revision_;
}

std::uint32_t PixelBitmap::Stored(std::uint32_t argb) const {
    return transparent_ ? Premultiply(argb) : (argb | 0xFF000000u);
}

std::uint32_t PixelBitmap::GetPixel32(int x, int y) const {
    return Contains(x, y) ? Unpremultiply(At(x, y)) : 0;
}

void PixelBitmap::SetPixel32(int x, int y, std::uint32_t argb) {
    if (Contains(x, y)) {
        At(x, y) = Stored(argb);
        ++revision_;
    }
}

void PixelBitmap::SetPixel(int x, int y, std::uint32_t rgb) {
    if (Contains(x, y)) {
        const std::uint32_t alpha = GetPixel32(x, y) & 0xFF000000u;
        At(x, y) = Stored(alpha | (rgb & 0xFFFFFF));
        ++revision_;
    }
}

std::optional<PixelRect> PixelBitmap::Clip(PixelRect r) const {
    const long x0 = std::max(0L, long{r.x}), y0 = std::max(0L, long{r.y});
    const long x1 = std::min(long{Width()}, long{r.x} + r.width);
    const long y1 = std::min(long{Height()}, long{r.y} + r.height);
    if (x1 <= x0 || y1 <= y0) {
        return std::nullopt;
    }
    return PixelRect{int(x0), int(y0), int(x1 - x0), int(y1 - y0)};
}

void PixelBitmap::FillRect(PixelRect r, std::uint32_t argb) {
    // A negative size fills back from the corner.
    if (r.width < 0) {
        r.x += r.width;
        r.width = -r.width;
    }
    if (r.height < 0) {
        r.y += r.height;
        r.height = -r.height;
    }
    std::optional<PixelRect> area = Clip(r);
    if (!area) {
        return;
    }
    const std::uint32_t v = Stored(argb);
    for (int y = area->y; y < area->y + area->height; ++y) {
        std::fill_n(&At(area->x, y), area->width, v);
    }
    ++revision_;
}

void PixelBitmap::FloodFill(int x, int y, std::uint32_t argb) {
    if (!Contains(x, y)) {
        return;
    }
    const std::uint32_t from = At(x, y);
    const std::uint32_t to = Stored(argb);
    if (from == to) {
        return;
    }
    // A stack of pixels to visit instead of recursion, so large areas cannot overflow.
    std::vector<std::pair<int, int>> pending{{x, y}};
    while (!pending.empty()) {
        auto [px, py] = pending.back();
        pending.pop_back();
        if (!Contains(px, py) || At(px, py) != from) {
            continue;
        }
        At(px, py) = to;
        pending.insert(pending.end(), {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}});
    }
    ++revision_;
}

void PixelBitmap::CopyPixels(const PixelBitmap& source, PixelRect from, int toX, int toY,
                             bool mergeAlpha) {
    std::optional<CopyArea> area = MapCopy(source, from, toX, toY, *this);
    if (!area) {
        return;
    }
    const PixelRect* dst = &area->dest;
    // Copied through a buffer: source and destination may be the same bitmap.
    std::vector<std::uint32_t> rows;
    rows.reserve(std::size_t(dst->width) * dst->height);
    for (int y = 0; y < dst->height; ++y) {
        for (int x = 0; x < dst->width; ++x) {
            rows.push_back(source.At(area->sx + x, area->sy + y));
        }
    }
    std::size_t i = 0;
    for (int y = dst->y; y < dst->y + dst->height; ++y) {
        for (int x = dst->x; x < dst->x + dst->width; ++x) {
            std::uint32_t s = rows[i++];
            if (!source.transparent_) {
                s |= 0xFF000000u;
            }
            std::uint32_t& d = At(x, y);
            if (mergeAlpha) {
                // Source over destination, premultiplied, the destination scaled by 256ths
                // as Flash scales it; an opaque bitmap stays opaque.
                const std::uint32_t inv = 256 - Channel(s, 24);
                auto over = [&](int shift) {
                    return std::min<std::uint32_t>(
                        255, Channel(s, shift) + (Channel(d, shift) * inv >> 8));
                };
                d = (transparent_ ? over(24) : 0xFFu) << 24 | over(16) << 16 | over(8) << 8 |
                    over(0);
            } else {
                // An opaque bitmap keeps the premultiplied colour as it is.
                d = transparent_ ? s : (s | 0xFF000000u);
            }
        }
    }
    ++revision_;
}

void PixelBitmap::ApplyColorTransform(PixelRect r, const ColorTransform& color) {
    std::optional<PixelRect> area = Clip(r);
    const bool onlyRaisesAlpha = color.rMult == 1 && color.gMult == 1 && color.bMult == 1 &&
                                 color.aMult >= 1 && color.rAdd == 0 && color.gAdd == 0 &&
                                 color.bAdd == 0 && color.aAdd == 0;
    if (!area || onlyRaisesAlpha) {
        return;
    }
    auto fixed = [](double v, double scale) {
        return std::isfinite(v) ? int(std::clamp(v * scale, -32768.0, 32767.0)) : 0;
    };
    const int mult[4] = {fixed(color.bMult, 256), fixed(color.gMult, 256), fixed(color.rMult, 256),
                         fixed(color.aMult, 256)};
    const int add[4] = {fixed(color.bAdd, 1), fixed(color.gAdd, 1), fixed(color.rAdd, 1),
                        fixed(color.aAdd, 1)};
    for (int y = area->y; y < area->y + area->height; ++y) {
        for (int x = area->x; x < area->x + area->width; ++x) {
            const std::uint32_t c = Unpremultiply(At(x, y));
            if (Channel(c, 24) == 0) {
                continue;
            }
            std::uint32_t out = 0;
            for (int i = 0; i < 4; ++i) {
                const int v = (int(Channel(c, i * 8)) * mult[i] >> 8) + add[i];
                out |= std::uint32_t(std::clamp(v, 0, 255)) << (i * 8);
            }
            At(x, y) = Stored(out);
        }
    }
    ++revision_;
}

PixelRect PixelBitmap::ColorBounds(std::uint32_t mask, std::uint32_t color, bool find) const {
    // The colour is premultiplied as a pixel would be and compared unmasked; an opaque
    // bitmap compares no alpha.
    const std::uint32_t keep = transparent_ ? 0xFFFFFFFFu : 0xFFFFFFu;
    const std::uint32_t target = (transparent_ ? Premultiply(color) : color) & keep;
    int x0 = Width(), y0 = Height(), x1 = -1, y1 = -1;
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x) {
            if (((At(x, y) & mask & keep) == target) == find) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
        }
    }
    if (x1 < 0) {
        return {};
    }
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

}  // namespace flash::render
