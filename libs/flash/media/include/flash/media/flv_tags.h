#pragma once

// The FLV file's own structure: its header, and the script data tags (onMetaData, onCuePoint)
// walked tag by tag without reading the audio and video bodies.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "flash/media/amf0.h"
#include "flash/media/byte_source.h"

namespace flash::media {

struct FlvHeader {
    bool hasAudio = false;
    bool hasVideo = false;
    std::uint32_t dataOffset = 9;
};

// The header at the source's start; nullopt when the bytes are not an FLV file.
std::optional<FlvHeader> ReadFlvHeader(ByteSource& source);

struct FlvScriptTag {
    double time = 0;   // seconds
    std::string name;  // the handler: "onMetaData", "onCuePoint", ...
    AmfValue value;    // its first argument (undefined when there is none)
};

// Script tags longer than this are passed over.
inline constexpr std::size_t kMaxScriptTagBytes = std::size_t{1} << 20;

class FlvScriptScanner {
  public:
    explicit FlvScriptScanner(std::unique_ptr<ByteSource> source);

    // False when the source is not an FLV file.
    bool Valid() const { return header_.has_value(); }
    const std::optional<FlvHeader>& Header() const { return header_; }
    // Walks at most `maxTags` more tags and appends the script tags among them. The walk ends
    // at the end of the file or at a tag that runs past it.
    void Scan(std::size_t maxTags, std::vector<FlvScriptTag>& out);
    bool Done() const { return done_; }
    std::uint64_t Size() const { return source_ ? source_->Size() : 0; }

  private:
    bool ReadBytes(std::size_t count, std::vector<std::uint8_t>& out);

    std::unique_ptr<ByteSource> source_;
    std::optional<FlvHeader> header_;
    std::uint64_t next_ = 0;  // where the next tag's header starts
    bool done_ = true;
};

}  // namespace flash::media
