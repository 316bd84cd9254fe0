#pragma once

#include <cstdint>
#include <vector>

#include "flash/player/player.h"
#include "flash/render/renderer.h"
#include "stage/stage_damage.h"

namespace flash {

class Image;
class Runtime;
class ViewTransform;

// Draws the levels of a player into an image of any size: the background colour over the
// whole image, then every level's display list, lowest level first, under the view's stage
// transform (scale mode and zoom). Masks clip the depths up to their clip depth.
void RenderStage(Runtime& runtime, render::Renderer& renderer, std::uint32_t background,
                 const ViewTransform& view, Quality quality, Image& target);

// The same picture, drawing only what changed since the last frame drawn with `damage` into
// `target`, which must still hold that frame (any other picture, or a new size, takes a
// Reset of `damage` first; a new size is noticed). Returns the areas redrawn: empty when
// nothing changed.
std::vector<render::PixelRect> RenderStageChanges(Runtime& runtime, render::Renderer& renderer,
                                                  std::uint32_t background,
                                                  const ViewTransform& view, Quality quality,
                                                  Image& target, StageDamage& damage);

}  // namespace flash
