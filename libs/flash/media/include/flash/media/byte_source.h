#pragma once

// Where a stream's bytes come from: a file read as it plays (never whole), or bytes in memory
// (tests, fuzzing). Each reader of a stream opens its own source.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace flash::media {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads up to out.size() bytes at the position; 0 at the end or on an error.
    virtual std::size_t Read(std::span<std::uint8_t> out) = 0;
    // Moves to `position` (at most Size()); false when it cannot.
    virtual bool Seek(std::uint64_t position) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual std::uint64_t Size() const = 0;
};

// Opens a new source on each call; null with the reason when it cannot.
using SourceOpener = std::function<std::unique_ptr<ByteSource>(std::string* error)>;

std::unique_ptr<ByteSource> OpenFileSource(const std::filesystem::path& file,
                                           std::string* error = nullptr);
SourceOpener FileOpener(std::filesystem::path file);

// The bytes are shared by every source the opener makes.
SourceOpener MemoryOpener(std::shared_ptr<const std::vector<std::uint8_t>> bytes);

}  // namespace flash::media
