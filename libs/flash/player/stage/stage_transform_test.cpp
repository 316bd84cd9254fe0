#include "stage/stage_transform.h"

#include <gtest/gtest.h>

#include "runtime/frame_clock.h"

namespace flash {
namespace {

TEST(StageTransformTest, ScaleModes) {
    const Rect stage{0, 11000, 0, 8000};  // 550 x 400
    struct Case {
        int mode, width, height;
        double sx, sy, tx, ty;  // pixels per stage pixel, offset in pixels
    } cases[] = {
        {0, 1100, 400, 1.0, 1.0, 275, 0},    // show all: letterboxed left and right
        {0, 550, 800, 1.0, 1.0, 0, 200},     //   and top and bottom
        {1, 1100, 400, 2.0, 2.0, 0, -200},   // no border: filled, cropped
        {2, 1100, 400, 2.0, 1.0, 0, 0},      // exact fit: stretched
        {3, 1100, 800, 1.0, 1.0, 275, 200},  // no scale: centred
        {3, 275, 200, 1.0, 1.0, -137.5, -100},
        {9, 1100, 400, 1.0, 1.0, 275, 0},  // unknown modes show all
        {-1, 1100, 400, 1.0, 1.0, 275, 0},
    };
    for (const auto& c : cases) {
        Matrix m = StageTransform(stage, c.width, c.height, c.mode);
        Point origin = m.Apply(Point{0, 0});
        Point corner = m.Apply(Point{11000, 8000});
        EXPECT_NEAR(origin.x, c.tx, 1e-9) << c.mode << " " << c.width << "x" << c.height;
        EXPECT_NEAR(origin.y, c.ty, 1e-9) << c.mode;
        EXPECT_NEAR(corner.x - origin.x, 550 * c.sx, 1e-9) << c.mode;
        EXPECT_NEAR(corner.y - origin.y, 400 * c.sy, 1e-9) << c.mode;
    }
    // A stage that does not start at 0 is moved to the view's origin.
    Matrix m = StageTransform(Rect{-200, 10800, 400, 8400}, 550, 400, 0);
    EXPECT_NEAR(m.Apply(Point{-200, 400}).x, 0, 1e-9);
    EXPECT_NEAR(m.Apply(Point{-200, 400}).y, 0, 1e-9);
}

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
