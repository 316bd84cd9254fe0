// GIF inside DefineBitsJPEG2: the first image, with its transparent colour.

#include <cstring>

#include "flash/swf/bit_reader.h"
#include "flash/swf/error.h"
#include "image_codecs.h"

namespace flash::render::detail {

using swf::BitReader;
using swf::ParseError;
namespace {

struct Palette {
    std::uint32_t colors[256] = {};
    unsigned size = 0;
};

void ReadPalette(BitReader& r, unsigned size, Palette& p) {
    p.size = size;
    for (unsigned i = 0; i < size; ++i) {
        const Rgba c = r.ReadRgb();
        p.colors[i] = 0xFF000000u | std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b;
    }
}

// The data sub-blocks of one block, joined.
std::vector<std::uint8_t> ReadSubBlocks(BitReader& r) {
    std::vector<std::uint8_t> out;
    for (;;) {
        const std::uint8_t n = r.ReadU8();
        if (n == 0) {
            return out;
        }
        const auto bytes = r.ReadBytes(n);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
}

// Variable-width LZW; writes at most `out.size()` indexes and returns how many it wrote.
std::size_t Lzw(std::span<const std::uint8_t> data, unsigned minCodeSize,
                std::vector<std::uint8_t>& out) {
    if (minCodeSize < 2 || minCodeSize > 11) {
        throw ParseError("bad LZW code size");
    }
    const unsigned clear = 1u << minCodeSize;
    const unsigned end = clear + 1;
    std::uint16_t prefix[4096];
    std::uint8_t suffix[4096];
    std::uint8_t stack[4097];
    unsigned codeSize = minCodeSize + 1;
    unsigned next = clear + 2;
    int previous = -1;
    std::uint8_t first = 0;
    std::size_t written = 0;
    std::uint32_t bits = 0;
    unsigned bitCount = 0;
    std::size_t pos = 0;
    for (unsigned i = 0; i < clear; ++i) {
        prefix[i] = 0;
        suffix[i] = static_cast<std::uint8_t>(i);
    }
    while (written < out.size()) {
        while (bitCount < codeSize) {
            if (pos >= data.size()) {
                return written;
            }
            bits |= std::uint32_t(data[pos++]) << bitCount;
            bitCount += 8;
        }
        const unsigned code = bits & ((1u << codeSize) - 1);
        bits >>= codeSize;
        bitCount -= codeSize;
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end) {
            return written;
        }
        if (previous < 0) {
            if (code >= clear) {
                throw ParseError("bad LZW code");
            }
            out[written++] = static_cast<std::uint8_t>(code);
            first = static_cast<std::uint8_t>(code);
            previous = static_cast<int>(code);
            continue;
        }
        unsigned depth = 0;
        unsigned c = code;
        if (code > next || (code >= clear && code < clear + 2)) {
            throw ParseError("bad LZW code");
        }
        if (code == next) {
            stack[depth++] = first;
            c = static_cast<unsigned>(previous);
        }
        while (c >= clear) {
            stack[depth++] = suffix[c];
            c = prefix[c];
        }
        stack[depth++] = static_cast<std::uint8_t>(c);
        first = static_cast<std::uint8_t>(c);
        while (depth > 0 && written < out.size()) {
            out[written++] = stack[--depth];
        }
        if (next < 4096) {
            prefix[next] = static_cast<std::uint16_t>(previous);
            suffix[next] = first;
            ++next;
            if (next == (1u << codeSize) && codeSize < 12) {
                ++codeSize;
            }
        }
        previous = static_cast<int>(code);
    }
    return written;
}

std::optional<Image> Decode(std::span<const std::uint8_t> data, std::string* error) {
    BitReader r(data);
    r.Skip(6);
    const std::uint16_t width = r.ReadU16();
    const std::uint16_t height = r.ReadU16();
    const std::uint8_t flags = r.ReadU8();
    r.Skip(2);  // background colour, aspect
    if (width == 0 || height == 0) {
        Fail(error, "the GIF has no pixels");
        return std::nullopt;
    }
    Palette global;
    if ((flags & 0x80) != 0) {
        ReadPalette(r, 2u << (flags & 7), global);
    }
    int transparent = -1;
    for (;;) {
        const std::uint8_t block = r.ReadU8();
        if (block == 0x21) {
            const std::uint8_t label = r.ReadU8();
            const auto body = ReadSubBlocks(r);
            if (label == 0xF9 && body.size() >= 4) {
                transparent = (body[0] & 1) != 0 ? body[3] : -1;
            }
            continue;
        }
        if (block != 0x2C) {
            Fail(error, "the GIF has no image");
            return std::nullopt;
        }
        const std::uint16_t left = r.ReadU16();
        const std::uint16_t top = r.ReadU16();
        const std::uint16_t w = r.ReadU16();
        const std::uint16_t h = r.ReadU16();
        const std::uint8_t imageFlags = r.ReadU8();
        Palette local;
        if ((imageFlags & 0x80) != 0) {
            ReadPalette(r, 2u << (imageFlags & 7), local);
        }
        if (std::uint64_t(w) * h > kMaxImagePixels) {
            Fail(error, "the GIF image is too large");
            return std::nullopt;
        }
        const Palette& palette = local.size != 0 ? local : global;
        const unsigned minCodeSize = r.ReadU8();
        const auto lzw = ReadSubBlocks(r);
        std::vector<std::uint8_t> indexes(std::size_t(w) * h);
        const std::size_t got = Lzw(lzw, minCodeSize, indexes);
        if (got == 0 && !indexes.empty()) {
            Fail(error, "the GIF image data is damaged");
            return std::nullopt;
        }
        Image img;
        img.width = width;
        img.height = height;
        img.pixels.assign(std::size_t(width) * height, 0);
        // Interlaced rows come in four passes.
        std::vector<unsigned> rows;
        if ((imageFlags & 0x40) != 0) {
            for (unsigned start : {0u, 4u, 2u, 1u}) {
                const unsigned step = start == 0 ? 8 : start == 4 ? 8 : start == 2 ? 4 : 2;
                for (unsigned y = start; y < h; y += step) {
                    rows.push_back(y);
                }
            }
        } else {
            for (unsigned y = 0; y < h; ++y) {
                rows.push_back(y);
            }
        }
        for (std::size_t i = 0; i < h; ++i) {
            const unsigned y = top + rows[i];
            for (unsigned x = 0; x < w; ++x) {
                const std::size_t at = i * w + x;
                if (at >= got || y >= height || left + x >= width) {
                    continue;
                }
                const std::uint8_t index = indexes[at];
                if (int(index) == transparent || index >= palette.size) {
                    continue;
                }
                img.pixels[std::size_t(y) * width + left + x] = palette.colors[index];
            }
        }
        return img;
    }
}

}  // namespace

std::optional<std::pair<int, int>> GifSize(std::span<const std::uint8_t> data) {
    if (data.size() < 10) {
        return std::nullopt;
    }
    return std::make_pair(int(data[6] | data[7] << 8), int(data[8] | data[9] << 8));
}

std::optional<Image> DecodeGif(std::span<const std::uint8_t> data, std::string* error) {
    const auto size = GifSize(data);
    if (!size || std::uint64_t(size->first) * std::uint64_t(size->second) > kMaxImagePixels) {
        Fail(error, "the GIF header is missing or too large");
        return std::nullopt;
    }
    try {
        return Decode(data, error);
    } catch (const ParseError&) {
        Fail(error, "the GIF data is damaged");
        return std::nullopt;
    }
}

}  // namespace flash::render::detail
