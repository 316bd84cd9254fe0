#include "platform/file.h"

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "platform/text.h"
#include "tovi/testing/files.h"

namespace platform {
namespace {

using tovi::testing::Bytes;
using tovi::testing::ReadFileBytes;
using tovi::testing::TempDir;
using tovi::testing::WriteFileBytes;

std::wstring W(const std::filesystem::path& p) {
    return WidePath(p.string());
}

TEST(FileTest, OpenFailuresGiveWindowsCodes) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    struct Case {
        std::wstring name;
        UINT flags;
        DWORD code;
        int cause;
    } cases[] = {
        {W(dir / "missing.swf"), File::modeRead, kErrorFileNotFound, FileException::fileNotFound},
        {W(dir / "nofolder" / "a.swf"), File::modeRead, kErrorPathNotFound, FileException::badPath},
        {W(dir / "nofolder" / "out.exe"), File::modeCreate | File::modeWrite, kErrorPathNotFound,
         FileException::badPath},
        {W(dir / "folder"), File::modeRead, kErrorAccessDenied, FileException::accessDenied},
        {W(dir / "folder"), File::modeCreate | File::modeWrite | File::typeBinary,
         kErrorAccessDenied, FileException::accessDenied},
    };
    for (const Case& c : cases) {
        File file;
        FileException error;
        SetLastError(0);
        EXPECT_FALSE(file.Open(c.name.c_str(), c.flags, &error)) << Utf8FromWide(c.name);
        EXPECT_EQ(GetLastError(), c.code) << Utf8FromWide(c.name);
        EXPECT_EQ(error.m_lOsError, c.code);
        EXPECT_EQ(error.m_cause, c.cause);
        EXPECT_EQ(error.m_strFileName, c.name);
        EXPECT_FALSE(file.IsOpen());
    }
}

TEST(FileTest, BackslashesSeparateFolders) {
    TempDir dir;
    std::filesystem::create_directory(dir / "Seting");
    WriteFileBytes(dir / "Seting" / "a.ini", {1, 2, 3});
    File file;
    std::wstring name = W(dir.path()) + L"\\Seting\\a.ini";
    ASSERT_TRUE(file.Open(name.c_str(), File::modeRead | File::typeBinary));
    EXPECT_EQ(file.GetLength(), 3u);
    EXPECT_EQ(file.GetFilePath(), name);
    EXPECT_EQ(file.GetFileName(), L"a.ini");
}

TEST(FileTest, CreateTruncatesUnlessNoTruncate) {
    TempDir dir;
    const auto path = dir / "out.bin";
    WriteFileBytes(path, {9, 9, 9, 9});
    {
        File file;
        ASSERT_TRUE(file.Open(W(path).c_str(),
                              File::modeCreate | File::modeReadWrite | File::modeNoTruncate));
        EXPECT_EQ(file.GetLength(), 4u);
        file.Seek(1, File::begin);
        const unsigned char b = 7;
        file.Write(&b, 1);
    }
    EXPECT_EQ(ReadFileBytes(path), (Bytes{9, 7, 9, 9}));
    {
        File file;
        ASSERT_TRUE(file.Open(W(path).c_str(), 0x9001));  // create, write, binary
        EXPECT_EQ(file.GetLength(), 0u);
        file.Write("ab", 2);
        file.Close();
        EXPECT_FALSE(file.IsOpen());
    }
    EXPECT_EQ(ReadFileBytes(path), (Bytes{'a', 'b'}));
}

TEST(FileTest, ReadStopsShortAtTheEndAndSeekMovesThePosition) {
    TempDir dir;
    WriteFileBytes(dir / "f", {1, 2, 3, 4, 5});
    File file;
    ASSERT_TRUE(file.Open(W(dir / "f").c_str(), File::modeRead));
    unsigned char buf[8] = {};
    EXPECT_EQ(file.Read(buf, 3), 3u);
    EXPECT_EQ(file.GetPosition(), 3u);
    EXPECT_EQ(file.Read(buf, 8), 2u);
    EXPECT_EQ(buf[0], 4);
    EXPECT_EQ(file.Read(buf, 8), 0u);
    EXPECT_EQ(file.Seek(-2, File::end), 3u);
    EXPECT_EQ(file.Seek(1, File::current), 4u);
    EXPECT_EQ(file.SeekToBegin(), 0u);
    // Past the end is allowed and reads nothing.
    EXPECT_EQ(file.Seek(100, File::begin), 100u);
    EXPECT_EQ(file.Read(buf, 1), 0u);
}

TEST(FileTest, ErrorsAfterOpenThrowFileException) {
    TempDir dir;
    WriteFileBytes(dir / "f", {1});
    File file;
    ASSERT_TRUE(file.Open(W(dir / "f").c_str(), File::modeRead));
    try {
        file.Seek(-1, File::begin);
        FAIL() << "a seek before the start must throw";
    } catch (const FileException& e) {
        EXPECT_EQ(e.m_cause, FileException::badSeek);
        EXPECT_EQ(e.m_lOsError, kErrorNegativeSeek);
    }
    // Writing to a file opened for reading.
    EXPECT_THROW(file.Write("x", 1), FileException);
    file.Close();
    unsigned char b;
    EXPECT_THROW(file.Read(&b, 1), FileException);
}

TEST(FileTest, ErrorMessageNamesTheFileAndStaysWithin255Characters) {
    FileException full(FileException::diskFull, kErrorDiskFull, L"D:\\out.exe");
    EXPECT_EQ(full.GetErrorMessage(), L"写入 “D:\\out.exe” 时磁盘已满。");
    FileException longName(FileException::accessDenied, kErrorAccessDenied,
                           std::wstring(400, L'x'));
    EXPECT_EQ(longName.GetErrorMessage().size(), FileException::kMaxMessage);
    EXPECT_STRNE(longName.what(), "");
}

}  // namespace
}  // namespace platform
