#include "toolbar_motion.h"

namespace ui {

int NextToolbarBottom(int bottom, bool pinned, int cursorY) {
    if (pinned) {
        return bottom < kToolbarHeight ? kToolbarHeight : bottom;
    }
    if (cursorY >= kToolbarCursorLine) {
        return bottom > 0 ? bottom - 1 : bottom;
    }
    return bottom < kToolbarHeight ? bottom + 1 : bottom;
}

}  // namespace ui
