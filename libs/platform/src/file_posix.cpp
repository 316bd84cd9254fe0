#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/errors.h"
#include "platform/file.h"
#include "platform/text.h"

namespace platform {
namespace {

// ENOENT means "path not found" when the folder itself is missing.
DWORD OpenError(int err, const std::string& native) {
    if (err == ENOENT) {
        std::filesystem::path parent = std::filesystem::path(native).parent_path();
        std::error_code ec;
        if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) {
            return kErrorPathNotFound;
        }
    }
    return ErrorFromErrno(err);
}

}  // namespace

File::File() = default;

File::~File() {
    if (IsOpen()) {
        Abort();
    }
}

bool File::Open(const wchar_t* name, UINT flags, FileException* error) {
    if (IsOpen()) {
        Abort();
    }
    path_ = name ? name : L"";
    const std::string native = NativePath(path_);
    int oflags = O_CLOEXEC;
    switch (flags & 3) {
        case modeWrite:
            oflags |= O_WRONLY;
            break;
        case modeReadWrite:
            oflags |= O_RDWR;
            break;
        default:
            oflags |= O_RDONLY;
            break;
    }
    if (flags & modeCreate) {
        oflags |= O_CREAT;
        if (!(flags & modeNoTruncate)) {
            oflags |= O_TRUNC;
        }
    }
    auto fail = [&](DWORD code) {
        SetLastError(code);
        if (error) {
            *error = FileException(FileException::CauseFromOsError(code), code, path_);
        }
        return false;
    };
    if (native.empty()) {
        return fail(kErrorPathNotFound);
    }
    int fd;
    do {
        fd = ::open(native.c_str(), oflags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return fail(OpenError(errno, native));
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(kErrorAccessDenied);
    }
    fd_ = fd;
    SetLastError(kErrorSuccess);
    return true;
}

void File::ThrowFromErrno(int err) const {
    DWORD code = ErrorFromErrno(err);
    throw FileException(FileException::CauseFromOsError(code), code, path_);
}

UINT File::Read(void* buffer, UINT count) {
    if (!IsOpen()) {
        throw FileException(FileException::invalidFile, kErrorInvalidHandle, path_);
    }
    auto* out = static_cast<unsigned char*>(buffer);
    UINT done = 0;
    while (done < count) {
        ssize_t n = ::read(fd_, out + done, count - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowFromErrno(errno);
        }
        if (n == 0) {
            break;
        }
        done += static_cast<UINT>(n);
    }
    return done;
}

void File::Write(const void* buffer, UINT count) {
    if (!IsOpen()) {
        throw FileException(FileException::invalidFile, kErrorInvalidHandle, path_);
    }
    const auto* in = static_cast<const unsigned char*>(buffer);
    UINT done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, in + done, count - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowFromErrno(errno);
        }
        if (n == 0) {
            ThrowFromErrno(ENOSPC);
        }
        done += static_cast<UINT>(n);
    }
}

std::uint64_t File::Seek(std::int64_t offset, UINT from) {
    if (!IsOpen()) {
        throw FileException(FileException::invalidFile, kErrorInvalidHandle, path_);
    }
    int whence = from == current ? SEEK_CUR : from == end ? SEEK_END : SEEK_SET;
    off_t pos = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (pos < 0) {
        if (errno == EINVAL) {
            throw FileException(FileException::badSeek, kErrorNegativeSeek, path_);
        }
        ThrowFromErrno(errno);
    }
    return static_cast<std::uint64_t>(pos);
}

std::uint64_t File::GetLength() const {
    if (!IsOpen()) {
        throw FileException(FileException::invalidFile, kErrorInvalidHandle, path_);
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        ThrowFromErrno(errno);
    }
    return static_cast<std::uint64_t>(st.st_size);
}

std::uint64_t File::GetPosition() const {
    if (!IsOpen()) {
        throw FileException(FileException::invalidFile, kErrorInvalidHandle, path_);
    }
    off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    if (pos < 0) {
        ThrowFromErrno(errno);
    }
    return static_cast<std::uint64_t>(pos);
}

void File::SetLength(std::uint64_t length) {
    if (!IsOpen()) {
        throw FileException(FileException::invalidFile, kErrorInvalidHandle, path_);
    }
    if (::ftruncate(fd_, static_cast<off_t>(length)) != 0) {
        ThrowFromErrno(errno);
    }
}

void File::Flush() {
    if (!IsOpen()) {
        return;
    }
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        ThrowFromErrno(errno);
    }
}

void File::Close() {
    if (!IsOpen()) {
        return;
    }
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        ThrowFromErrno(errno);
    }
}

void File::Abort() {
    if (IsOpen()) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::wstring File::GetFileName() const {
    std::size_t cut = path_.find_last_of(L"\\/");
    return cut == std::wstring::npos ? path_ : path_.substr(cut + 1);
}

}  // namespace platform
