#include "runtime/frame_clock.h"

#include <gtest/gtest.h>

namespace flash {
namespace {

TEST(FrameClockTest, FramesDueCatchUpAndFallBehind) {
    FrameClock clock(25);  // 40 ms frames
    struct Case {
        double elapsed;
        int run;
        int due;
        bool behind;
    } cases[] = {
        {0, 0, 0, false},   {39, 0, 0, false},  {40, 0, 1, false}, {41, 1, 0, false},
        {125, 1, 2, false}, {160, 1, 3, false}, {400, 1, 3, true}, {-5, 0, 0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(clock.FramesDue(c.elapsed, c.run), c.due) << c.elapsed;
        EXPECT_EQ(clock.FallenBehind(c.elapsed, c.run + c.due), c.behind) << c.elapsed;
    }
    // The timer wakes at the next frame's time, within 1..100 ms.
    EXPECT_EQ(NextTickMs(clock, 0, 0), 40);
    EXPECT_EQ(NextTickMs(clock, 41.5, 1), 39);
    EXPECT_EQ(NextTickMs(clock, 90, 1), 1);  // already due
    EXPECT_EQ(NextTickMs(FrameClock(0.5), 0, 0), 100);
    EXPECT_EQ(NextTickMs(FrameClock(1000), 0, 0), 1);
}

}  // namespace
}  // namespace flash
