#include "flash/media/flv_tags.h"

#include <array>

namespace flash::media {

namespace {

constexpr std::uint8_t kScriptTag = 18;
constexpr std::size_t kTagHeader = 11;

std::uint32_t Be(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
        v = v << 8 | p[i];
    }
    return v;
}

}  // namespace

std::optional<FlvHeader> ReadFlvHeader(ByteSource& source) {
    std::array<std::uint8_t, 9> h{};
    if (!source.Seek(0) || source.Read(h) != h.size()) {
        return std::nullopt;
    }
    if (h[0] != 'F' || h[1] != 'L' || h[2] != 'V' || h[3] != 1) {
        return std::nullopt;
    }
    FlvHeader header;
    header.hasAudio = (h[4] & 0x04) != 0;
    header.hasVideo = (h[4] & 0x01) != 0;
    header.dataOffset = Be(&h[5], 4);
    if (header.dataOffset < 9) {
        return std::nullopt;
    }
    return header;
}

FlvScriptScanner::FlvScriptScanner(std::unique_ptr<ByteSource> source)
    : source_(std::move(source)) {
    if (source_) {
        header_ = ReadFlvHeader(*source_);
    }
    if (header_) {
        // The first tag follows the header and a previous-tag size of 0.
        next_ = std::uint64_t{header_->dataOffset} + 4;
        done_ = false;
    }
}

bool FlvScriptScanner::ReadBytes(std::size_t count, std::vector<std::uint8_t>& out) {
    out.resize(count);
    std::size_t got = 0;
    while (got < count) {
        const std::size_t n = source_->Read(std::span(out).subspan(got));
        if (n == 0) {
            return false;
        }
        got += n;
    }
    return true;
}

void FlvScriptScanner::Scan(std::size_t maxTags, std::vector<FlvScriptTag>& out) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < maxTags && !done_; ++i) {
        if (!source_->Seek(next_) || !ReadBytes(kTagHeader, bytes)) {
            done_ = true;
            return;
        }
        const std::uint8_t type = bytes[0] & 0x1F;
        const bool encrypted = (bytes[0] & 0x20) != 0;
        const std::uint32_t size = Be(&bytes[1], 3);
        const std::uint32_t ms = Be(&bytes[4], 3) | std::uint32_t{bytes[7]} << 24;
        const std::uint64_t body = next_ + kTagHeader;
        if (body + size > source_->Size()) {
            done_ = true;  // cut off: what follows is not there
            return;
        }
        next_ = body + size + 4;
        if (type != kScriptTag || encrypted || size > kMaxScriptTagBytes) {
            continue;
        }
        if (!ReadBytes(size, bytes)) {
            done_ = true;
            return;
        }
        AmfReader reader(bytes);
        std::optional<AmfValue> name = reader.Next();
        if (!name || name->type != AmfValue::Type::String) {
            continue;
        }
        FlvScriptTag tag;
        tag.time = static_cast<double>(static_cast<std::int32_t>(ms)) / 1000.0;
        tag.name = std::move(name->string);
        if (std::optional<AmfValue> value = reader.Next()) {
            tag.value = std::move(*value);
        }
        out.push_back(std::move(tag));
    }
}

}  // namespace flash::media
