// An extraction run over an arbitrary program file held in memory, with or without a cache
// file made from its movie bytes. The first input byte chooses the run: bit 0 force, bit 1 a
// cache file exists, bit 2 that cache has one byte changed, bits 3-7 and the second byte where.
// Checks what any run must keep: it ends with EXN_DONE and the result it returns, and a
// written cache holds exactly the movie bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "extract.h"
#include "standalone_trailer.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class MemoryFile : public standalone::ByteFile {
  public:
    explicit MemoryFile(const Bytes& bytes) : bytes_(bytes) {}
    std::uint64_t Length() const override { return bytes_.size(); }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override {
        if (offset > bytes_.size() || count > bytes_.size() - offset) {
            return false;
        }
        std::memcpy(buffer, bytes_.data() + offset, count);
        return true;
    }
    bool Write(const void*, std::size_t) override { return false; }
    bool Close() override { return true; }

  private:
    const Bytes& bytes_;
};

class MemoryWriter : public standalone::CacheWriter {
  public:
    explicit MemoryWriter(std::optional<Bytes>& target) : target_(target) {}
    bool Write(const void* buffer, std::size_t count) override {
        const auto* p = static_cast<const std::uint8_t*>(buffer);
        pending_.insert(pending_.end(), p, p + count);
        return true;
    }
    bool Commit() override {
        target_ = std::move(pending_);
        return true;
    }
    void Discard() override { pending_.clear(); }

  private:
    std::optional<Bytes>& target_;
    Bytes pending_;
};

class MemoryIo : public standalone::ExtractIo {
  public:
    std::unique_ptr<standalone::ByteFile> OpenOwn(const std::string&) override {
        return std::make_unique<MemoryFile>(own);
    }
    std::unique_ptr<standalone::ByteFile> OpenCache(const std::string&) override {
        return cache ? std::make_unique<MemoryFile>(*cache) : nullptr;
    }
    std::unique_ptr<standalone::CacheWriter> CreateCache(const std::string&) override {
        return std::make_unique<MemoryWriter>(cache);
    }
    std::string CacheFolder() override { return "/cache/ToviPlayer"; }

    Bytes own;
    std::optional<Bytes> cache;
};

class LastNote : public standalone::ExtractSink {
  public:
    bool Notify(platform::WPARAM code, platform::LPARAM argument) override {
        if (code == EXN_PROGRESS && (argument < 5 || argument > 505)) {
            std::abort();
        }
        lastCode = code;
        lastArgument = argument;
        return true;
    }
    platform::WPARAM lastCode = 0;
    platform::LPARAM lastArgument = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::uint8_t flags = data[0];
    const std::size_t changeAt = (static_cast<std::size_t>(flags >> 3) << 8) | data[1];
    MemoryIo io;
    io.own.assign(data + 2, data + size);

    Bytes movie;
    standalone_trailer::Trailer trailer;
    const std::size_t length = io.own.size();
    if (length >= standalone_trailer::kSize &&
        standalone_trailer::Decode(io.own.data() + length - standalone_trailer::kSize, length,
                                   &trailer) == standalone_trailer::Status::kValid) {
        movie.assign(io.own.begin() + trailer.movieOffset,
                     io.own.end() - standalone_trailer::kSize);
        if (flags & 2) {
            io.cache = movie;
            if ((flags & 4) && !movie.empty()) {
                (*io.cache)[changeAt % movie.size()] ^= 0x5A;
            }
        }
    }

    LastNote sink;
    const platform::LPARAM result =
        standalone::RunExtraction("/players/Card.exe", flags & 1, sink, io);
    if (sink.lastCode != EXN_DONE || sink.lastArgument != result) {
        std::abort();
    }
    if ((result == EXTRACT_WRITTEN || result == EXTRACT_REUSED) && io.cache != movie) {
        std::abort();
    }
    return 0;
}
