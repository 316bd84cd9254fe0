#include "stage/stage_transform.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace flash
