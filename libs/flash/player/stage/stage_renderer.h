#pragma once

#include <cstdint>

#include "flash/player/player.h"
#include "flash/render/renderer.h"

namespace flash {

class Image;
class Runtime;
class ViewTransform;

// Draws the levels of a player into an image of any size: the background colour over the
// whole image, then every level's display list, lowest level first, under the view's stage
// transform (scale mode and zoom). Masks clip the depths up to their clip depth.
void RenderStage(Runtime& runtime, render::Renderer& renderer, std::uint32_t background,
                 const ViewTransform& view, Quality quality, Image& target);

}  // namespace flash
