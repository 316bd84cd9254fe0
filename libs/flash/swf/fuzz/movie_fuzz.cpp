// Feeds arbitrary bytes to the movie reader, then to the decoders the runtime calls on demand.
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

#include "flash/render/bitmap_decode.h"
#include "flash/swf/error.h"
#include "flash/swf/movie.h"

namespace {

void Visit(const std::vector<flash::swf::Frame>& frames);

void Visit(const flash::swf::Character& character) {
    using namespace flash::swf;
    if (const auto* morph = std::get_if<std::shared_ptr<const MorphShape>>(&character)) {
        for (std::uint16_t ratio : {0, 20000, 65535}) {
            MorphAt(**morph, ratio);
        }
    } else if (const auto* bitmap = std::get_if<std::shared_ptr<const Bitmap>>(&character)) {
        flash::render::DecodeBitmap(**bitmap);
    } else if (const auto* sprite = std::get_if<std::shared_ptr<const Sprite>>(&character)) {
        Visit((*sprite)->frames);
    }
}

void Visit(const std::vector<flash::swf::Frame>& frames) {
    for (const auto& frame : frames) {
        for (const auto& tag : frame.tags) {
            if (const auto* def = std::get_if<flash::swf::DefineCharacter>(&tag)) {
                Visit(def->character);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto movie = flash::swf::ParseMovie(std::span<const std::uint8_t>(data, size));
        Visit(movie.frames);
    } catch (const flash::swf::ParseError&) {
        // Not a movie: the expected outcome for most inputs.
    }
    return 0;
}
