// Renders whatever a byte string parses to: the first frames of the root timeline (sprites
// by their first frame), masks included, at high and low quality.
#include <cstddef>
#include <cstdint>
#include <span>

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <memory>

#include "../src/simple_stage.h"
#include "flash/swf/error.h"

namespace {

// Font engines keep some memory for every font face they open, for good. The renderer opens
// a fixed few (per family and style); opening them all before the first input keeps that
// from counting as a leak of whichever input happens to open one.
void OpenEveryDeviceFace() {
    using namespace flash;
    render::Renderer renderer;
    std::uint32_t pixels[16 * 16];
    renderer.BeginFrame(pixels, 16, 16, 16 * 4, {});
    for (const char* name : {"_sans", "_serif", "_typewriter"}) {
        for (int style = 0; style < 4; ++style) {
            auto font = std::make_shared<swf::Font>();
            font->name = name;
            font->bold = style & 1;
            font->italic = style & 2;
            font->glyphs = {swf::Glyph{{}, 'A', 0, {}}, swf::Glyph{{}, 0x4E00, 0, {}}};
            const swf::Character character = std::shared_ptr<const swf::Font>(font);
            auto text = std::make_shared<swf::Text>();
            text->records.push_back({1, {}, 0, 200, 200, {{0, 0}, {1, 0}}});
            renderer.DrawText(text, {Matrix::Scale(0.05, 0.05), {}},
                              [&character](std::uint16_t) { return &character; });
        }
    }
    renderer.EndFrame();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    OpenEveryDeviceFace();
    std::atexit([] {
        cairo_debug_reset_static_data();
        FcFini();
    });
    return 0;
}

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
