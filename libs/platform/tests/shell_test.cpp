#include "platform/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "platform/text.h"
#include "tovi/testing/files.h"

namespace platform {
namespace {

using tovi::testing::TempDir;

class ShellTest : public ::testing::Test {
  protected:
    void Record() {
        SetShellRecorder([this](const ShellRequest& r) { requests.push_back(r); });
    }
    void TearDown() override { SetShellRecorder(nullptr); }
    std::vector<ShellRequest> requests;
};

TEST(SplitCommandLineTest, SplitsAsAWindowsCommandLine) {
    struct Case {
        std::wstring in;
        std::vector<std::wstring> out;
    } cases[] = {
        {L"/x {1234}", {L"/x", L"{1234}"}},
        {L"  \"C:\\Movies\\a b.swf\"  -v ", {L"C:\\Movies\\a b.swf", L"-v"}},
        {L"a\\\\\"b c\" d", {L"a\\b c", L"d"}},
        {L"say \\\"hi\\\"", {L"say", L"\"hi\""}},
        {L"\"\"", {L""}},
        {L"; rm -rf /", {L";", L"rm", L"-rf", L"/"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.in), c.out) << Utf8FromWide(c.in);
    }
}

TEST_F(ShellTest, DocumentsFoldersAndWebPagesGoToTheDesktopHandler) {
    TempDir dir;
    tovi::testing::WriteFileBytes(dir / "a.swf", {});
    Record();
    const std::wstring swf = WidePath((dir / "a.swf").string());
    const std::wstring folder = WidePath(dir.path().string());
    for (const std::wstring& target :
         {std::wstring(L"https://example.com/ToviFlash/Source/"), swf, folder}) {
        requests.clear();
        EXPECT_GT(ShellOpen(L"open", target.c_str(), nullptr, nullptr, kSwShow), 32);
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_TRUE(requests[0].program.ends_with("xdg-open"));
        EXPECT_EQ(requests[0].arguments, std::vector<std::string>{Utf8FromWide(target)});
    }
}

TEST_F(ShellTest, ProgramsGetTheirArgumentsSeparatelyAndByWindowsName) {
    TempDir dir;
    tovi::testing::WriteFileText(dir / "ToviFlash", "#!/bin/sh\n");
    ::chmod((dir / "ToviFlash").c_str(), 0755);
    Record();
    const std::wstring exe = WidePath(dir.path().string()) + L"\\ToviFLash.exe";
    EXPECT_GT(ShellOpen(L"open", exe.c_str(), L"\"/m/a b.swf\" $(id)", nullptr, kSwShowNormal), 32);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].program, (dir / "ToviFlash").string());
    EXPECT_EQ(requests[0].arguments, (std::vector<std::string>{"/m/a b.swf", "$(id)"}));
}

TEST_F(ShellTest, MissingTargetsFollowShellExecuteCodes) {
    TempDir dir;
    Record();
    EXPECT_EQ(ShellOpen(L"open", WidePath((dir / "none.swf").string()).c_str(), nullptr, nullptr,
                        kSwShow),
              2);
    EXPECT_EQ(ShellOpen(nullptr, WidePath((dir / "no" / "x.swf").string()).c_str(), nullptr,
                        nullptr, kSwShow),
              3);
    EXPECT_TRUE(requests.empty());
}

TEST(ShellStartTest, StartsAProgramWithoutAShell) {
    TempDir dir;
    const auto script = dir / "record";
    const auto out = dir / "args.txt";
    tovi::testing::WriteFileText(script, "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > \"" +
                                             out.string() + ".tmp\"\nmv \"" + out.string() +
                                             ".tmp\" \"" + out.string() + "\"\n");
    ::chmod(script.c_str(), 0755);
    EXPECT_GT(ShellOpen(L"open", WidePath(script.string()).c_str(), L"\"a b\" ;echo `x`", nullptr,
                        kSwShow),
              32);
    for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(std::filesystem::exists(out));
    auto bytes = tovi::testing::ReadFileBytes(out);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "[a b]\n[;echo]\n[`x`]\n");
}

}  // namespace
}  // namespace platform
