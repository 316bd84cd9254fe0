#pragma once

// What changed on the stage between two frames: each frame lists what it draws, object by
// object in drawing order, and the areas to redraw are those of the objects that changed.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "flash/render/renderer.h"

namespace flash {

// One drawn object. Everything that decides its pixels goes into `look` (character, ratio,
// matrix, colour transform, the masks around it, text, video frame...): equal looks draw
// equal pixels.
struct DrawRecord {
    const void* object = nullptr;  // the display object, to find it again next frame
    std::uint64_t look = 0;
    render::PixelRect area;  // the device pixels it may touch
};

// Mixes a value into a look.
std::uint64_t MixLook(std::uint64_t look, std::uint64_t value);
std::uint64_t MixLook(std::uint64_t look, double value);

class StageDamage {
  public:
    // At most this many areas are redrawn; more are joined where that adds the least area.
    static constexpr std::size_t kMaxAreas = 12;

    // The areas of a `width` x `height` target to redraw for a frame that draws `records`
    // with `settings` (background, quality): the whole target when its size or the settings
    // changed or after Reset(); otherwise the old and new areas of every object that
    // appeared, went, changed or moved in the drawing order, merged into at most kMaxAreas
    // rectangles. Empty when nothing changed. Keeps the records for the next frame.
    std::vector<render::PixelRect> Update(std::vector<DrawRecord> records, int width, int height,
                                          std::uint64_t settings);
    // Forgets the last frame: the next Update redraws everything.
    void Reset();

  private:
    std::vector<render::PixelRect> Changed(const std::vector<DrawRecord>& records) const;

    std::vector<DrawRecord> last_;
    int width_ = 0, height_ = 0;
    std::uint64_t settings_ = 0;
    bool valid_ = false;
};

// Rectangles clipped to the target and merged where they overlap or nearly touch; at most
// StageDamage::kMaxAreas, the whole target when they cover most of it.
std::vector<render::PixelRect> MergeAreas(std::vector<render::PixelRect> areas, int width,
                                          int height);

}  // namespace flash
