#pragma once

#include <cstdint>

namespace flash {

class Image;
class Runtime;

// Draws the levels of a player into an image of any size: the background colour over the
// whole image, then the display lists under the stage transform of the scale mode.
void RenderStage(Runtime& runtime, std::uint32_t background, int scaleMode, Image& target);

}  // namespace flash
