// Feeds arbitrary text to the input.json reader: it reads events or refuses the text with
// InputError, and what it reads is within what the replay hands to the player.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "input_events.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        for (const replay::InputEvent& e : replay::ParseInputEvents(text)) {
            if (e.character > 0x10FFFF || e.name.empty() || e.x != e.x || e.y != e.y) {
                std::abort();
            }
        }
    } catch (const replay::InputError&) {
    }
    return 0;
}
