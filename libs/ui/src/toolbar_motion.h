#pragma once

// How the full-screen toolbar follows the cursor, one tick at a time, apart from any window.
namespace ui {

inline constexpr int kToolbarHeight = 30;
// Below this cursor line (y in the full-screen window) the toolbar shows, from it on it hides.
inline constexpr int kToolbarCursorLine = 200;
// Ticks (of 20 ms) during which the toolbar stays as it is: the first 3 seconds.
inline constexpr unsigned kToolbarHoldTicks = 150;

// The toolbar's bottom edge after one tick: pinned, it comes back to its full height at once;
// otherwise it moves one pixel towards hidden (0) or fully shown (30).
int NextToolbarBottom(int bottom, bool pinned, int cursorY);

}  // namespace ui
