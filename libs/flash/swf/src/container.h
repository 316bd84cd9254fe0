#pragma once

// Undoes the movie file's compression (FWS none, CWS zlib, ZWS LZMA).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "flash/swf/movie.h"

namespace flash::swf::detail {

// Uncompressed movies grow no larger than this, whatever they declare.
inline constexpr std::size_t kMaxMovieBytes = std::size_t(512) << 20;

// Flash reads a movie no further than the file length its header declares. A compressed body
// is unpacked to that length and this much more, enough to tell that data follows it, and
// no further: a small file cannot unpack to far more than it declares.
inline constexpr std::size_t kDeclaredLengthSlack = 4096;

struct Unpacked {
    Compression compression = Compression::None;
    std::uint8_t version = 0;
    std::uint32_t fileLength = 0;
    std::vector<std::uint8_t> bytes;  // the movie uncompressed: the 8-byte header, then the body
    bool damaged = false;             // the compressed stream ended early or broke off
    std::string problem;              // why, when damaged
};

// Throws ParseError when the data has no movie signature or is too short for its header.
// Stops after `limit` bytes of output when given (enough for a header), and a compressed
// movie after its declared length and kDeclaredLengthSlack.
Unpacked Unpack(std::span<const std::uint8_t> file, std::size_t limit = kMaxMovieBytes);

}  // namespace flash::swf::detail
