#pragma once

// Small pieces the data movies share: pixel lengths in twips, circles, placing.

#include <cmath>
#include <cstdint>

#include "flash/geom.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"

namespace data_movies {

inline constexpr int kTwips = 20;

// Pixels to twips.
constexpr std::int32_t T(double px) {
    return static_cast<std::int32_t>(std::lround(px * kTwips));
}

// A circle of radius r around (cx, cy) from eight quadratic curves.
void Circle(swfgen::ShapeBuilder& s, double cx, double cy, double r);

swfgen::Place Put(std::uint16_t depth, std::uint16_t id, const flash::Matrix& m = {});

flash::Matrix ScaledAt(double scale, double x, double y);

}  // namespace data_movies
