#pragma once

#include <memory>

#include "display/display_object.h"
#include "flash/render/pixel_bitmap.h"

namespace flash {

// A BitmapData a script attached to a clip: one bitmap pixel is 20 twips.
class BitmapObject final : public DisplayObject {
  public:
    BitmapObject(Runtime& runtime, std::shared_ptr<MovieData> movie,
                 std::shared_ptr<const render::PixelBitmap> bitmap, bool smoothing)
        : DisplayObject(runtime, std::move(movie), 0),
          bitmap_(std::move(bitmap)),
          smoothing_(smoothing) {}

    DisplayKind GetDisplayKind() const override { return DisplayKind::Graphic; }
    const render::PixelBitmap& Bitmap() const { return *bitmap_; }
    bool Smoothing() const { return smoothing_; }
    Rect LocalBounds() const override {
        return Rect{0, bitmap_->Width() * 20, 0, bitmap_->Height() * 20};
    }
    // Bitmaps are hit anywhere in their box.
    bool HitsPoint(Point p) const override {
        const Rect r = LocalBounds();
        return p.x >= r.xmin && p.x < r.xmax && p.y >= r.ymin && p.y < r.ymax;
    }

  private:
    std::shared_ptr<const render::PixelBitmap> bitmap_;
    bool smoothing_;
};

}  // namespace flash
