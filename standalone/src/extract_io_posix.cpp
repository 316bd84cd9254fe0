#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "cache_folder.h"
#include "extract_io.h"

namespace standalone {
namespace {

bool WriteAllTo(int fd, const void* buffer, std::size_t count) {
    const auto* p = static_cast<const std::uint8_t*>(buffer);
    while (count > 0) {
        const ssize_t n = ::write(fd, p, count);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

class PosixFile : public ByteFile {
  public:
    PosixFile(int fd, std::uint64_t length) : fd_(fd), length_(length) {}
    ~PosixFile() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    std::uint64_t Length() const override { return length_; }
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t count) override {
        auto* p = static_cast<std::uint8_t*>(buffer);
        while (count > 0) {
            const ssize_t n = ::pread(fd_, p, count, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return false;
            }
            p += n;
            offset += static_cast<std::uint64_t>(n);
            count -= static_cast<std::size_t>(n);
        }
        return true;
    }
    bool Write(const void* buffer, std::size_t count) override {
        return WriteAllTo(fd_, buffer, count);
    }
    bool Close() override {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
    std::uint64_t length_;
};

// Opens without following a link at the last component and without blocking on a FIFO, and
// keeps the file only when it is a plain file of ours.
int OpenOwnPlainFile(const std::string& path, struct stat* st) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode) || st->st_uid != ::geteuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Writes go out in 64 KiB pieces; an error shows at the write that sends them or at Commit.
class PosixCacheWriter : public CacheWriter {
  public:
    PosixCacheWriter(std::string target, std::string temp, int fd)
        : target_(std::move(target)), temp_(std::move(temp)), fd_(fd) {
        pending_.reserve(kWriteChunk);
    }
    ~PosixCacheWriter() override { Discard(); }

    bool Write(const void* buffer, std::size_t count) override {
        if (fd_ < 0) {
            return false;
        }
        const auto* p = static_cast<const std::uint8_t*>(buffer);
        pending_.insert(pending_.end(), p, p + count);
        return pending_.size() < kWriteChunk || Flush();
    }
    bool Commit() override {
        if (fd_ < 0) {
            return false;
        }
        const bool flushed = Flush();
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0 || !flushed || ::rename(temp_.c_str(), target_.c_str()) != 0) {
            ::unlink(temp_.c_str());
            temp_.clear();
            return false;
        }
        temp_.clear();
        return true;
    }
    void Discard() override {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
        if (!temp_.empty()) {
            ::unlink(temp_.c_str());
            temp_.clear();
            // The player's folder goes too when nothing else is in it.
            ::rmdir(target_.substr(0, target_.rfind('/')).c_str());
        }
    }

  private:
    static constexpr std::size_t kWriteChunk = 64 * 1024;

    bool Flush() {
        const bool ok = WriteAllTo(fd_, pending_.data(), pending_.size());
        pending_.clear();
        return ok;
    }

    std::string target_;
    std::string temp_;
    int fd_;
    std::vector<std::uint8_t> pending_;
};

class PosixExtractIo : public ExtractIo {
  public:
    std::unique_ptr<ByteFile> OpenOwn(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0) {
            return nullptr;
        }
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd, static_cast<std::uint64_t>(st.st_size));
    }

    std::unique_ptr<ByteFile> OpenCache(const std::string& path) override {
        struct stat st {};
        const int fd = OpenOwnPlainFile(path, &st);
        if (fd < 0) {
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd, static_cast<std::uint64_t>(st.st_size));
    }

    std::unique_ptr<CacheWriter> CreateCache(const std::string& path) override {
        // The player's own folder first; then whatever holds the name must be a plain file of
        // ours; the rename below replaces it without ever writing through a link.
        const std::size_t cut = path.rfind('/');
        if (cut != std::string::npos && cut > 0 && !MakeOwnPrivateFolder(path.substr(0, cut))) {
            return nullptr;
        }
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid())) {
            return nullptr;
        }
        // mkostemp makes the file anew, readable and writable by its owner only.
        std::string temp = path + ".XXXXXX";
        const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0) {
            return nullptr;
        }
        return std::make_unique<PosixCacheWriter>(path, std::move(temp), fd);
    }

    std::string CacheFolder() override { return GetCacheFolder(); }
};

}  // namespace

ExtractIo& SystemExtractIo() {
    static PosixExtractIo io;
    return io;
}

}  // namespace standalone
