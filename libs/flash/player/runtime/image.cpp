#include "flash/player/image.h"

#include <cairo.h>

#include <algorithm>
#include <memory>
#include <string>

#include "flash/player/flash_error.h"

namespace flash {

Image::Image(int width, int height, std::uint32_t fill) {
    if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide) {
        throw FlashError("image size out of range: " + std::to_string(width) + " x " +
                         std::to_string(height));
    }
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

void Image::Fill(std::uint32_t argb) {
    std::fill(pixels_.begin(), pixels_.end(), argb);
}

StraightRgba Unpremultiply(std::uint32_t argb) {
    StraightRgba out;
    out.a = static_cast<std::uint8_t>(argb >> 24);
    auto channel = [&](int shift) -> std::uint8_t {
        unsigned v = (argb >> shift) & 0xFF;
        if (out.a == 0) {
            return 0;
        }
        return static_cast<std::uint8_t>(std::min(255u, (v * 255 + out.a / 2) / out.a));
    };
    out.r = channel(16);
    out.g = channel(8);
    out.b = channel(0);
    return out;
}

namespace {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

}  // namespace

void WritePng(const Image& image, const std::filesystem::path& file) {
    if (image.Empty()) {
        throw FlashError("cannot write an empty image to " + file.string());
    }
    SurfacePtr surface(cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(image.Data())),
        CAIRO_FORMAT_ARGB32, image.Width(), image.Height(), image.Stride()));
    cairo_status_t status = cairo_surface_write_to_png(surface.get(), file.string().c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        throw FlashError("cannot write " + file.string() + ": " + cairo_status_to_string(status));
    }
}

Image ReadPng(const std::filesystem::path& file) {
    SurfacePtr surface(cairo_image_surface_create_from_png(file.string().c_str()));
    cairo_status_t status = cairo_surface_status(surface.get());
    if (status != CAIRO_STATUS_SUCCESS) {
        throw FlashError("cannot read " + file.string() + ": " + cairo_status_to_string(status));
    }
    int width = cairo_image_surface_get_width(surface.get());
    int height = cairo_image_surface_get_height(surface.get());
    Image image(width, height);
    // Whatever format the file had, draw it into an ARGB32 surface of our own layout.
    SurfacePtr target(
        cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(image.Data()),
                                            CAIRO_FORMAT_ARGB32, width, height, image.Stride()));
    cairo_t* cr = cairo_create(target.get());
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface.get(), 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target.get());
    return image;
}

}  // namespace flash
