#include "platform/errors.h"
#include "platform/file.h"
#include "platform/text.h"

namespace platform {

FileException::FileException(int cause, DWORD osError, std::wstring fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}

int FileException::CauseFromOsError(DWORD osError) {
    switch (osError) {
        case kErrorSuccess:
            return none;
        case kErrorFileNotFound:
            return fileNotFound;
        case kErrorPathNotFound:
        case kErrorInvalidName:
        case kErrorFilenameExcedRange:
        case kErrorDirectory:
            return badPath;
        case kErrorTooManyOpenFiles:
            return tooManyOpenFiles;
        case kErrorAccessDenied:
        case kErrorWriteProtect:
            return accessDenied;
        case kErrorInvalidHandle:
            return invalidFile;
        case kErrorCurrentDirectory:
            return removeCurrentDir;
        case kErrorNoMoreFiles:
            return directoryFull;
        case kErrorSeek:
        case kErrorNegativeSeek:
            return badSeek;
        case kErrorWriteFault:
        case kErrorReadFault:
        case kErrorGenFailure:
            return hardIO;
        case kErrorSharingViolation:
        case kErrorBusy:
            return sharingViolation;
        case kErrorLockViolation:
            return lockViolation;
        case kErrorHandleDiskFull:
        case kErrorDiskFull:
            return diskFull;
        case kErrorHandleEof:
            return endOfFile;
        default:
            return genericException;
    }
}

std::wstring FileException::GetErrorMessage() const {
    const std::wstring name = m_strFileName.empty() ? L"未命名文件" : L"“" + m_strFileName + L"”";
    std::wstring text;
    switch (m_cause) {
        case none:
            text = L"访问 " + name + L" 时没有发生错误。";
            break;
        case fileNotFound:
            text = L"找不到 " + name + L"。";
            break;
        case badPath:
            text = name + L" 的路径全部或部分无效。";
            break;
        case tooManyOpenFiles:
            text = L"打开的文件太多，无法打开 " + name + L"。";
            break;
        case accessDenied:
            text = L"拒绝访问 " + name + L"。";
            break;
        case invalidFile:
            text = L"对 " + name + L" 使用了无效的文件句柄。";
            break;
        case removeCurrentDir:
            text = L"无法删除当前工作目录。";
            break;
        case directoryFull:
            text = L"目录已满，无法创建 " + name + L"。";
            break;
        case badSeek:
            text = L"在 " + name + L" 上设置文件指针时出错。";
            break;
        case hardIO:
            text = L"访问 " + name + L" 时出现硬件 I/O 错误。";
            break;
        case sharingViolation:
            text = L"访问 " + name + L" 时发生共享冲突。";
            break;
        case lockViolation:
            text = L"锁定 " + name + L" 时发生冲突。";
            break;
        case diskFull:
            text = L"写入 " + name + L" 时磁盘已满。";
            break;
        case endOfFile:
            text = L"试图越过 " + name + L" 的结尾进行访问。";
            break;
        default:
            text = L"访问 " + name + L" 时发生未知错误。";
            break;
    }
    if (text.size() > kMaxMessage) {
        text.resize(kMaxMessage);
    }
    return text;
}

const char* FileException::what() const noexcept {
    try {
        what_ = Utf8FromWide(GetErrorMessage());
    } catch (...) {
        return "file error";
    }
    return what_.c_str();
}

}  // namespace platform
