#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace standalone {

// What an update leaves on a menu item or tool: each part only when the rule sets it.
struct CommandState {
    std::optional<bool> enable;
    std::optional<bool> check;
    bool operator==(const CommandState&) const = default;
};

// The player window's state as its update rules see it. The control's scale mode and
// quality are asked only by the items that show them; none when the control cannot tell.
struct CommandInputs {
    bool hasMovie = false;
    bool bareStub = false;
    bool extracting = false;
    std::uint32_t volume = 50;
    std::uint32_t previousVolume = 50;
    std::function<std::optional<long>()> scaleMode;
    std::function<std::optional<std::string>()> quality;
};

// The update rule of command `id`; items without a rule keep their state.
CommandState RuleFor(int id, const CommandInputs& in);

}  // namespace standalone
