#include "stage_renderer.h"

#include "flash/image.h"
#include "runtime.h"

namespace flash {

void RenderStage(Runtime&, std::uint32_t background, int, Image& target) {
    target.Fill(background);
}

}  // namespace flash
