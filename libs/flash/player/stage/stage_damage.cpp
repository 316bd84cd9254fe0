#include "stage/stage_damage.h"

#include <algorithm>
#include <bit>

namespace flash {
namespace {

// Rectangles closer than this are merged: one redraw of both is cheaper than two.
constexpr int kMergeGap = 16;

// More separate areas than this are drawn as the one box around them all, so joining them
// pair by pair stays cheap.
constexpr std::size_t kMaxPaired = 96;

long long AreaOf(const render::PixelRect& r) {
    return static_cast<long long>(r.width) * r.height;
}

bool Empty(const render::PixelRect& r) {
    return r.width <= 0 || r.height <= 0;
}

bool SameRect(const render::PixelRect& a, const render::PixelRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

render::PixelRect Union(const render::PixelRect& a, const render::PixelRect& b) {
    const int x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const int x1 = std::max(a.x + a.width, b.x + b.width);
    const int y1 = std::max(a.y + a.height, b.y + b.height);
    return {x0, y0, x1 - x0, y1 - y0};
}

bool Near(const render::PixelRect& a, const render::PixelRect& b) {
    return a.x - kMergeGap <= b.x + b.width && b.x - kMergeGap <= a.x + a.width &&
           a.y - kMergeGap <= b.y + b.height && b.y - kMergeGap <= a.y + a.height;
}

render::PixelRect Clipped(const render::PixelRect& r, int width, int height) {
    const long long x0 = std::clamp<long long>(r.x, 0, width);
    const long long y0 = std::clamp<long long>(r.y, 0, height);
    const long long x1 = std::clamp<long long>(static_cast<long long>(r.x) + r.width, x0, width);
    const long long y1 = std::clamp<long long>(static_cast<long long>(r.y) + r.height, y0, height);
    return {int(x0), int(y0), int(x1 - x0), int(y1 - y0)};
}

}  // namespace

std::uint64_t MixLook(std::uint64_t look, std::uint64_t value) {
    look ^= value + 0x9E3779B97F4A7C15ull + (look << 6) + (look >> 2);
    return look;
}

std::uint64_t MixLook(std::uint64_t look, double value) {
    return MixLook(look, std::bit_cast<std::uint64_t>(value + 0.0));
}

std::vector<render::PixelRect> MergeAreas(std::vector<render::PixelRect> areas, int width,
                                          int height) {
    std::vector<render::PixelRect> merged;
    for (const render::PixelRect& a : areas) {
        render::PixelRect r = Clipped(a, width, height);
        if (Empty(r)) {
            continue;
        }
        // Swallow every rectangle near it, again after each growth.
        for (bool grew = true; grew;) {
            grew = false;
            for (std::size_t i = 0; i < merged.size(); ++i) {
                if (Near(merged[i], r)) {
                    r = Union(r, merged[i]);
                    merged.erase(merged.begin() + static_cast<std::ptrdiff_t>(i));
                    grew = true;
                    break;
                }
            }
        }
        merged.push_back(r);
    }
    long long area = 0;
    for (const render::PixelRect& r : merged) {
        area += AreaOf(r);
    }
    if (area * 4 >= static_cast<long long>(width) * height * 3) {
        return {{0, 0, width, height}};
    }
    if (merged.size() > kMaxPaired) {
        render::PixelRect all = merged.front();
        for (const render::PixelRect& r : merged) {
            all = Union(all, r);
        }
        return {all};
    }
    // Too many: join the two whose box adds the least area, until few enough remain.
    while (merged.size() > StageDamage::kMaxAreas) {
        std::size_t bi = 0, bj = 1;
        long long best = -1;
        for (std::size_t i = 0; i < merged.size(); ++i) {
            for (std::size_t j = i + 1; j < merged.size(); ++j) {
                const long long added =
                    AreaOf(Union(merged[i], merged[j])) - AreaOf(merged[i]) - AreaOf(merged[j]);
                if (best < 0 || added < best) {
                    best = added;
                    bi = i;
                    bj = j;
                }
            }
        }
        merged[bi] = Union(merged[bi], merged[bj]);
        merged.erase(merged.begin() + static_cast<std::ptrdiff_t>(bj));
    }
    return merged;
}

std::vector<render::PixelRect> StageDamage::Changed(const std::vector<DrawRecord>& records) const {
    std::unordered_map<const void*, std::size_t> before;
    before.reserve(last_.size());
    for (std::size_t i = 0; i < last_.size(); ++i) {
        before.emplace(last_[i].object, i);
    }
    // An object is unchanged when it looks the same and keeps its order among the unchanged
    // ones (they form an increasing run of old positions), so every pixel outside the changed
    // areas sees the same objects in the same order as before.
    std::vector<bool> kept(last_.size(), false);
    std::vector<render::PixelRect> areas;
    long long lastKept = -1;
    for (const DrawRecord& r : records) {
        const auto it = before.find(r.object);
        if (it != before.end()) {
            const DrawRecord& old = last_[it->second];
            if (old.look == r.look && SameRect(old.area, r.area) &&
                static_cast<long long>(it->second) > lastKept) {
                kept[it->second] = true;
                lastKept = static_cast<long long>(it->second);
                continue;
            }
        }
        areas.push_back(r.area);
    }
    for (std::size_t i = 0; i < last_.size(); ++i) {
        if (!kept[i]) {
            areas.push_back(last_[i].area);
        }
    }
    return areas;
}

std::vector<render::PixelRect> StageDamage::Update(std::vector<DrawRecord> records, int width,
                                                   int height, std::uint64_t settings) {
    std::vector<render::PixelRect> areas;
    if (!valid_ || width != width_ || height != height_ || settings != settings_) {
        areas.push_back({0, 0, width, height});
    } else {
        areas = MergeAreas(Changed(records), width, height);
    }
    last_ = std::move(records);
    width_ = width;
    height_ = height;
    settings_ = settings;
    valid_ = true;
    return areas;
}

void StageDamage::Reset() {
    valid_ = false;
    last_.clear();
}

}  // namespace flash
