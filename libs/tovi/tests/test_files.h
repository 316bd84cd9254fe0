#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/errors.h"
#include "platform/file.h"

namespace tovi::testing {

// A read-only file held in memory; it opens whatever name it is given.
class MemoryFile : public platform::File {
  public:
    explicit MemoryFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    bool Open(const wchar_t*, platform::UINT, platform::FileException* = nullptr) override {
        open_ = true;
        pos_ = 0;
        return true;
    }
    platform::UINT Read(void* buffer, platform::UINT count) override {
        const std::uint64_t left = pos_ < bytes_.size() ? bytes_.size() - pos_ : 0;
        const auto n = static_cast<platform::UINT>(std::min<std::uint64_t>(count, left));
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_), n,
                    static_cast<std::uint8_t*>(buffer));
        pos_ += n;
        return n;
    }
    void Write(const void*, platform::UINT) override {
        throw platform::FileException(platform::FileException::accessDenied,
                                      platform::kErrorAccessDenied, L"memory");
    }
    std::uint64_t Seek(std::int64_t offset, platform::UINT from) override {
        const std::int64_t base = from == current ? static_cast<std::int64_t>(pos_)
                                  : from == end   ? static_cast<std::int64_t>(bytes_.size())
                                                  : 0;
        if (base + offset < 0) {
            throw platform::FileException(platform::FileException::badSeek,
                                          platform::kErrorNegativeSeek, L"memory");
        }
        pos_ = static_cast<std::uint64_t>(base + offset);
        return pos_;
    }
    std::uint64_t GetLength() const override { return bytes_.size(); }
    std::uint64_t GetPosition() const override { return pos_; }
    void Close() override { open_ = false; }
    void Abort() override { open_ = false; }

  private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t pos_ = 0;
    bool open_ = false;
};

// A real file whose reads or writes fail with `error` once `limit` bytes have gone through.
class FailingFile : public platform::File {
  public:
    FailingFile(std::uint64_t readLimit, std::uint64_t writeLimit, platform::DWORD error)
        : readLimit_(readLimit), writeLimit_(writeLimit), error_(error) {}

    platform::UINT Read(void* buffer, platform::UINT count) override {
        if (read_ + count > readLimit_) {
            Fail();
        }
        platform::UINT n = File::Read(buffer, count);
        read_ += n;
        return n;
    }
    void Write(const void* buffer, platform::UINT count) override {
        if (written_ + count > writeLimit_) {
            Fail();
        }
        File::Write(buffer, count);
        written_ += count;
    }

  private:
    [[noreturn]] void Fail() {
        throw platform::FileException(platform::FileException::CauseFromOsError(error_), error_,
                                      GetFilePath());
    }
    std::uint64_t readLimit_;
    std::uint64_t writeLimit_;
    platform::DWORD error_;
    std::uint64_t read_ = 0;
    std::uint64_t written_ = 0;
};

}  // namespace tovi::testing
