// Renders whatever a byte string parses to: the first frames of the root timeline (sprites
// by their first frame), masks included, at high and low quality.
#include <cstddef>
#include <cstdint>
#include <span>

#include "../src/simple_stage.h"
#include "flash/swf/error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace flash;
    swf::Movie movie;
    try {
        movie = swf::ParseMovie(std::span<const std::uint8_t>(data, size));
    } catch (const swf::ParseError&) {
        return 0;
    }
    for (int frames : {1, 3}) {
        render::RenderMovieFrame(movie, frames, 64, 48,
                                 frames == 1 ? render::Quality::High : render::Quality::Low);
    }
    return 0;
}
