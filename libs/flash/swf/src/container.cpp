#include "container.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "flash/swf/error.h"

namespace flash::swf::detail {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

void Inflate(std::span<const std::uint8_t> in, std::size_t limit, Unpacked& out) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) {
        throw ParseError("zlib could not start");
    }
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    int rc = Z_OK;
    while (out.bytes.size() < limit) {
        const std::size_t old = out.bytes.size();
        const std::size_t grow = std::min(kChunk, limit - old);
        out.bytes.resize(old + grow);
        z.next_out = out.bytes.data() + old;
        z.avail_out = static_cast<uInt>(grow);
        rc = inflate(&z, Z_NO_FLUSH);
        out.bytes.resize(old + grow - z.avail_out);
        if (rc == Z_STREAM_END) {
            break;
        }
        if (rc != Z_OK && !(rc == Z_BUF_ERROR && z.avail_in > 0)) {
            out.damaged = true;
            out.problem = rc == Z_BUF_ERROR ? "compressed data ends early"
                                            : std::string("compressed data is damaged: ") +
                                                  (z.msg ? z.msg : "zlib error");
            break;
        }
    }
    inflateEnd(&z);
}

void Unlzma(std::span<const std::uint8_t> file, std::size_t limit, Unpacked& out) {
    // ZWS: signature, version, file length, compressed length (UI32), the five LZMA
    // properties, then raw LZMA data. liblzma reads the .lzma form: properties and a 64-bit
    // uncompressed size in front of the data.
    if (file.size() < 17) {
        throw ParseError("the file is too short for an LZMA movie header");
    }
    const std::uint64_t declared = out.fileLength >= 8 ? out.fileLength - 8u : 0;
    std::uint8_t head[13];
    std::memcpy(head, file.data() + 12, 5);
    // A dictionary larger than the whole output is never needed; keep it small so a forged
    // header cannot make the decoder allocate gigabytes.
    std::uint32_t dict = Le32(head + 1);
    const std::uint64_t needed = std::max<std::uint64_t>(
        4096, std::min<std::uint64_t>(declared, std::min<std::uint64_t>(limit, kMaxMovieBytes)));
    if (dict > needed) {
        dict = static_cast<std::uint32_t>(needed);
    }
    head[1] = dict & 0xFF;
    head[2] = (dict >> 8) & 0xFF;
    head[3] = (dict >> 16) & 0xFF;
    head[4] = (dict >> 24) & 0xFF;
    for (int i = 0; i < 8; ++i) {
        head[5 + i] = static_cast<std::uint8_t>(declared >> (8 * i));
    }

    std::vector<std::uint8_t> input(head, head + sizeof head);
    input.insert(input.end(), file.begin() + 17, file.end());

    lzma_stream z = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&z, UINT64_MAX) != LZMA_OK) {
        throw ParseError("LZMA could not start");
    }
    z.next_in = input.data();
    z.avail_in = input.size();
    while (out.bytes.size() < limit) {
        const std::size_t old = out.bytes.size();
        const std::size_t grow = std::min(kChunk, limit - old);
        out.bytes.resize(old + grow);
        z.next_out = out.bytes.data() + old;
        z.avail_out = grow;
        const lzma_ret rc = lzma_code(&z, LZMA_FINISH);
        out.bytes.resize(old + grow - z.avail_out);
        if (rc == LZMA_STREAM_END) {
            break;
        }
        if (rc != LZMA_OK) {
            out.damaged = true;
            out.problem =
                rc == LZMA_BUF_ERROR ? "compressed data ends early" : "compressed data is damaged";
            break;
        }
    }
    lzma_end(&z);
}

}  // namespace

Unpacked Unpack(std::span<const std::uint8_t> file, std::size_t limit) {
    if (file.size() < 8 || file[1] != 'W' || file[2] != 'S' ||
        (file[0] != 'F' && file[0] != 'C' && file[0] != 'Z')) {
        throw ParseError("not a Flash movie");
    }
    Unpacked out;
    out.compression = file[0] == 'F'   ? Compression::None
                      : file[0] == 'C' ? Compression::Zlib
                                       : Compression::Lzma;
    out.version = file[3];
    out.fileLength = Le32(file.data() + 4);
    limit = std::min(limit, kMaxMovieBytes);
    if (out.compression != Compression::None) {
        limit = std::min(limit, std::size_t{out.fileLength} + kDeclaredLengthSlack);
    }

    // The output always keeps the 8 header bytes; the body follows them uncompressed.
    limit = std::max<std::size_t>(limit, 8);
    switch (out.compression) {
        case Compression::None: {
            const std::size_t n = std::min(file.size(), limit);
            out.bytes.assign(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
            break;
        }
        case Compression::Zlib:
            out.bytes.assign(file.begin(), file.begin() + 8);
            Inflate(file.subspan(8), limit, out);
            break;
        case Compression::Lzma:
            out.bytes.assign(file.begin(), file.begin() + 8);
            Unlzma(file, limit, out);
            break;
    }
    return out;
}

}  // namespace flash::swf::detail
