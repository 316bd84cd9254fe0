#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The files an extraction run touches: its own program file, read at offsets, and the cache
// file, compared and written. Behind an interface so tests can act out a failing disk.
namespace standalone {

class ByteFile {
  public:
    virtual ~ByteFile() = default;
    // The length at the time the file was opened.
    virtual std::uint64_t Length() const = 0;
    // Reads exactly `count` bytes at `offset`; false on an error or a short read.
    virtual bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) = 0;
    // Appends all `count` bytes; false on an error.
    virtual bool Write(const void* buffer, std::size_t count) = 0;
    // Writes out and closes; false when that fails.
    virtual bool Close() = 0;
};

// A cache file being written: the bytes go to a temporary file beside it, which replaces the
// cache file only when Commit succeeds, so nobody ever sees a half-written cache file.
class CacheWriter {
  public:
    virtual ~CacheWriter() = default;
    virtual bool Write(const void* buffer, std::size_t count) = 0;
    // Closes the temporary file and puts it in the cache file's place.
    virtual bool Commit() = 0;
    // Drops the temporary file (also done by the destructor when not committed).
    virtual void Discard() = 0;
};

class ExtractIo {
  public:
    virtual ~ExtractIo() = default;
    // The program file; null when it cannot be opened.
    virtual std::unique_ptr<ByteFile> OpenOwn(const std::string& path) = 0;
    // An existing cache file of ours; null when there is none, or when it is a link, not a
    // plain file, or belongs to another user.
    virtual std::unique_ptr<ByteFile> OpenCache(const std::string& path) = 0;
    // Starts writing the cache file; null when it cannot be written (also when the name is
    // taken by a link, something other than a plain file, or another user's file).
    virtual std::unique_ptr<CacheWriter> CreateCache(const std::string& path) = 0;
    virtual std::string CacheFolder() = 0;
};

// The real file system.
ExtractIo& SystemExtractIo();

}  // namespace standalone
