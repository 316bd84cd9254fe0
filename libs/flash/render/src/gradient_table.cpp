#include "gradient_table.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace flash::render {
namespace {

constexpr std::size_t kMaxGradientRecords = 256;

double ToLinear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double ToSrgb(double c) {
    return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
}

std::uint32_t Premultiplied(Rgba c) {
    auto mul = [a = c.a](std::uint8_t v) {
        return static_cast<std::uint32_t>((v * a + 127) / 255);
    };
    return std::uint32_t{c.a} << 24 | mul(c.r) << 16 | mul(c.g) << 8 | mul(c.b);
}

std::uint64_t Mixed(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

std::uint64_t HashOf(const swf::Gradient& g, const ColorTransform& c) {
    std::uint64_t h = static_cast<std::uint64_t>(g.interpolation);
    for (const swf::GradientRecord& r : g.records) {
        h = Mixed(h, std::uint64_t{r.ratio} << 32 | std::uint64_t{r.color.r} << 24 |
                         std::uint64_t{r.color.g} << 16 | std::uint64_t{r.color.b} << 8 |
                         r.color.a);
    }
    for (double v : {c.rMult, c.gMult, c.bMult, c.aMult, c.rAdd, c.gAdd, c.bAdd, c.aAdd}) {
        h = Mixed(h, std::bit_cast<std::uint64_t>(v));
    }
    return h;
}

}  // namespace

Rgba Mix(Rgba c0, Rgba c1, double t, bool linearLight) {
    auto mix = [t, linearLight](std::uint8_t a, std::uint8_t b) {
        const double v = linearLight
                             ? ToSrgb(ToLinear(a / 255.0) * (1 - t) + ToLinear(b / 255.0) * t)
                             : (a * (1 - t) + b * t) / 255.0;
        return static_cast<std::uint8_t>(std::clamp(std::lround(v * 255), 0L, 255L));
    };
    const auto alpha = static_cast<std::uint8_t>(std::lround(c0.a + (c1.a - c0.a) * t));
    return {mix(c0.r, c1.r), mix(c0.g, c1.g), mix(c0.b, c1.b), alpha};
}

std::vector<Stop> TableStops(const std::vector<swf::GradientRecord>& records, std::size_t count,
                             const ColorTransform& color, bool linearLight) {
    std::vector<Stop> stops;
    for (std::size_t i = 0; i < count;) {
        const double ratio = records[i].ratio;
        std::size_t last = i;
        while (last + 1 < count && records[last + 1].ratio <= records[i].ratio) {
            ++last;
        }
        for (std::size_t k = i; k < last; ++k) {
            const double entry = ratio + double(k - i);
            const Rgba c = color.Apply(records[k].color);
            stops.push_back({entry, c});
            stops.push_back({entry + 1, c});
        }
        const Rgba c = color.Apply(records[last].color);
        const double shownFrom = ratio + double(last - i);
        if (last == i || last + 1 >= count || records[last + 1].ratio <= shownFrom) {
            stops.push_back({shownFrom, c});
        } else {
            const Rgba next = color.Apply(records[last + 1].color);
            const double t = (shownFrom - ratio) / (records[last + 1].ratio - ratio);
            stops.push_back({shownFrom, Mix(c, next, t, linearLight)});
        }
        i = last + 1;
    }
    return stops;
}

ColorTable BuildColorTable(const swf::Gradient& gradient, const ColorTransform& color) {
    ColorTable table;
    const std::size_t count = std::min(gradient.records.size(), kMaxGradientRecords);
    if (count == 0) {
        return table;
    }
    const bool linearLight = gradient.interpolation == swf::InterpolationMode::LinearRgb;
    const std::vector<Stop> stops = TableStops(gradient.records, count, color, linearLight);
    std::size_t next = 0;  // the first stop beyond the entry
    for (int i = 0; i <= 256; ++i) {
        const double at = i;
        while (next < stops.size() && stops[next].ratio <= at) {
            ++next;
        }
        Rgba c;
        if (next == 0) {
            c = stops.front().color;
        } else if (next == stops.size()) {
            c = stops.back().color;
        } else {
            const Stop& a = stops[next - 1];
            const Stop& b = stops[next];
            c = Mix(a.color, b.color, (at - a.ratio) / (b.ratio - a.ratio), linearLight);
        }
        table.argb[i] = Premultiplied(c);
    }
    return table;
}

const ColorTable& ColorTableCache::Get(const swf::Gradient& gradient, const ColorTransform& color) {
    ++clock_;
    const std::uint64_t hash = HashOf(gradient, color);
    auto it = entries_.find(hash);
    if (it != entries_.end() && it->second.records == gradient.records &&
        it->second.interpolation == gradient.interpolation && it->second.color == color) {
        it->second.lastUse = clock_;
        return it->second.table;
    }
    if (it == entries_.end() && entries_.size() >= kMaxTables) {
        entries_.erase(std::min_element(
            entries_.begin(), entries_.end(),
            [](const auto& x, const auto& y) { return x.second.lastUse < y.second.lastUse; }));
    }
    Entry& e = entries_[hash];
    e = Entry{gradient.records, gradient.interpolation, color, clock_,
              BuildColorTable(gradient, color)};
    return e.table;
}

}  // namespace flash::render
