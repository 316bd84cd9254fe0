#pragma once

#include <cstdint>

#include "flash/player.h"
#include "flash/render/renderer.h"

namespace flash {

class Image;
class Runtime;

// Draws the levels of a player into an image of any size: the background colour over the
// whole image, then every level's display list, lowest level first, under the stage
// transform of the scale mode. Masks clip the depths up to their clip depth.
void RenderStage(Runtime& runtime, render::Renderer& renderer, std::uint32_t background,
                 int scaleMode, Quality quality, Image& target);

}  // namespace flash
