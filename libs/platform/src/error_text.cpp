#include "platform/error_text.h"

#include <algorithm>
#include <iterator>

#include "platform/errors.h"

namespace platform {
namespace {

struct Entry {
    DWORD code;
    const wchar_t* text;
};

// The texts a Chinese Windows shows for the codes this system meets.
constexpr Entry kTexts[] = {
    {kErrorSuccess, L"操作成功完成。"},
    {kErrorInvalidFunction, L"函数不正确。"},
    {kErrorFileNotFound, L"系统找不到指定的文件。"},
    {kErrorPathNotFound, L"系统找不到指定的路径。"},
    {kErrorTooManyOpenFiles, L"系统无法打开文件。"},
    {kErrorAccessDenied, L"拒绝访问。"},
    {kErrorInvalidHandle, L"句柄无效。"},
    {kErrorNotEnoughMemory, L"存储空间不足，无法处理此命令。"},
    {kErrorInvalidData, L"数据无效。"},
    {kErrorCurrentDirectory, L"无法删除目录。"},
    {kErrorNotSameDevice, L"系统无法将文件移到不同的磁盘驱动器。"},
    {kErrorNoMoreFiles, L"没有更多文件。"},
    {kErrorWriteProtect, L"介质受写入保护。"},
    {kErrorSeek, L"驱动器找不到磁盘上特定区域或磁道。"},
    {kErrorWriteFault, L"系统无法写入指定的设备。"},
    {kErrorReadFault, L"系统无法从指定的设备上读取。"},
    {kErrorGenFailure, L"连到系统上的设备没有发挥作用。"},
    {kErrorSharingViolation, L"另一个程序正在使用此文件，进程无法访问。"},
    {kErrorLockViolation, L"另一个程序已锁定文件的一部分，进程无法访问。"},
    {kErrorHandleEof, L"已到文件结尾。"},
    {kErrorHandleDiskFull, L"磁盘已满。"},
    {kErrorNotSupported, L"不支持该请求。"},
    {kErrorFileExists, L"文件存在。"},
    {kErrorInvalidParameter, L"参数错误。"},
    {kErrorBrokenPipe, L"管道已结束。"},
    {kErrorDiskFull, L"磁盘空间不足。"},
    {kErrorInvalidName, L"文件名、目录名或卷标语法不正确。"},
    {kErrorModNotFound, L"找不到指定的模块。"},
    {kErrorProcNotFound, L"找不到指定的程序。"},
    {kErrorNegativeSeek, L"尝试将文件指针移至文件开头之前。"},
    {kErrorDirNotEmpty, L"目录不是空的。"},
    {kErrorBusy, L"请求的资源在使用中。"},
    {kErrorAlreadyExists, L"当文件已存在时，无法创建该文件。"},
    {kErrorBadExeFormat, L"不是有效的应用程序。"},
    {kErrorFilenameExcedRange, L"文件名或扩展名太长。"},
    {kErrorMoreData, L"更多数据可用。"},
    {kErrorDirectory, L"目录名称无效。"},
    {kErrorBadKey, L"配置注册表项无效。"},
    {kErrorCantOpen, L"无法打开配置注册表项。"},
    {kErrorCantRead, L"无法读取配置注册表项。"},
    {kErrorCantWrite, L"无法写入配置注册表项。"},
    {kErrorRegistryCorrupt, L"注册表已损坏。"},
    {kErrorKeyDeleted, L"试图在标记为删除的注册表项上进行非法操作。"},
    {kErrorNoUnicodeTranslation, L"在多字节的目标代码页中，没有此 Unicode 字符可以映射到的字符。"},
    {kErrorInvalidWindowHandle, L"无效的窗口句柄。"},
};

}  // namespace

std::wstring SystemErrorText(DWORD code) {
    auto it = std::find_if(std::begin(kTexts), std::end(kTexts),
                           [code](const Entry& e) { return e.code == code; });
    if (it == std::end(kTexts)) {
        return {};
    }
    return std::wstring(it->text) + L"\r\n";
}

}  // namespace platform
