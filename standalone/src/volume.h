#pragma once

#include <cstdint>
#include <functional>

namespace standalone {

// The player's volume in percent (0 is muted) and the level before the last change. Each
// change goes to the output as a 16-bit level on both channels.
class Volume {
  public:
    // Receives the wave-out value: the 16-bit level in the low (left) and high (right) half.
    using Output = std::function<void(std::uint32_t)>;

    explicit Volume(Output output) : output_(std::move(output)) {}

    // Sets level `percent`; above 100 counts as 50.
    void SetLevel(std::uint32_t percent);
    // Mutes, or brings back the level from before muting.
    void ToggleMute();
    // Sends the current level to the output again (at start).
    void Apply() const;

    std::uint32_t level() const { return level_; }
    std::uint32_t previous() const { return previous_; }
    bool muted() const { return level_ == 0; }

    // The wave-out value for a level in percent.
    static std::uint32_t WaveValue(std::uint32_t percent);

  private:
    Output output_;
    std::uint32_t level_ = 50;
    std::uint32_t previous_ = 50;
};

}  // namespace standalone
