#pragma once

#include <cstdint>
#include <vector>

#include "flash/player/player.h"
#include "flash/render/renderer.h"
#include "stage/stage_damage.h"

namespace flash {

class Image;
class MovieClip;
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

// Draws what a clip holds (its drawing and display list, not its own matrix or colour
// transform) into a cleared premultiplied ARGB32 layer of `width` x `height` pixels, the
// clip's twips mapped by `transform`. For BitmapData.draw.
void RenderClipLayer(const MovieClip& clip, render::Renderer& renderer,
                     const render::Transform& transform, render::Quality quality,
                     std::uint32_t* pixels, int width, int height);

}  // namespace flash
