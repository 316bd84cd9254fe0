#pragma once

// Gradient colours as Flash keeps them: a table of 256 entries over the gradient, built
// from the records under a colour transform, and the tables kept between frames.

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "flash/geom.h"
#include "flash/swf/shape.h"

namespace flash::render {

// A gradient stop in ratio units (0..255).
struct Stop {
    double ratio;
    Rgba color;
};

// The colour a fraction `t` of the way from c0 to c1, in linear light or in sRGB values.
Rgba Mix(Rgba c0, Rgba c1, double t, bool linearLight);

// The stops as Flash's colour table lays them out. Records of a run at one ratio each get a
// table entry of their own: all but the last hold one entry each from the ratio on, and the
// last starts the ramp to the next record at the ratio (shown from the entry after them).
// At most `count` records are read.
std::vector<Stop> TableStops(const std::vector<swf::GradientRecord>& records, std::size_t count,
                             const ColorTransform& color, bool linearLight);

// Premultiplied ARGB32 (Cairo's ARGB32) per table entry: entry i is the colour at ratio i,
// and one more entry at 256 ends the last step.
struct ColorTable {
    std::array<std::uint32_t, 257> argb{};
};

// The table of a gradient with at least one record under `color`.
ColorTable BuildColorTable(const swf::Gradient& gradient, const ColorTransform& color);

// Tables by gradient and colour transform, so a fill style or a morph ratio drawn again (in
// any position) reuses its table. Keeps at most kMaxTables (about 1 KiB each); the least
// recently used goes first.
class ColorTableCache {
  public:
    static constexpr std::size_t kMaxTables = 256;

    const ColorTable& Get(const swf::Gradient& gradient, const ColorTransform& color);
    void Clear() { entries_.clear(); }
    std::size_t Size() const { return entries_.size(); }

  private:
    struct Entry {
        std::vector<swf::GradientRecord> records;
        swf::InterpolationMode interpolation;
        ColorTransform color;
        std::uint64_t lastUse;
        ColorTable table;
    };
    // By hash of the key; a different key with the same hash replaces the entry.
    std::unordered_map<std::uint64_t, Entry> entries_;
    std::uint64_t clock_ = 0;
};

}  // namespace flash::render
