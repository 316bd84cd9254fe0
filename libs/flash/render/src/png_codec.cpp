// PNG inside DefineBitsJPEG2/3, read by Cairo (which also premultiplies it).

#include <cairo.h>

#include <cstring>

#include "image_codecs.h"

namespace flash::render::detail {
namespace {

struct Reader {
    std::span<const std::uint8_t> data;
    std::size_t pos = 0;
};

cairo_status_t Read(void* closure, unsigned char* out, unsigned int length) {
    auto* r = static_cast<Reader*>(closure);
    if (length > r->data.size() - r->pos) {
        return CAIRO_STATUS_READ_ERROR;
    }
    std::memcpy(out, r->data.data() + r->pos, length);
    r->pos += length;
    return CAIRO_STATUS_SUCCESS;
}

std::uint32_t Be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

std::optional<std::pair<int, int>> PngSize(std::span<const std::uint8_t> data) {
    // The signature, then the IHDR chunk: length, "IHDR", width, height.
    if (data.size() < 24 || std::memcmp(data.data() + 12, "IHDR", 4) != 0) {
        return std::nullopt;
    }
    const std::uint32_t w = Be32(data.data() + 16);
    const std::uint32_t h = Be32(data.data() + 20);
    if (w > 0x7FFFFFFF || h > 0x7FFFFFFF) {
        return std::nullopt;
    }
    return std::make_pair(int(w), int(h));
}

std::optional<Image> DecodePng(std::span<const std::uint8_t> data, std::string* error) {
    // Check the size first: the decoder would allocate whatever the header says.
    const auto size = PngSize(data);
    if (!size || size->first == 0 || size->second == 0) {
        Fail(error, "the PNG data has no valid header");
        return std::nullopt;
    }
    if (std::uint64_t(size->first) * std::uint64_t(size->second) > kMaxImagePixels) {
        Fail(error, "the bitmap is too large");
        return std::nullopt;
    }
    Reader reader{data};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(Read, &reader);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        Fail(error, "the PNG data is damaged");
        return std::nullopt;
    }
    cairo_surface_flush(surface);
    Image img;
    img.width = cairo_image_surface_get_width(surface);
    img.height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const cairo_format_t format = cairo_image_surface_get_format(surface);
    const unsigned char* pixels = cairo_image_surface_get_data(surface);
    img.pixels.resize(std::size_t(img.width) * img.height);
    for (int y = 0; y < img.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(pixels + std::size_t(y) * stride);
        std::uint32_t* out = img.pixels.data() + std::size_t(y) * img.width;
        for (int x = 0; x < img.width; ++x) {
            // RGB24 leaves the alpha byte undefined.
            out[x] = format == CAIRO_FORMAT_RGB24 ? (row[x] | 0xFF000000u) : row[x];
        }
    }
    cairo_surface_destroy(surface);
    return img;
}

}  // namespace flash::render::detail
