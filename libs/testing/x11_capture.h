#pragma once

#include <cstdint>
#include <vector>

namespace tovi::testing {

// Reads a rectangle of the X server's screen as RGB bytes (three a pixel, row by row). False
// when there is no X display or the rectangle cannot be read.
bool CaptureX11Screen(int x, int y, int width, int height, std::vector<std::uint8_t>* rgb);

}  // namespace tovi::testing
