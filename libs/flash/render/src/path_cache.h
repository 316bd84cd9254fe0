#pragma once

// Built paths kept between frames: per shape, per morph shape and ratio, per font glyph.
// Entries are keyed by the character and dropped once it no longer exists.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "flash/swf/morph.h"
#include "flash/swf/shape.h"
#include "flash/swf/text.h"
#include "shape_paths.h"

namespace flash::render {

// A morph shape at one ratio: the blended shape (its styles are needed to paint) and its paths.
struct MorphFrame {
    swf::Shape shape;
    ShapePaths paths;
};

class PathCache {
  public:
    // Off: nothing is kept, every call builds afresh (the result lives until the next call).
    void SetEnabled(bool on);

    const ShapePaths& Shape(const std::shared_ptr<const swf::Shape>& shape);
    const MorphFrame& Morph(const std::shared_ptr<const swf::MorphShape>& morph,
                            std::uint16_t ratio);
    // The filled outline of a glyph, in font units; `index` must be below the glyph count.
    const Path& Glyph(const std::shared_ptr<const swf::Font>& font, std::size_t index);

    void Sweep();
    void Clear();

  private:
    struct ShapeEntry {
        std::weak_ptr<const swf::Shape> owner;
        ShapePaths paths;
    };
    struct MorphEntry {
        std::weak_ptr<const swf::MorphShape> owner;
        std::map<std::uint16_t, std::pair<MorphFrame, std::uint64_t>> frames;  // ratio -> last use
    };
    struct FontEntry {
        std::weak_ptr<const swf::Font> owner;
        std::vector<std::optional<Path>> glyphs;
    };
    // Ratios kept per morph shape: an animation that loops reuses them.
    static constexpr std::size_t kMorphFrames = 32;

    bool enabled_ = true;
    std::uint64_t clock_ = 0;
    std::unordered_map<const void*, ShapeEntry> shapes_;
    std::unordered_map<const void*, MorphEntry> morphs_;
    std::unordered_map<const void*, FontEntry> fonts_;
    ShapePaths scratchShape_;
    MorphFrame scratchMorph_;
    Path scratchGlyph_;
};

}  // namespace flash::render
