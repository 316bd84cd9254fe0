#include "gradient_fill.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace flash::render {
namespace {

constexpr float kGradientHalf = 16384;  // twips from the centre of the gradient square

enum class Kind { Linear, Radial, Focal };

// The table entry of a position `v` along the gradient, in entries (0..256 over the gradient
// square): the entry the position falls in, as Flash looks colours up.
template <swf::SpreadMode spread>
int EntryAt(float v) {
    if constexpr (spread == swf::SpreadMode::Pad) {
        return static_cast<int>(v > 0 ? (v < 256 ? v : 256.0f) : 0.0f);  // NaN gives 0
    } else {
        if (!(std::fabs(v) < 1e9f)) {
            return 0;
        }
        constexpr float period = spread == swf::SpreadMode::Repeat ? 256 : 512;
        v -= period * std::floor(v / period);
        if (spread == swf::SpreadMode::Reflect && v > 256) {
            v = 512 - v;
        }
        return static_cast<int>(std::clamp(v, 0.0f, 256.0f));
    }
}

// The first and one past the last covered pixel of a coverage row (equal when none is).
std::pair<int, int> CoveredSpan(const std::uint8_t* cov, int width) {
    int first = 0, last = width;
    while (first < width && cov[first] == 0) {
        ++first;
    }
    while (last > first && cov[last - 1] == 0) {
        --last;
    }
    return {first, last};
}

// One row of positions: the gradient square point of the first pixel and its step per pixel.
struct RowWalk {
    float gx, gy, dx, dy;
};

// Positions along the gradient of `n` pixels from column `x0`, in table entries.
template <Kind kind>
void Positions(const RowWalk& w, float focal, int x0, int n, float* v) {
    constexpr float linearScale = 256 / (2 * kGradientHalf), radialScale = 256 / kGradientHalf;
    int k = 0;
#ifdef __SSE2__
    if constexpr (kind != Kind::Focal) {
        const __m128 step = _mm_set_ps(3, 2, 1, 0);
        for (; k + 4 <= n; k += 4) {
            const __m128 i = _mm_add_ps(_mm_set1_ps(static_cast<float>(x0 + k)), step);
            const __m128 u = _mm_add_ps(_mm_set1_ps(w.gx), _mm_mul_ps(_mm_set1_ps(w.dx), i));
            if constexpr (kind == Kind::Linear) {
                const __m128 t = _mm_add_ps(u, _mm_set1_ps(kGradientHalf));
                _mm_storeu_ps(v + k, _mm_mul_ps(t, _mm_set1_ps(linearScale)));
            } else {
                const __m128 q = _mm_add_ps(_mm_set1_ps(w.gy), _mm_mul_ps(_mm_set1_ps(w.dy), i));
                const __m128 d = _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(u, u), _mm_mul_ps(q, q)));
                _mm_storeu_ps(v + k, _mm_mul_ps(d, _mm_set1_ps(radialScale)));
            }
        }
    }
#endif
    // The focal point on the x axis: the circles grow from it (radius 0) to the gradient's
    // circle around the centre; a point takes the largest t whose circle passes through it.
    const float fx = focal * kGradientHalf;
    const float fa = fx * fx - kGradientHalf * kGradientHalf;
    for (; k < n; ++k) {
        const float u = w.gx + w.dx * static_cast<float>(x0 + k);
        const float q = w.gy + w.dy * static_cast<float>(x0 + k);
        if constexpr (kind == Kind::Linear) {
            v[k] = (u + kGradientHalf) * linearScale;
        } else if constexpr (kind == Kind::Radial) {
            v[k] = std::sqrt(u * u + q * q) * radialScale;
        } else {
            const float qx = u - fx, qd = -fx * qx;
            const float disc = std::max(qd * qd - fa * (qx * qx + q * q), 0.0f);
            v[k] = (qd - std::sqrt(disc)) / fa * 256;
        }
    }
}

template <swf::SpreadMode spread>
void Lookup(const ColorTable& table, const float* v, int n, std::uint32_t* out) {
    int k = 0;
#ifdef __SSE2__
    if constexpr (spread == swf::SpreadMode::Pad) {
        alignas(16) std::int32_t entry[4];
        for (; k + 4 <= n; k += 4) {
            // max before min turns NaN into 0, as EntryAt does.
            const __m128 c =
                _mm_min_ps(_mm_max_ps(_mm_loadu_ps(v + k), _mm_setzero_ps()), _mm_set1_ps(256));
            _mm_store_si128(reinterpret_cast<__m128i*>(entry), _mm_cvttps_epi32(c));
            for (int j = 0; j < 4; ++j) {
                out[k + j] = table.argb[std::min(entry[j], 256)];
            }
        }
    }
#endif
    for (; k < n; ++k) {
        out[k] = table.argb[EntryAt<spread>(v[k])];
    }
}

template <Kind kind, swf::SpreadMode spread>
void Shade(const ColorTable& table, float focal, const Matrix& m, const ShadeArea& area,
           std::vector<float>& positions) {
    positions.resize(static_cast<std::size_t>(area.width));
    for (int y = 0; y < area.height; ++y) {
        const auto [first, last] = CoveredSpan(
            area.coverage + static_cast<std::ptrdiff_t>(y) * area.coverageStride, area.width);
        if (first == last) {
            continue;
        }
        // Walked from the device's column 0, so a pixel gets the same colour whatever part
        // of the shape is drawn (a redraw of part of a frame matches the whole frame).
        const double py = area.y0 + y + 0.5;
        const RowWalk walk{static_cast<float>(m.a * 0.5 + m.c * py + m.tx),
                           static_cast<float>(m.b * 0.5 + m.d * py + m.ty), static_cast<float>(m.a),
                           static_cast<float>(m.b)};
        Positions<kind>(walk, focal, area.x0 + first, last - first, positions.data());
        Lookup<spread>(table, positions.data(), last - first,
                       area.out + static_cast<std::ptrdiff_t>(y) * area.stride + first);
    }
}

template <Kind kind>
void ShadeKind(const ColorTable& table, swf::SpreadMode spread, float focal, const Matrix& m,
               const ShadeArea& area, std::vector<float>& positions) {
    switch (spread) {
        case swf::SpreadMode::Reflect:
            Shade<kind, swf::SpreadMode::Reflect>(table, focal, m, area, positions);
            break;
        case swf::SpreadMode::Repeat:
            Shade<kind, swf::SpreadMode::Repeat>(table, focal, m, area, positions);
            break;
        default:
            Shade<kind, swf::SpreadMode::Pad>(table, focal, m, area, positions);
            break;
    }
}

// Owns one reference to a Cairo surface made over a buffer of ours; finished before it is
// released, so nothing reads the buffer afterwards.
struct ScratchSurface {
    cairo_surface_t* surface;
    ~ScratchSurface() {
        cairo_surface_finish(surface);
        cairo_surface_destroy(surface);
    }
};

}  // namespace

void ShadeGradient(const ColorTable& table, const swf::FillStyle& fill,
                   const Matrix& deviceToGradient, const ShadeArea& area,
                   std::vector<float>& positions) {
    const swf::SpreadMode spread = fill.gradient.spread;
    if (fill.type == swf::FillType::LinearGradient) {
        ShadeKind<Kind::Linear>(table, spread, 0, deviceToGradient, area, positions);
    } else if (fill.type == swf::FillType::FocalRadialGradient &&
               std::isfinite(fill.gradient.focalPoint) && fill.gradient.focalPoint != 0) {
        // On the circle itself the gradient would turn into a cone.
        const auto focal = static_cast<float>(std::clamp(fill.gradient.focalPoint, -0.99, 0.99));
        ShadeKind<Kind::Focal>(table, spread, focal, deviceToGradient, area, positions);
    } else {
        ShadeKind<Kind::Radial>(table, spread, 0, deviceToGradient, area, positions);
    }
}

bool GradientFiller::Fill(cairo_t* cr, const Path& path, const Matrix& world,
                          cairo_fill_rule_t rule, const swf::FillStyle& fill,
                          const ColorTransform& color) {
    const Matrix toDevice = world * fill.matrix;
    if (fill.gradient.records.empty() || !IsUsable(toDevice)) {
        return false;
    }
    const std::optional<Matrix> toGradient = toDevice.Inverted();
    if (!toGradient || !IsUsable(*toGradient)) {
        return false;
    }
    // The pixels the path may touch, within the clip.
    const Box box = DeviceBox(path.Bounds(), world);
    double cx0, cy0, cx1, cy1;
    cairo_clip_extents(cr, &cx0, &cy0, &cx1, &cy1);
    if (!box.Intersects({cx0, cy0, cx1, cy1})) {
        return true;
    }
    const int x0 = static_cast<int>(std::floor(std::max(box.x0, cx0)));
    const int y0 = static_cast<int>(std::floor(std::max(box.y0, cy0)));
    const int x1 = static_cast<int>(std::ceil(std::min(box.x1 + 1, cx1)));
    const int y1 = static_cast<int>(std::ceil(std::min(box.y1 + 1, cy1)));
    if (x1 <= x0 || y1 <= y0) {
        return true;
    }
    const int width = x1 - x0, height = y1 - y0;
    const int coverageStride = cairo_format_stride_for_width(CAIRO_FORMAT_A8, width);
    const std::size_t coverageBytes = static_cast<std::size_t>(coverageStride) * height;
    if (coverage_.size() < coverageBytes) {
        coverage_.resize(coverageBytes);
    }
    std::memset(coverage_.data(), 0, coverageBytes);
    const ScratchSurface mask{cairo_image_surface_create_for_data(coverage_.data(), CAIRO_FORMAT_A8,
                                                                  width, height, coverageStride)};
    cairo_surface_set_device_offset(mask.surface, -x0, -y0);
    cairo_t* mc = cairo_create(mask.surface);
    cairo_set_antialias(mc, cairo_get_antialias(cr));
    cairo_set_fill_rule(mc, rule);
    AppendPath(mc, path, world);
    cairo_fill(mc);
    cairo_destroy(mc);
    cairo_surface_flush(mask.surface);

    const std::size_t pixels = static_cast<std::size_t>(width) * height;
    if (shade_.size() < pixels) {
        shade_.resize(pixels);
    }
    const ColorTable& table = tables_.Get(fill.gradient, color);
    const ShadeArea area{
        x0, y0, width, height, shade_.data(), width, coverage_.data(), coverageStride};
    ShadeGradient(table, fill, *toGradient, area, positions_);
    const ScratchSurface shade{
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(shade_.data()),
                                            CAIRO_FORMAT_ARGB32, width, height, width * 4)};
    cairo_surface_set_device_offset(mask.surface, 0, 0);
    cairo_set_source_surface(cr, shade.surface, x0, y0);
    cairo_mask_surface(cr, mask.surface, x0, y0);
    // The context lets go of the scratch buffers before they change again.
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
    return true;
}

void GradientFiller::Clear() {
    tables_.Clear();
    coverage_ = {};
    shade_ = {};
}

}  // namespace flash::render
