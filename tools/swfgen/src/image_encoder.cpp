#include "swfgen/image_encoder.h"

// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <cairo.h>
#include <jpeglib.h>
#include <zlib.h>
#include <stdexcept>

namespace swfgen {
namespace {

void ThrowOnError(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    throw std::runtime_error(message);
}

// Writes the tables, the image or both, as libjpeg's memory destination gives them.
Bytes Jpeg(const Pixels& image, int quality, bool tables, bool scan) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    err.error_exit = ThrowOnError;
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (!scan) {
        jpeg_write_tables(&cinfo);
    } else {
        if (!tables) {
            jpeg_suppress_tables(&cinfo, TRUE);
        }
        jpeg_start_compress(&cinfo, tables ? TRUE : FALSE);
        std::vector<unsigned char> row(std::size_t(image.width) * 3);
        while (cinfo.next_scanline < cinfo.image_height) {
            const std::uint32_t* p =
                image.argb.data() + std::size_t(cinfo.next_scanline) * image.width;
            for (int x = 0; x < image.width; ++x) {
                row[x * 3] = (p[x] >> 16) & 0xFF;
                row[x * 3 + 1] = (p[x] >> 8) & 0xFF;
                row[x * 3 + 2] = p[x] & 0xFF;
            }
            JSAMPROW rows[1] = {row.data()};
            jpeg_write_scanlines(&cinfo, rows, 1);
        }
        jpeg_finish_compress(&cinfo);
    }
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
    auto* out = static_cast<Bytes*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

}  // namespace

Bytes EncodeJpeg(const Pixels& image, int quality) {
    return Jpeg(image, quality, true, true);
}

std::pair<Bytes, Bytes> EncodeJpegSplit(const Pixels& image, int quality) {
    return {Jpeg(image, quality, true, false), Jpeg(image, quality, false, true)};
}

Bytes EncodePng(const Pixels& image) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * stride);
        for (int x = 0; x < image.width; ++x) {
            // Cairo keeps premultiplied pixels and writes straight alpha.
            const std::uint32_t p = image.argb[std::size_t(y) * image.width + x];
            const std::uint32_t a = p >> 24;
            auto mul = [a](std::uint32_t c) { return (c * a + 127) / 255; };
            row[x] =
                a << 24 | mul((p >> 16) & 0xFF) << 16 | mul((p >> 8) & 0xFF) << 8 | mul(p & 0xFF);
        }
    }
    cairo_surface_mark_dirty(surface);
    Bytes out;
    const cairo_status_t status = cairo_surface_write_to_png_stream(surface, Append, &out);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("PNG encoding failed");
    }
    return out;
}

Bytes Compress(std::span<const std::uint8_t> data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9) != Z_OK) {
        throw std::runtime_error("zlib compression failed");
    }
    out.resize(size);
    return out;
}

}  // namespace swfgen
