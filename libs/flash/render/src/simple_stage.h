#pragma once

// A minimal display list for tests, fuzzing and benchmarks: places the characters of a
// movie's frames by depth (sprites by their first frame) and draws them with their masks.
// Not the player's runtime: no actions, no sprite timelines.

#include <cstdint>
#include <map>
#include <vector>

#include "flash/render/renderer.h"
#include "flash/swf/movie.h"

namespace flash::render {

struct Placed {
    std::uint16_t id = 0;
    Matrix matrix;
    ColorTransform color;
    std::uint16_t ratio = 0;
    std::uint16_t clipDepth = 0;
};

using DisplayList = std::map<std::uint16_t, Placed>;

class SimpleStage {
  public:
    SimpleStage();

    // Defines the frame's characters and applies its placements to `list`.
    void Apply(const swf::Frame& frame, DisplayList& list);
    void Draw(Renderer& r, const DisplayList& list, const Transform& parent, int nesting = 0);
    const CharacterLookup& Lookup() const { return lookup_; }

  private:
    void DrawOne(Renderer& r, const Placed& placed, const Transform& t, int nesting);

    std::map<std::uint16_t, swf::Character> dictionary_;
    CharacterLookup lookup_;
};

// Renders the display list after `frames` frames of `movie` at `width` x `height` (the stage
// scaled to fit) into premultiplied ARGB32 pixels.
std::vector<std::uint32_t> RenderMovieFrame(const swf::Movie& movie, int frames, int width,
                                            int height, Quality quality);

}  // namespace flash::render
