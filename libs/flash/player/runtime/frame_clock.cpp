#include "runtime/frame_clock.h"

#include <algorithm>
#include <cmath>

namespace flash {

FrameClock::FrameClock(double framesPerSecond)
    : periodMs_(1000.0 / std::clamp(framesPerSecond, 0.01, 1000.0)) {}

int FrameClock::FramesDue(double elapsedMs, std::int64_t framesRun) const {
    if (!(elapsedMs > 0)) {
        return 0;
    }
    double owed = std::floor(elapsedMs / periodMs_) - static_cast<double>(framesRun);
    return static_cast<int>(std::clamp(owed, 0.0, static_cast<double>(kMaxCatchUp)));
}

bool FrameClock::FallenBehind(double elapsedMs, std::int64_t framesRun) const {
    return std::floor(elapsedMs / periodMs_) - static_cast<double>(framesRun) > kMaxCatchUp;
}

double FrameClock::MsUntilNextFrame(double elapsedMs, std::int64_t framesRun) const {
    const double next = static_cast<double>(framesRun + 1) * periodMs_;
    return std::max(0.0, next - elapsedMs);
}

int NextTickMs(const FrameClock& clock, double elapsedMs, std::int64_t framesRun) {
    const double ms = std::ceil(clock.MsUntilNextFrame(elapsedMs, framesRun));
    return static_cast<int>(std::clamp(ms, 1.0, 100.0));
}

}  // namespace flash
