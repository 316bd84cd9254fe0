#include "platform/error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <thread>

#include "platform/errors.h"

namespace platform {
namespace {

TEST(ErrorTextTest, KnownCodesGiveTheSystemTextWithCrLf) {
    EXPECT_EQ(SystemErrorText(kErrorFileNotFound), L"系统找不到指定的文件。\r\n");
    EXPECT_EQ(SystemErrorText(kErrorAccessDenied), L"拒绝访问。\r\n");
    EXPECT_EQ(SystemErrorText(kErrorDiskFull), L"磁盘空间不足。\r\n");
}

TEST(ErrorTextTest, CodeWithoutMessageGivesEmptyText) {
    EXPECT_EQ(SystemErrorText(0xDEADBEEF), L"");
}

TEST(ErrorTextTest, PosixErrorsMapToWindowsCodes) {
    struct Case {
        int err;
        DWORD code;
    } cases[] = {{ENOENT, kErrorFileNotFound},   {EACCES, kErrorAccessDenied},
                 {ENOSPC, kErrorDiskFull},       {EEXIST, kErrorAlreadyExists},
                 {ENOTEMPTY, kErrorDirNotEmpty}, {EISDIR, kErrorAccessDenied}};
    for (const Case& c : cases) {
        EXPECT_EQ(ErrorFromErrno(c.err), c.code) << c.err;
        EXPECT_FALSE(SystemErrorText(c.code).empty());
    }
}

TEST(ErrorTextTest, LastErrorBelongsToEachThread) {
    SetLastError(kErrorAccessDenied);
    DWORD seen = 99;
    std::thread([&] { seen = GetLastError(); }).join();
    EXPECT_EQ(seen, 0u);
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
}

}  // namespace
}  // namespace platform
