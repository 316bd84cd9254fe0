#include "test_support.h"

#include <cairo.h>
#include <zlib.h>

#include <cstdlib>
#include <sstream>

#include "tovi/testing/files.h"

namespace flash::render::testing {

swf::Edge Line(double x0, double y0, double x1, double y1, std::uint16_t fill0, std::uint16_t fill1,
               std::uint16_t line) {
    swf::Edge e;
    e.from = {x0 * kTwips, y0 * kTwips};
    e.to = {x1 * kTwips, y1 * kTwips};
    e.control = {(e.from.x + e.to.x) / 2, (e.from.y + e.to.y) / 2};
    e.fill0 = fill0;
    e.fill1 = fill1;
    e.line = line;
    return e;
}

swf::Edge Curve(double x0, double y0, double cx, double cy, double x1, double y1,
                std::uint16_t fill0, std::uint16_t fill1, std::uint16_t line) {
    swf::Edge e = Line(x0, y0, x1, y1, fill0, fill1, line);
    e.control = {cx * kTwips, cy * kTwips};
    e.curved = true;
    return e;
}

std::vector<swf::Edge> Rect(double x0, double y0, double x1, double y1, std::uint16_t fill,
                            std::uint16_t line) {
    return {Line(x0, y0, x1, y0, 0, fill, line), Line(x1, y0, x1, y1, 0, fill, line),
            Line(x1, y1, x0, y1, 0, fill, line), Line(x0, y1, x0, y0, 0, fill, line)};
}

swf::FillStyle Solid(Rgba c) {
    swf::FillStyle f;
    f.color = c;
    return f;
}

swf::LineStyle Stroke(double widthPx, Rgba c) {
    swf::LineStyle l;
    l.width = static_cast<std::uint16_t>(widthPx * kTwips);
    l.color = c;
    return l;
}

std::shared_ptr<const swf::Shape> MakeShape(std::vector<swf::FillStyle> fills,
                                            std::vector<swf::LineStyle> lines,
                                            std::vector<swf::Edge> edges) {
    auto shape = std::make_shared<swf::Shape>();
    shape->layers.push_back({std::move(fills), std::move(lines), std::move(edges)});
    return shape;
}

CharacterLookup Library::Lookup() const {
    return [this](std::uint16_t id) -> const swf::Character* {
        auto it = chars_.find(id);
        return it == chars_.end() ? nullptr : &it->second;
    };
}

std::shared_ptr<const swf::Bitmap> MakeBitmap(int width, int height,
                                              const std::vector<std::uint32_t>& argb) {
    // DefineBitsLossless2 format 5: zlib of ARGB bytes (premultiplied as stored in files).
    std::vector<std::uint8_t> raw;
    for (std::uint32_t p : argb) {
        const unsigned a = p >> 24;
        auto pre = [a](unsigned v) { return static_cast<std::uint8_t>((v * a + 127) / 255); };
        raw.push_back(static_cast<std::uint8_t>(a));
        raw.push_back(pre((p >> 16) & 0xFF));
        raw.push_back(pre((p >> 8) & 0xFF));
        raw.push_back(pre(p & 0xFF));
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    auto bitmap = std::make_shared<swf::Bitmap>();
    bitmap->data.resize(size);
    if (compress(bitmap->data.data(), &size, raw.data(), static_cast<uLong>(raw.size())) != Z_OK) {
        std::abort();
    }
    bitmap->data.resize(size);
    bitmap->kind = swf::BitmapKind::Lossless2;
    bitmap->format = 5;
    bitmap->width = static_cast<std::uint16_t>(width);
    bitmap->height = static_cast<std::uint16_t>(height);
    return bitmap;
}

Canvas::Canvas(int width, int height, Rgba background, Quality quality)
    : width_(width), height_(height), pixels_(std::size_t(width) * height) {
    options.background = background;
    options.quality = quality;
}

Renderer& Canvas::Begin() {
    renderer.BeginFrame(pixels_.data(), width_, height_, width_ * 4, options);
    return renderer;
}

void Canvas::End() {
    renderer.EndFrame();
}

Rgba Canvas::At(int x, int y) const {
    const std::uint32_t p = Raw(x, y);
    const unsigned a = p >> 24;
    if (a == 0) {
        return {0, 0, 0, 0};
    }
    auto un = [a](unsigned v) { return static_cast<std::uint8_t>((v * 255 + a / 2) / a); };
    return {un((p >> 16) & 0xFF), un((p >> 8) & 0xFF), un(p & 0xFF), static_cast<std::uint8_t>(a)};
}

void Canvas::SavePng(const std::string& name) const {
    cairo_surface_t* s = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(pixels_.data())),
        CAIRO_FORMAT_ARGB32, width_, height_, width_ * 4);
    cairo_surface_write_to_png(s, tovi::testing::ScreenshotPath(name + ".png").c_str());
    cairo_surface_destroy(s);
}

Transform Pixels(const Matrix& placement) {
    return {Matrix::Scale(1 / kTwips, 1 / kTwips) * placement, {}};
}

bool Near(Rgba a, Rgba b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

std::string Describe(Rgba c) {
    std::ostringstream s;
    s << "rgba(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << "," << int(c.a) << ")";
    return s.str();
}

}  // namespace flash::render::testing
