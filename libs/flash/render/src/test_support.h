#pragma once

// Fixtures for the renderer's tests: shapes built in code and a canvas to read pixels from.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "flash/render/renderer.h"

namespace flash::render::testing {

constexpr double kTwips = 20;

// A straight edge; coordinates in pixels (stored as twips).
swf::Edge Line(double x0, double y0, double x1, double y1, std::uint16_t fill0, std::uint16_t fill1,
               std::uint16_t line = 0);
// A quadratic curve; coordinates in pixels.
swf::Edge Curve(double x0, double y0, double cx, double cy, double x1, double y1,
                std::uint16_t fill0, std::uint16_t fill1, std::uint16_t line = 0);
// A rectangle walked clockwise on screen with `fill` on its inside (fill1) and `line`.
std::vector<swf::Edge> Rect(double x0, double y0, double x1, double y1, std::uint16_t fill,
                            std::uint16_t line = 0);

swf::FillStyle Solid(Rgba c);
swf::LineStyle Stroke(double widthPx, Rgba c);

// A one-layer shape from styles and edges.
std::shared_ptr<const swf::Shape> MakeShape(std::vector<swf::FillStyle> fills,
                                            std::vector<swf::LineStyle> lines,
                                            std::vector<swf::Edge> edges);

// Characters by id, for bitmap fills and fonts.
class Library {
  public:
    void Add(std::uint16_t id, swf::Character c) { chars_[id] = std::move(c); }
    CharacterLookup Lookup() const;

  private:
    std::map<std::uint16_t, swf::Character> chars_;
};

// A lossless bitmap (32-bit ARGB, straight alpha) from rows of 0xAARRGGBB pixels.
std::shared_ptr<const swf::Bitmap> MakeBitmap(int width, int height,
                                              const std::vector<std::uint32_t>& argb);

// Pixels drawn by a renderer; the matrix placing objects is twips to pixels unless given.
class Canvas {
  public:
    Canvas(int width, int height, Rgba background = {255, 255, 255, 255},
           Quality quality = Quality::High);

    Renderer& Begin();  // starts a frame and returns the renderer
    void End();

    // Straight colour of a pixel.
    Rgba At(int x, int y) const;
    std::uint32_t Raw(int x, int y) const { return pixels_[std::size_t(y) * width_ + x]; }
    // For a person to look at when a test fails.
    void SavePng(const std::string& name) const;

    Renderer renderer;
    FrameOptions options;

  private:
    int width_, height_;
    std::vector<std::uint32_t> pixels_;
};

Transform Pixels(const Matrix& placement = {});  // twips to pixels after `placement`

// Colour within `tolerance` per channel.
bool Near(Rgba a, Rgba b, int tolerance = 2);
std::string Describe(Rgba c);

}  // namespace flash::render::testing
