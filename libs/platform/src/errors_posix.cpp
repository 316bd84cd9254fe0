#include <cerrno>

#include "platform/errors.h"

namespace platform {
namespace {

thread_local DWORD t_lastError = 0;

}  // namespace

DWORD GetLastError() {
    return t_lastError;
}

void SetLastError(DWORD code) {
    t_lastError = code;
}

DWORD ErrorFromErrno(int err) {
    switch (err) {
        case 0:
            return kErrorSuccess;
        case ENOENT:
            return kErrorFileNotFound;
        case ENOTDIR:
        case ELOOP:
            return kErrorPathNotFound;
        case EMFILE:
        case ENFILE:
            return kErrorTooManyOpenFiles;
        case EACCES:
        case EPERM:
        case EISDIR:
            return kErrorAccessDenied;
        case EBADF:
            return kErrorInvalidHandle;
        case ENOMEM:
            return kErrorNotEnoughMemory;
        case EROFS:
            return kErrorWriteProtect;
        case EIO:
            return kErrorGenFailure;
        case ETXTBSY:
        case EBUSY:
            return kErrorSharingViolation;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return kErrorDiskFull;
        case EEXIST:
            return kErrorAlreadyExists;
        case EINVAL:
            return kErrorInvalidParameter;
        case EPIPE:
            return kErrorBrokenPipe;
        case ENAMETOOLONG:
            return kErrorFilenameExcedRange;
        case ENOTEMPTY:
            return kErrorDirNotEmpty;
        case EXDEV:
            return kErrorNotSameDevice;
        case ENOEXEC:
            return kErrorBadExeFormat;
        case ESPIPE:
            return kErrorSeek;
        case ENOSYS:
        case ENOTSUP:
            return kErrorNotSupported;
        default:
            return kErrorGenFailure;
    }
}

}  // namespace platform
