#pragma once

// The pixels of a script's BitmapData: premultiplied ARGB32 as the renderer draws them, with
// Flash's rounding where straight colours go in and come out. Needs no window.

#include <cstdint>
#include <optional>

#include "flash/geom.h"
#include "flash/render/renderer.h"
#include "flash/swf/bitmap.h"

namespace flash::render {

// Straight ARGB to premultiplied and back, rounded as Flash rounds them.
std::uint32_t Premultiply(std::uint32_t argb);
std::uint32_t Unpremultiply(std::uint32_t premultiplied);

class PixelBitmap {
  public:
    // Sizes a script may ask for: up to 2880 pixels a side before SWF 10, then 8191 a side
    // and about 16 million pixels in all. Checked before anything is allocated.
    static bool SizeAllowed(double width, double height, int swfVersion);

    // A bitmap of a size SizeAllowed accepts, filled with `argb` (opaque bitmaps ignore its
    // alpha).
    PixelBitmap(int width, int height, bool transparent, std::uint32_t argb);
    // A decoded image (premultiplied ARGB32); an opaque bitmap drops its alpha.
    PixelBitmap(swf::Image image, bool transparent);

    int Width() const { return image_.width; }
    int Height() const { return image_.height; }
    bool Transparent() const { return transparent_; }
    // The pixels for drawing: premultiplied ARGB32, rows of Width() pixels.
    const swf::Image& Image() const { return image_; }
    // Counts changes: equal revisions hold equal pixels.
    std::uint64_t Revision() const { return revision_; }
    // The premultiplied pixels for an operation that changes them (counts as a change).
    swf::Image& Edit() {
        ++revision_;
        return image_;
    }
    // What a straight colour is stored as here: premultiplied, or opaque without alpha.
    std::uint32_t Stored(std::uint32_t argb) const;

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }
    // Straight ARGB; 0 outside the bitmap.
    std::uint32_t GetPixel32(int x, int y) const;
    // Outside the bitmap nothing happens.
    void SetPixel32(int x, int y, std::uint32_t argb);
    // The colour only; the pixel keeps its alpha.
    void SetPixel(int x, int y, std::uint32_t rgb);
    // The rectangle clipped to the bitmap; nullopt when nothing is left.
    std::optional<PixelRect> Clip(PixelRect r) const;
    void FillRect(PixelRect r, std::uint32_t argb);
    // Fills the area of pixels of the colour at x, y that touch it, with `argb`.
    void FloodFill(int x, int y, std::uint32_t argb);
    // Copies `from` (clipped to `source`) to `to` in this bitmap; with `mergeAlpha` the
    // copied pixels are drawn over what is there instead of replacing it.
    void CopyPixels(const PixelBitmap& source, PixelRect from, int toX, int toY, bool mergeAlpha);
    // Flash's colour transform of stored pixels: multipliers in 8.8 fixed point, pixels with no
    // alpha untouched, and a transform that only raises alpha doing nothing.
    void ApplyColorTransform(PixelRect r, const ColorTransform& color);
    // Draws a premultiplied layer of this bitmap's size over it, only inside `clip` when given.
    void DrawOver(const swf::Image& layer, std::optional<PixelRect> clip);
    // The smallest rectangle holding every pixel whose (pixel & mask) == colour, both
    // premultiplied in a transparent bitmap and without alpha in an opaque one, as Flash
    // compares them, or with
    // `!find` every pixel where it does not; empty (width 0) when there is none.
    PixelRect ColorBounds(std::uint32_t mask, std::uint32_t color, bool find) const;

  private:
    std::uint32_t& At(int x, int y) { return image_.pixels[std::size_t(y) * Width() + x]; }
    std::uint32_t At(int x, int y) const { return image_.pixels[std::size_t(y) * Width() + x]; }

    swf::Image image_;
    bool transparent_;
    std::uint64_t revision_ = 0;
};

}  // namespace flash::render
