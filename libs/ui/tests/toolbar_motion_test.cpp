#include "toolbar_motion.h"

#include <gtest/gtest.h>

namespace {

struct MotionCase {
    const char* name;
    int bottom;
    bool pinned;
    int cursorY;
    int expected;
};

TEST(ToolbarMotion, OneTick) {
    const MotionCase cases[] = {
        {"cursor on the line hides", 30, false, 200, 29},
        {"cursor below the line hides", 12, false, 900, 11},
        {"hidden stays hidden", 0, false, 200, 0},
        {"cursor above the line shows", 29, false, 199, 30},
        {"cursor at the top shows", 0, false, 0, 1},
        {"shown stays shown", 30, false, 199, 30},
        {"pinned comes back at once", 3, true, 900, 30},
        {"pinned and shown stays", 30, true, 900, 30},
    };
    for (const MotionCase& c : cases) {
        EXPECT_EQ(ui::NextToolbarBottom(c.bottom, c.pinned, c.cursorY), c.expected) << c.name;
    }
}

TEST(ToolbarMotion, HidingAndShowingTakeThirtyTicks) {
    int bottom = ui::kToolbarHeight;
    int ticks = 0;
    for (; bottom > 0; ++ticks) {
        bottom = ui::NextToolbarBottom(bottom, false, 500);
    }
    EXPECT_EQ(ticks, 30);
    for (ticks = 0; bottom < ui::kToolbarHeight; ++ticks) {
        bottom = ui::NextToolbarBottom(bottom, false, 10);
    }
    EXPECT_EQ(ticks, 30);
}

}  // namespace
