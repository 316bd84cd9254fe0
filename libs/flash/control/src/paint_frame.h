#pragma once

class wxDC;

namespace flash {

class Image;

// Draws a rendered frame at the top left of a device context in one blit: straight through
// Cairo where the context is a Cairo one (GTK 3), through a bitmap otherwise.
void PaintFrame(wxDC& dc, const Image& frame);

}  // namespace flash
