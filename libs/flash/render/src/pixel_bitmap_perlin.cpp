// perlinNoise: gradient noise in octaves, fractal (signed, centred on grey) or turbulence
// (absolute), each channel from its own lattice.
#include <algorithm>
#include <array>
#include <cmath>

#include "flash/render/pixel_bitmap_ops.h"

namespace flash::render {

namespace {

// Octaves past this add nothing visible at any bitmap size.
constexpr int kMaxOctaves = 32;

class Lattice {
  public:
    explicit Lattice(ParkMiller& random) {
        for (int i = 0; i < 256; ++i) {
            perm_[std::size_t(i)] = std::uint8_t(i);
        }
        for (int i = 255; i > 0; --i) {
            std::swap(perm_[std::size_t(i)], perm_[random.Next() % std::uint32_t(i + 1)]);
        }
    }

    // Noise in about -1 .. 1; lattice cells repeat every periodX, periodY when given (> 0).
    double At(double x, double y, long periodX, long periodY) const {
        // Far coordinates wrap, so lattice indices always fit.
        x = std::isfinite(x) ? std::fmod(x, kWrap) : 0;
        y = std::isfinite(y) ? std::fmod(y, kWrap) : 0;
        const double fx = std::floor(x), fy = std::floor(y);
        const double u = x - fx, v = y - fy;
        const long x0 = long(fx), y0 = long(fy);
        auto corner = [&](long cx, long cy, double dx, double dy) {
            if (periodX > 0) {
                cx = ((cx % periodX) + periodX) % periodX;
            }
            if (periodY > 0) {
                cy = ((cy % periodY) + periodY) % periodY;
            }
            const int h = perm_[(perm_[std::size_t(cx & 255)] + std::size_t(cy & 255)) & 255] & 7;
            static constexpr double kGrad[8][2] = {{1, 0}, {-1, 0}, {0, 1},  {0, -1},
                                                   {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
            return kGrad[h][0] * dx + kGrad[h][1] * dy;
        };
        auto fade = [](double t) { return t * t * t * (t * (t * 6 - 15) + 10); };
        const double a = corner(x0, y0, u, v), b = corner(x0 + 1, y0, u - 1, v);
        const double c = corner(x0, y0 + 1, u, v - 1), d = corner(x0 + 1, y0 + 1, u - 1, v - 1);
        const double su = fade(u), sv = fade(v);
        return std::lerp(std::lerp(a, b, su), std::lerp(c, d, su), sv);
    }

  private:
    static constexpr double kWrap = 16777216;
    std::array<std::uint8_t, 256> perm_{};
};

// Lattice cells across a stitched side.
long Period(double cells) {
    return std::isfinite(cells) ? long(std::clamp(std::round(std::fabs(cells)), 1.0, 16777216.0))
                                : 1;
}

double Sample(const Lattice& lattice, const PerlinOptions& o, int octaves, int width, int height,
              double x, double y) {
    double sum = 0, amplitude = 1, total = 0;
    for (int i = 0; i < octaves; ++i) {
        const double scale = std::ldexp(1.0, i);
        const double fx = o.baseX != 0 ? scale / o.baseX : 0;
        const double fy = o.baseY != 0 ? scale / o.baseY : 0;
        const auto offset = std::size_t(i) < o.offsets.size() ? o.offsets[std::size_t(i)]
                                                              : std::pair<double, double>{};
        const long px = o.stitch ? Period(width * fx) : 0;
        const long py = o.stitch ? Period(height * fy) : 0;
        const double n = lattice.At((x + offset.first) * fx, (y + offset.second) * fy, px, py);
        sum += (o.fractal ? n : std::fabs(n)) * amplitude;
        total += amplitude;
        amplitude /= 2;
    }
    const double v = total > 0 ? sum / total : 0;
    return o.fractal ? (v + 1) / 2 : v;
}

}  // namespace

void PerlinNoise(PixelBitmap& b, const PerlinOptions& options) {
    const PerlinOptions& o = options;
    const int octaves = std::clamp(o.octaves, 0, kMaxOctaves);
    ParkMiller random(o.seed);
    std::array<Lattice, 4> lattices{Lattice(random), Lattice(random), Lattice(random),
                                    Lattice(random)};
    const bool alpha = (o.channels & kAlphaChannel) != 0;
    const int w = b.Width(), h = b.Height();
    swf::Image& image = b.Edit();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            auto value = [&](int lattice) {
                const double v = Sample(lattices[std::size_t(lattice)], o, octaves, w, h, x, y);
                return std::uint32_t(std::clamp(std::lround(v * 255), 0L, 255L));
            };
            std::uint32_t c = 0;
            if (o.gray) {
                const std::uint32_t v = value(0);
                c = v << 16 | v << 8 | v;
            } else {
                c = (o.channels & kRedChannel ? value(0) : 0u) << 16 |
                    (o.channels & kGreenChannel ? value(1) : 0u) << 8 |
                    (o.channels & kBlueChannel ? value(2) : 0u);
            }
            c |= (alpha ? value(3) : 255u) << 24;
            image.pixels[std::size_t(y) * std::size_t(w) + std::size_t(x)] = b.Stored(c);
        }
    }
}

}  // namespace flash::render
