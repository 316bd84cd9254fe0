#pragma once

#include <wx/bitmap.h>

#include <map>

// The image strips of ToviFlash, rendered from the embedded SVG icon set: strip 112 (the
// application button, 27 by 27), 311 and 312 (the "正在播放" category, 17 images at 16 and
// 32 pixels) and 316 and 315 (everything else, 32 images at 16 and 32 pixels). An index
// counts from 0 in a strip of equal-sized images, left to right.
namespace res {

struct StripInfo {
    int imageSize;  // square images
    int imageCount;
};

// Size and count of a strip; {0, 0} for an unknown bitmap id.
StripInfo StripInfoOf(int bitmapId);

class ImageStrips {
  public:
    // The whole strip (imageCount images side by side); null for an unknown id.
    const wxBitmap& Strip(int bitmapId);
    // One image of a strip; null for an unknown id or an index out of range.
    wxBitmap Image(int bitmapId, int index);

  private:
    std::map<int, wxBitmap> strips_;
    std::map<std::pair<int, int>, wxBitmap> images_;
};

}  // namespace res
