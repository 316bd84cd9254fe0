// JPEG through libjpeg, with the stream repairs SWF files need.

// jpeglib.h needs size_t and FILE declared first, jerror.h needs jpeglib.h.
#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <jerror.h>

#include "image_codecs.h"

namespace flash::render::detail {
namespace {

bool IsStandalone(std::uint8_t marker) {
    return (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01;
}

// Copies the segments of one stream, dropping SOI and EOI. Data that does not walk as
// markers is copied as it is and left to libjpeg.
void AppendSegments(std::span<const std::uint8_t> d, std::vector<std::uint8_t>& out) {
    std::size_t i = 0;
    const std::size_t n = d.size();
    while (i + 1 < n) {
        if (d[i] != 0xFF) {
            out.insert(out.end(), d.begin() + static_cast<std::ptrdiff_t>(i), d.end());
            return;
        }
        const std::uint8_t m = d[i + 1];
        if (m == 0xFF) {
            ++i;  // fill byte
            continue;
        }
        if (m == 0xD8 || m == 0xD9) {
            i += 2;
            continue;
        }
        if (IsStandalone(m)) {
            out.insert(out.end(), {0xFF, m});
            i += 2;
            continue;
        }
        if (i + 4 > n) {
            break;
        }
        const std::size_t end = std::min(n, i + 2 + (std::size_t(d[i + 2]) << 8 | d[i + 3]));
        out.insert(out.end(), d.begin() + static_cast<std::ptrdiff_t>(i),
                   d.begin() + static_cast<std::ptrdiff_t>(end));
        i = end;
        if (m == 0xDA) {
            // Entropy-coded data runs to the next marker that is not a restart or a stuffed 00.
            std::size_t j = i;
            while (j + 1 < n && !(d[j] == 0xFF && d[j + 1] != 0x00 && d[j + 1] != 0xFF &&
                                  !(d[j + 1] >= 0xD0 && d[j + 1] <= 0xD7))) {
                ++j;
            }
            if (j + 1 >= n) {
                j = n;
            }
            out.insert(out.end(), d.begin() + static_cast<std::ptrdiff_t>(i),
                       d.begin() + static_cast<std::ptrdiff_t>(j));
            i = j;
        }
    }
}

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool inputEnded;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) {
        err->inputEnded = true;
    }
}

void Silent(j_common_ptr) {}

// Kept free of C++ objects with destructors between setjmp and the end, so that a longjmp
// from libjpeg skips nothing that needs cleaning up. Returns false with the reason in
// err->message.
bool DecodeJpegRaw(const std::uint8_t* data, std::size_t size, Image* img, const char** why) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = OnError;
    err.pub.emit_message = OnMessage;
    err.pub.output_message = Silent;
    err.inputEnded = false;
    err.message[0] = 0;
    jpeg_create_decompress(&cinfo);
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        *why = "the JPEG data is damaged";
        return false;
    }
    // Work memory beyond this fails instead of growing (progressive images buffer it all).
    cinfo.mem->max_memory_to_use = 512L << 20;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (std::uint64_t(cinfo.image_width) * cinfo.image_height > kMaxImagePixels) {
        jpeg_destroy_decompress(&cinfo);
        *why = "the bitmap is too large";
        return false;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (err.inputEnded) {
        jpeg_destroy_decompress(&cinfo);
        *why = "the JPEG data ends early";
        return false;
    }
    const unsigned w = cinfo.output_width;
    const unsigned comps = cinfo.output_components;
    img->width = static_cast<int>(w);
    img->height = static_cast<int>(cinfo.output_height);
    img->pixels.resize(std::size_t(w) * cinfo.output_height);
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                w * comps, 1);
    while (cinfo.output_scanline < cinfo.output_height) {
        const unsigned y = cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, row, 1);
        if (err.inputEnded) {
            // A cut image: libjpeg would invent the missing rows.
            jpeg_destroy_decompress(&cinfo);
            *why = "the JPEG data ends early";
            return false;
        }
        std::uint32_t* out = img->pixels.data() + std::size_t(y) * w;
        const JSAMPLE* p = row[0];
        for (unsigned x = 0; x < w; ++x, p += comps) {
            std::uint32_t r, g, b;
            if (cmyk) {
                // Adobe writes CMYK inverted: the samples are already 255 - ink.
                r = p[0] * p[3] / 255u;
                g = p[1] * p[3] / 255u;
                b = p[2] * p[3] / 255u;
            } else {
                r = p[0];
                g = p[1];
                b = p[2];
            }
            out[x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    // A missing end marker after the last row is common and harmless.
    jpeg_abort_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

}  // namespace

std::vector<std::uint8_t> JoinJpeg(std::span<const std::uint8_t> tables,
                                   std::span<const std::uint8_t> image) {
    std::vector<std::uint8_t> out = {0xFF, 0xD8};
    AppendSegments(tables, out);
    AppendSegments(image, out);
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

std::optional<Image> DecodeJpeg(std::span<const std::uint8_t> tables,
                                std::span<const std::uint8_t> image, std::string* error) {
    const std::vector<std::uint8_t> stream = JoinJpeg(tables, image);
    Image img;
    const char* why = nullptr;
    if (!DecodeJpegRaw(stream.data(), stream.size(), &img, &why)) {
        Fail(error, why);
        return std::nullopt;
    }
    return img;
}

std::optional<std::pair<int, int>> JpegSize(std::span<const std::uint8_t> data) {
    const std::vector<std::uint8_t> s = JoinJpeg({}, data);
    std::size_t i = 2;
    while (i + 9 < s.size() && s[i] == 0xFF) {
        const std::uint8_t m = s[i + 1];
        if (IsStandalone(m)) {
            i += 2;
            continue;
        }
        const bool sof = m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
        if (sof) {
            return std::make_pair(int(s[i + 7]) << 8 | s[i + 8], int(s[i + 5]) << 8 | s[i + 6]);
        }
        if (m == 0xDA) {
            break;
        }
        i += 2 + (std::size_t(s[i + 2]) << 8 | s[i + 3]);
    }
    return std::nullopt;
}

}  // namespace flash::render::detail
