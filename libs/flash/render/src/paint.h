#pragma once

// Cairo sources for fill styles: solid colours, gradients and bitmaps, in device space.

#include <cairo.h>

#include <memory>

#include "bitmap_cache.h"
#include "flash/geom.h"
#include "flash/render/renderer.h"
#include "flash/swf/shape.h"

namespace flash::render {

// Owns one reference to a Cairo pattern.
class PatternRef {
  public:
    PatternRef() = default;
    explicit PatternRef(cairo_pattern_t* p) : pattern_(p) {}
    ~PatternRef();
    PatternRef(PatternRef&& other) noexcept : pattern_(other.pattern_) { other.pattern_ = nullptr; }
    PatternRef& operator=(PatternRef&& other) noexcept;
    cairo_pattern_t* get() const { return pattern_; }
    explicit operator bool() const { return pattern_ != nullptr; }

  private:
    cairo_pattern_t* pattern_ = nullptr;
};

// A source to paint with, and an extra opacity (bitmaps faded by a colour transform that only
// changes alpha are painted through it rather than recoloured).
struct Paint {
    PatternRef pattern;
    double alpha = 1;
};

// What painting a fill needs besides the style.
struct PaintContext {
    Quality quality = Quality::High;
    bool mask = false;  // drawing a mask: every fill is opaque
    BitmapCache* bitmaps = nullptr;
    const CharacterLookup* lookup = nullptr;
};

// The paint for `fill` on an object whose twips map to device pixels by `world`; an empty
// pattern when it paints nothing (an unknown bitmap, a gradient without records, no opacity).
Paint MakeFillPaint(const swf::FillStyle& fill, const Matrix& world, const ColorTransform& color,
                    const PaintContext& context);

Paint MakeSolidPaint(Rgba color, const ColorTransform& transform, const PaintContext& context);

// A bitmap whose pixels map to device pixels by `bitmapToDevice`.
Paint MakeBitmapPaint(const std::shared_ptr<const swf::Bitmap>& bitmap,
                      const Matrix& bitmapToDevice, bool repeat, bool smooth,
                      const ColorTransform& color, const PaintContext& context);

// The paint of a picture that is no bitmap character (a video frame), clamped at its edges,
// as MakeBitmapPaint paints one.
Paint MakeImagePaint(cairo_surface_t* surface, const Matrix& imageToDevice, bool smooth,
                     const ColorTransform& color, const PaintContext& context);

// The gradient pattern alone (exposed for tests): stops from the records under `color`, the
// gradient square mapped to device space by `gradientToDevice`.
PatternRef MakeGradient(const swf::FillStyle& fill, const Matrix& gradientToDevice,
                        const ColorTransform& color);

}  // namespace flash::render
