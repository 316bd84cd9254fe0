#include "platform/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <set>

#include "platform/errors.h"
#include "platform/text.h"
#include "tovi/testing/files.h"
#include "tovi/testing/test_env.h"

namespace platform {
namespace {

using tovi::testing::ReadFileBytes;
using tovi::testing::TempDir;
using tovi::testing::WriteFileBytes;

std::wstring W(const std::filesystem::path& p) {
    return WidePath(p.string());
}

TEST(FoldersTest, AppDataFolderComesFromXdgAndIsCreated) {
    TempDir dir;
    const std::string saved = std::getenv("XDG_DATA_HOME");
    const auto data = dir / "fresh" / "share";
    ::setenv("XDG_DATA_HOME", (data.string() + "/").c_str(), 1);
    EXPECT_EQ(GetAppDataFolder(), W(data));
    EXPECT_TRUE(std::filesystem::is_directory(data));
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(GetAppDataFolder(), WidePath(std::getenv("HOME")) + L"/.local/share");
    ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

TEST(FoldersTest, TempFolderEndsWithSeparator) {
    std::wstring temp = GetTempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), L'/');
    EXPECT_EQ(temp, WidePath(std::getenv("TMPDIR")) + L"/");
}

TEST(FoldersTest, ProgramPathIsTheRunningExecutable) {
    std::wstring path = GetProgramPath();
    EXPECT_TRUE(path.ends_with(L"/platform_tests")) << Utf8FromWide(path);
    EXPECT_EQ(GetProgramFolder() + L"platform_tests", path);
}

TEST(FoldersTest, DirectoryCallsGiveWindowsCodes) {
    TempDir dir;
    const std::wstring a = W(dir / "a");
    EXPECT_TRUE(MakeDirectory(a.c_str()));
    EXPECT_TRUE(IsDirectory(a.c_str()));
    EXPECT_FALSE(MakeDirectory(a.c_str()));
    EXPECT_EQ(GetLastError(), kErrorAlreadyExists);
    EXPECT_FALSE(MakeDirectory((W(dir / "x") + L"\\y").c_str()));
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);

    WriteFileBytes(dir / "a" / "f", {1});
    EXPECT_FALSE(IsDirectory(W(dir / "a" / "f").c_str()));
    EXPECT_FALSE(RemoveEmptyDirectory(a.c_str()));
    EXPECT_EQ(GetLastError(), kErrorDirNotEmpty);
    EXPECT_FALSE(RemoveFile(a.c_str()));
    EXPECT_EQ(GetLastError(), kErrorAccessDenied);
    EXPECT_TRUE(RemoveFile((a + L"\\f").c_str()));
    EXPECT_FALSE(RemoveFile((a + L"\\f").c_str()));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_FALSE(RemoveFile((a + L"\\none\\f").c_str()));
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
    EXPECT_TRUE(RemoveEmptyDirectory(a.c_str()));
    EXPECT_FALSE(IsDirectory(a.c_str()));
}

TEST(FoldersTest, CopyFileKeepsBytesAndModeAndRespectsFailIfExists) {
    TempDir dir;
    WriteFileBytes(dir / "stub", {1, 2, 3});
    ::chmod((dir / "stub").c_str(), 0755);
    WriteFileBytes(dir / "old", {9});
    const std::wstring from = W(dir / "stub");
    const std::wstring to = W(dir / "old");
    EXPECT_FALSE(CopyFileTo(from.c_str(), to.c_str(), true));
    EXPECT_EQ(GetLastError(), kErrorFileExists);
    EXPECT_EQ(ReadFileBytes(dir / "old"), (tovi::testing::Bytes{9}));
    EXPECT_TRUE(CopyFileTo(from.c_str(), to.c_str(), false));
    EXPECT_EQ(ReadFileBytes(dir / "old"), (tovi::testing::Bytes{1, 2, 3}));
    struct stat st {};
    ASSERT_EQ(::stat((dir / "old").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    EXPECT_FALSE(CopyFileTo(W(dir / "none").c_str(), to.c_str(), false));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
}

TEST(FoldersTest, FinderListsMatchesWithoutRegardToCase) {
    TempDir dir;
    for (const char* name : {"a.swf", "B.SWF", "c.flv", "readme"}) {
        WriteFileBytes(dir / name, {});
    }
    std::filesystem::create_directory(dir / "sub.swf");
    struct Case {
        std::wstring pattern;
        std::set<std::wstring> names;
    } cases[] = {
        {L"\\*.swf", {L"a.swf", L"B.SWF", L"sub.swf"}},
        {L"\\*.*", {L"a.swf", L"B.SWF", L"c.flv", L"readme", L"sub.swf"}},
        {L"/?.flv", {L"c.flv"}},
        {L"\\README", {L"readme"}},
    };
    for (const Case& c : cases) {
        FileFinder finder;
        std::set<std::wstring> found;
        std::wstring pattern = W(dir.path()) + c.pattern;
        for (bool ok = finder.FindFirst(pattern.c_str()); ok; ok = finder.FindNext()) {
            found.insert(finder.Current().name);
            EXPECT_EQ(finder.Current().isDirectory, finder.Current().name == L"sub.swf");
        }
        EXPECT_EQ(found, c.names) << Utf8FromWide(c.pattern);
    }
    FileFinder finder;
    EXPECT_FALSE(finder.FindFirst((W(dir.path()) + L"\\*.exe").c_str()));
    EXPECT_EQ(GetLastError(), kErrorFileNotFound);
    EXPECT_FALSE(finder.FindFirst((W(dir.path()) + L"\\none\\*").c_str()));
    EXPECT_EQ(GetLastError(), kErrorPathNotFound);
}

}  // namespace
}  // namespace platform
