#pragma once

// Gradient fills drawn the way Flash draws them: every covered pixel looks its colour up in
// the gradient's 256-entry table. The shape's coverage is rasterised into an alpha mask with
// the context's anti-aliasing, the table colours are written under it, and the two are
// composited in one step, which is several times cheaper than Cairo's own gradients.

#include <cairo.h>

#include <cstdint>
#include <vector>

#include "flash/geom.h"
#include "flash/swf/shape.h"
#include "gradient_table.h"
#include "path.h"

namespace flash::render {

// A device rectangle to shade: the pixels at (x0, y0), `width` x `height`, go to `out`
// (`stride` pixels per row); only pixels whose `coverage` byte is not 0 are needed.
struct ShadeArea {
    int x0, y0, width, height;
    std::uint32_t* out;
    int stride;
    const std::uint8_t* coverage;
    int coverageStride;
};

// Writes the table colours of the gradient `fill` over `area`, the entry each pixel's centre
// falls in, as Flash looks them up; `deviceToGradient` maps device pixels into the gradient square.
// Pixels of uncovered runs at the ends of a row are left as they are. `positions` is scratch.
void ShadeGradient(const ColorTable& table, const swf::FillStyle& fill,
                   const Matrix& deviceToGradient, const ShadeArea& area,
                   std::vector<float>& positions);

// Fills paths with gradients on a Cairo context; keeps its scratch buffers (at most the size
// of the largest area filled, which the clip keeps within the frame) and the colour tables.
class GradientFiller {
  public:
    // Fills `path` (twips, mapped to the device by `world`) with the gradient `fill` under
    // `color`, through the context's clip, operator and anti-aliasing. False when the
    // gradient cannot be drawn this way (no records, a matrix that collapses it): the caller
    // paints it otherwise.
    bool Fill(cairo_t* cr, const Path& path, const Matrix& world, cairo_fill_rule_t rule,
              const swf::FillStyle& fill, const ColorTransform& color);
    // Frees the scratch buffers and the tables.
    void Clear();

  private:
    ColorTableCache tables_;
    std::vector<std::uint8_t> coverage_;
    std::vector<std::uint32_t> shade_;
    std::vector<float> positions_;
};

}  // namespace flash::render
