#pragma once

#include <wx/bitmap.h>
#include <wx/bmpbndl.h>

namespace standalone {

// The window's icon.
wxBitmapBundle PlayerIcon();
// The toolbar's images in button order (Stop, Pause, Play), each 24 by 24 pixels.
wxBitmap ToolbarImage(int index);

}  // namespace standalone
