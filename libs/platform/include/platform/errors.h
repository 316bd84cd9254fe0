#pragma once

#include "platform/types.h"

namespace platform {

// Windows system error codes that callers compare against.
inline constexpr DWORD kErrorSuccess = 0;
inline constexpr DWORD kErrorInvalidFunction = 1;
inline constexpr DWORD kErrorFileNotFound = 2;
inline constexpr DWORD kErrorPathNotFound = 3;
inline constexpr DWORD kErrorTooManyOpenFiles = 4;
inline constexpr DWORD kErrorAccessDenied = 5;
inline constexpr DWORD kErrorInvalidHandle = 6;
inline constexpr DWORD kErrorNotEnoughMemory = 8;
inline constexpr DWORD kErrorInvalidData = 13;
inline constexpr DWORD kErrorCurrentDirectory = 16;
inline constexpr DWORD kErrorNotSameDevice = 17;
inline constexpr DWORD kErrorNoMoreFiles = 18;
inline constexpr DWORD kErrorWriteProtect = 19;
inline constexpr DWORD kErrorSeek = 25;
inline constexpr DWORD kErrorWriteFault = 29;
inline constexpr DWORD kErrorReadFault = 30;
inline constexpr DWORD kErrorGenFailure = 31;
inline constexpr DWORD kErrorSharingViolation = 32;
inline constexpr DWORD kErrorLockViolation = 33;
inline constexpr DWORD kErrorHandleEof = 38;
inline constexpr DWORD kErrorHandleDiskFull = 39;
inline constexpr DWORD kErrorNotSupported = 50;
inline constexpr DWORD kErrorFileExists = 80;
inline constexpr DWORD kErrorInvalidParameter = 87;
inline constexpr DWORD kErrorBrokenPipe = 109;
inline constexpr DWORD kErrorDiskFull = 112;
inline constexpr DWORD kErrorInvalidName = 123;
inline constexpr DWORD kErrorModNotFound = 126;
inline constexpr DWORD kErrorProcNotFound = 127;
inline constexpr DWORD kErrorNegativeSeek = 131;
inline constexpr DWORD kErrorDirNotEmpty = 145;
inline constexpr DWORD kErrorBusy = 170;
inline constexpr DWORD kErrorAlreadyExists = 183;
inline constexpr DWORD kErrorBadExeFormat = 193;
inline constexpr DWORD kErrorFilenameExcedRange = 206;
inline constexpr DWORD kErrorMoreData = 234;
inline constexpr DWORD kErrorDirectory = 267;
inline constexpr DWORD kErrorNoUnicodeTranslation = 1113;
inline constexpr DWORD kErrorKeyDeleted = 1018;
inline constexpr DWORD kErrorBadKey = 1010;
inline constexpr DWORD kErrorCantOpen = 1011;
inline constexpr DWORD kErrorCantRead = 1012;
inline constexpr DWORD kErrorCantWrite = 1013;
inline constexpr DWORD kErrorRegistryCorrupt = 1015;
inline constexpr DWORD kErrorInvalidWindowHandle = 1400;

// The calling thread's last error, as GetLastError/SetLastError keep it.
DWORD GetLastError();
void SetLastError(DWORD code);

// The Windows code that stands for a POSIX errno value.
DWORD ErrorFromErrno(int err);

}  // namespace platform
