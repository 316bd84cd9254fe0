#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "platform/types.h"

namespace platform {

// A file error as the framework's file class reports it: a cause, the system's error code (a
// Windows code) and the file's name. Read, write and seek errors are thrown by value.
class FileException : public std::exception {
  public:
    enum Cause {
        none = 0,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    // Longest text GetErrorMessage gives, in characters.
    static constexpr std::size_t kMaxMessage = 255;

    FileException() = default;
    FileException(int cause, DWORD osError, std::wstring fileName);

    // The cause that stands for a Windows error code.
    static int CauseFromOsError(DWORD osError);

    // A Chinese text naming the file and what went wrong, at most kMaxMessage characters.
    std::wstring GetErrorMessage() const;
    const char* what() const noexcept override;

    int m_cause = none;
    DWORD m_lOsError = 0;
    std::wstring m_strFileName;

  private:
    mutable std::string what_;
};

// A binary file in the shape of the framework's file class. Open failures return false, set the
// thread's last error (errors.h) and fill the optional exception record; read, write and seek
// errors throw FileException. Sharing flags are accepted and not enforced on POSIX.
class File {
  public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    File();
    virtual ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens `name` ("\" and "/" both separate folders). modeCreate without modeNoTruncate
    // creates the file or empties an existing one.
    virtual bool Open(const wchar_t* name, UINT flags, FileException* error = nullptr);
    // Reads up to `count` bytes; fewer only at the end of the file.
    virtual UINT Read(void* buffer, UINT count);
    // Writes all `count` bytes or throws.
    virtual void Write(const void* buffer, UINT count);
    // Moves the position and returns the new one; a position before 0 throws badSeek.
    virtual std::uint64_t Seek(std::int64_t offset, UINT from);
    virtual std::uint64_t GetLength() const;
    virtual std::uint64_t GetPosition() const;
    virtual void SetLength(std::uint64_t length);
    virtual void Flush();
    // Closes the file; a failing close throws.
    virtual void Close();
    // Closes the file, ignoring every error.
    virtual void Abort();

    std::uint64_t SeekToBegin() { return Seek(0, begin); }
    std::uint64_t SeekToEnd() { return Seek(0, end); }
    bool IsOpen() const { return fd_ >= 0; }
    // The name as given to Open.
    const std::wstring& GetFilePath() const { return path_; }
    // The last component of the name.
    std::wstring GetFileName() const;

  private:
    [[noreturn]] void ThrowFromErrno(int err) const;

    int fd_ = -1;
    std::wstring path_;
};

}  // namespace platform
