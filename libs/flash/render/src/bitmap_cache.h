#pragma once

// Decoded bitmaps as Cairo surfaces, made once per bitmap character, and the recoloured
// copies that colour transforms need.

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "flash/geom.h"
#include "flash/swf/bitmap.h"

namespace flash::render {

// Owns one reference to a Cairo surface.
class SurfaceRef {
  public:
    SurfaceRef() = default;
    explicit SurfaceRef(cairo_surface_t* s) : surface_(s) {}
    ~SurfaceRef();
    SurfaceRef(SurfaceRef&& other) noexcept : surface_(other.surface_) { other.surface_ = nullptr; }
    SurfaceRef& operator=(SurfaceRef&& other) noexcept;
    cairo_surface_t* get() const { return surface_; }

  private:
    cairo_surface_t* surface_ = nullptr;
};

// An image surface holding `image`, or null for an empty image.
SurfaceRef MakeSurface(const swf::Image& image);

// A copy of an ARGB32 surface with the colour transform applied to every pixel.
SurfaceRef Recolor(cairo_surface_t* source, const ColorTransform& color);

class BitmapCache {
  public:
    // The bitmap decoded, or null when it does not decode (it is not tried again).
    cairo_surface_t* Surface(const std::shared_ptr<const swf::Bitmap>& bitmap);
    // The bitmap with a colour transform applied; a few recent ones are kept.
    cairo_surface_t* Recolored(const std::shared_ptr<const swf::Bitmap>& bitmap,
                               const ColorTransform& color);
    // Drops the entries of bitmaps that no longer exist.
    void Sweep();
    void Clear();

  private:
    struct Entry {
        std::weak_ptr<const swf::Bitmap> owner;
        SurfaceRef surface;  // null when the bitmap does not decode
    };
    struct RecoloredEntry {
        const swf::Bitmap* key;
        std::weak_ptr<const swf::Bitmap> owner;
        ColorTransform color;
        SurfaceRef surface;
        std::uint64_t lastUse;
    };
    static constexpr std::size_t kMaxRecolored = 16;
    static constexpr std::size_t kMaxRecoloredBytes = 64u << 20;

    std::unordered_map<const swf::Bitmap*, Entry> entries_;
    std::vector<RecoloredEntry> recolored_;
    std::uint64_t clock_ = 0;
};

}  // namespace flash::render
