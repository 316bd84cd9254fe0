#pragma once

#include <cstdint>

namespace flash {

// Turns wall-clock time into frames of the movie's clock: how many frames are due at a moment,
// with a bounded catch-up so a slow frame never makes the player race.
class FrameClock {
  public:
    static constexpr int kMaxCatchUp = 3;

    explicit FrameClock(double framesPerSecond);
    double PeriodMs() const { return periodMs_; }
    // Frames to run now (0..kMaxCatchUp) when `framesRun` have run `elapsedMs` after start.
    int FramesDue(double elapsedMs, std::int64_t framesRun) const;
    // More than kMaxCatchUp frames behind even after running `framesRun`.
    bool FallenBehind(double elapsedMs, std::int64_t framesRun) const;
    // Milliseconds from `elapsedMs` until the frame after `framesRun` is due (0 when it is).
    double MsUntilNextFrame(double elapsedMs, std::int64_t framesRun) const;

  private:
    double periodMs_;
};

// When a timer that wakes for each frame is to fire next: at the next frame's time, rounded
// up to whole milliseconds, within 1..100 ms.
int NextTickMs(const FrameClock& clock, double elapsedMs, std::int64_t framesRun);

}  // namespace flash
