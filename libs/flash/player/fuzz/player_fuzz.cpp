// Loads arbitrary bytes as a movie and plays a few frames with tight budgets: nothing may
// crash, hang or take unbounded memory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flash/player/player.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    flash::PlayerLimits limits;
    limits.maxMovieBytes = 1u << 20;
    limits.maxDisplayObjects = 2000;
    limits.maxNestingDepth = 16;
    limits.actionsPerFrame = 20000;
    limits.maxGotoPerFrame = 200;
    flash::Player player(limits);
    try {
        player.LoadMovieBytes(0, std::vector<std::uint8_t>(data, data + size), "fuzz.swf");
    } catch (const flash::FlashError&) {
        return 0;
    }
    player.Play();
    flash::Image image(64, 48);
    for (int frame = 0; frame < 4; ++frame) {
        player.Advance();
    }
    player.GotoFrame(0);
    player.GetVariable(L"_level0.a");
    player.Render(image);
    return 0;
}
