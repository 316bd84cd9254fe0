// Bitmap decoding to premultiplied ARGB32: JPEG (with JPEGTables and the alpha plane of
// DefineBitsJPEG3/4), PNG and GIF inside the JPEG tags, and the zlib lossless formats.

#include "flash/render/bitmap_decode.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "image_codecs.h"

namespace flash::render {

using swf::Bitmap;
using swf::BitmapKind;
using swf::Image;
using swf::kMaxImagePixels;
namespace {

using detail::Fail;

bool StartsWith(std::span<const std::uint8_t> data, std::initializer_list<std::uint8_t> magic) {
    return data.size() >= magic.size() && std::equal(magic.begin(), magic.end(), data.begin());
}

bool IsPng(std::span<const std::uint8_t> data) {
    return StartsWith(data, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
}

bool IsGif(std::span<const std::uint8_t> data) {
    return StartsWith(data, {'G', 'I', 'F', '8'});
}

std::uint32_t Pack(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

// Inflates exactly `size` bytes, growing with the data rather than trusting the size.
bool InflateExactly(std::span<const std::uint8_t> in, std::size_t size,
                    std::vector<std::uint8_t>& out) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        return false;
    }
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    out.clear();
    int rc = Z_OK;
    while (out.size() < size) {
        const std::size_t old = out.size();
        const std::size_t grow = std::min<std::size_t>(size - old, 256 * 1024);
        out.resize(old + grow);
        z.next_out = out.data() + old;
        z.avail_out = static_cast<uInt>(grow);
        rc = inflate(&z, Z_NO_FLUSH);
        out.resize(old + grow - z.avail_out);
        if (rc == Z_STREAM_END || (rc != Z_OK && rc != Z_BUF_ERROR) ||
            (rc == Z_BUF_ERROR && z.avail_in == 0)) {
            break;
        }
    }
    inflateEnd(&z);
    return out.size() == size;
}

bool CheckSize(std::uint64_t width, std::uint64_t height, std::string* error) {
    if (width == 0 || height == 0) {
        return Fail(error, "the bitmap has no pixels");
    }
    if (width * height > kMaxImagePixels) {
        return Fail(error, "the bitmap is too large");
    }
    return true;
}

std::optional<Image> DecodeLossless(const Bitmap& b, std::string* error) {
    if (!CheckSize(b.width, b.height, error)) {
        return std::nullopt;
    }
    const bool alpha = b.kind == BitmapKind::Lossless2;
    const std::size_t w = b.width;
    const std::size_t h = b.height;
    std::size_t tableBytes = 0;
    std::size_t stride = 0;
    switch (b.format) {
        case 3:
            tableBytes = std::size_t(b.colorTableSize) * (alpha ? 4 : 3);
            stride = (w + 3) & ~std::size_t(3);
            break;
        case 4:
            if (alpha) {
                Fail(error, "15-bit pixels have no alpha form");
                return std::nullopt;
            }
            stride = (w * 2 + 3) & ~std::size_t(3);
            break;
        case 5:
            stride = w * 4;
            break;
        default:
            Fail(error, "unknown lossless bitmap format");
            return std::nullopt;
    }
    std::vector<std::uint8_t> raw;
    if (!InflateExactly(b.data, tableBytes + stride * h, raw)) {
        Fail(error, "the bitmap's compressed data is damaged or short");
        return std::nullopt;
    }
    Image img;
    img.width = b.width;
    img.height = b.height;
    img.pixels.resize(w * h);
    std::uint32_t* out = img.pixels.data();
    const std::uint8_t* rows = raw.data() + tableBytes;
    if (b.format == 3) {
        std::uint32_t table[256] = {};  // indexes past the table are transparent
        for (std::size_t i = 0; i < b.colorTableSize; ++i) {
            const std::uint8_t* e = raw.data() + i * (alpha ? 4 : 3);
            // Lossless2 entries are stored premultiplied, as Flash writes them.
            table[i] = alpha ? Pack(e[3], e[0], e[1], e[2]) : Pack(255, e[0], e[1], e[2]);
        }
        for (std::size_t y = 0; y < h; ++y) {
            for (std::size_t x = 0; x < w; ++x) {
                *out++ = table[rows[y * stride + x]];
            }
        }
    } else if (b.format == 4) {
        for (std::size_t y = 0; y < h; ++y) {
            for (std::size_t x = 0; x < w; ++x) {
                const std::uint8_t* p = rows + y * stride + x * 2;
                const unsigned v = unsigned(p[0]) << 8 | p[1];
                const unsigned r = (v >> 10) & 0x1F;
                const unsigned g = (v >> 5) & 0x1F;
                const unsigned bl = v & 0x1F;
                *out++ = Pack(255, r << 3 | r >> 2, g << 3 | g >> 2, bl << 3 | bl >> 2);
            }
        }
    } else {
        for (std::size_t i = 0; i < w * h; ++i) {
            const std::uint8_t* p = rows + i * 4;
            // ARGB, premultiplied in Lossless2; the first byte is padding in Lossless.
            *out++ = Pack(alpha ? p[0] : 255, p[1], p[2], p[3]);
        }
    }
    return img;
}

// JPEG3/4: the alpha plane multiplies nothing, the colours are stored premultiplied; Flash
// clamps each colour to its alpha. A missing or damaged plane leaves the image opaque.
void ApplyAlphaPlane(const Bitmap& b, Image& img) {
    if (b.alphaData.empty()) {
        return;
    }
    std::vector<std::uint8_t> alpha;
    const std::size_t count = img.pixels.size();
    if (!InflateExactly(b.alphaData, count, alpha)) {
        alpha.resize(count, 255);  // the part that decoded applies
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t a = alpha[i];
        const std::uint32_t p = img.pixels[i];
        const std::uint32_t r = std::min((p >> 16) & 0xFF, a);
        const std::uint32_t g = std::min((p >> 8) & 0xFF, a);
        const std::uint32_t bl = std::min(p & 0xFF, a);
        img.pixels[i] = Pack(a, r, g, bl);
    }
}

}  // namespace

std::optional<Image> DecodeBitmap(const Bitmap& bitmap, std::string* error) {
    switch (bitmap.kind) {
        case BitmapKind::Lossless:
        case BitmapKind::Lossless2:
            return DecodeLossless(bitmap, error);
        case BitmapKind::Jpeg: {
            static const std::vector<std::uint8_t> kNoTables;
            const auto& tables = bitmap.jpegTables ? *bitmap.jpegTables : kNoTables;
            return detail::DecodeJpeg(tables, bitmap.data, error);
        }
        case BitmapKind::Jpeg2:
        case BitmapKind::Jpeg3:
        case BitmapKind::Jpeg4:
            break;
    }
    if (IsPng(bitmap.data)) {
        return detail::DecodePng(bitmap.data, error);
    }
    if (IsGif(bitmap.data)) {
        return detail::DecodeGif(bitmap.data, error);
    }
    auto img = detail::DecodeJpeg({}, bitmap.data, error);
    if (img && bitmap.kind != BitmapKind::Jpeg2) {
        ApplyAlphaPlane(bitmap, *img);
    }
    return img;
}

std::optional<std::pair<int, int>> BitmapSize(const Bitmap& bitmap) {
    if (bitmap.kind == BitmapKind::Lossless || bitmap.kind == BitmapKind::Lossless2) {
        return std::make_pair(int(bitmap.width), int(bitmap.height));
    }
    if (bitmap.kind != BitmapKind::Jpeg && IsPng(bitmap.data)) {
        return detail::PngSize(bitmap.data);
    }
    if (bitmap.kind != BitmapKind::Jpeg && IsGif(bitmap.data)) {
        return detail::GifSize(bitmap.data);
    }
    return detail::JpegSize(bitmap.data);
}

}  // namespace flash::render
