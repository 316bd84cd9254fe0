#include "full_player.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/shell.h"
#include "platform/text.h"
#include "tovi/testing/files.h"

namespace {

using standalone::FullPlayerOutcome;

platform::RegValue Text(const std::wstring& text, platform::DWORD type = platform::kRegSz) {
    platform::RegValue v;
    v.type = type;
    for (wchar_t c : text + L'\0') {
        v.data.push_back(static_cast<std::uint8_t>(c & 0xFF));
        v.data.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
    }
    return v;
}

TEST(FullPlayerPathTest, AcceptsOnlyTheFullPlayersProgramInAnyCase) {
    struct Case {
        platform::RegValue value;
        bool accepted;
    };
    const Case cases[] = {
        {Text(L"/opt/Tovi Apps/ToviFlash"), true},
        {Text(L"/opt/TOVIFLASH"), true},
        {Text(L"/opt/toviflash/Uninstall"), false},
        {Text(L"toviflash"), false},  // the bare name, no folder
        {Text(L"/opt/ToviFlash", platform::kRegBinary), false},
        {Text(L""), false},
    };
    for (const Case& c : cases) {
        const auto path = standalone::AcceptedFullPlayerPath(c.value);
        EXPECT_EQ(path.has_value(), c.accepted)
            << platform::Utf8FromWide(platform::RegStringFromBytes(c.value.data));
        if (path) {
            EXPECT_EQ(*path, platform::RegStringFromBytes(c.value.data));  // case kept
        }
    }
}

TEST(FullPlayerPathTest, QuotedArgumentSplitsBackWhole) {
    for (const std::wstring arg : {L"/home/u/my movies/a b.swf", L"plain.swf", L"",
                                   L"with \"quote\"", L"ends with\\", L"C:\\dir x\\\\"}) {
        EXPECT_EQ(platform::SplitCommandLine(standalone::QuoteArgument(arg)),
                  std::vector<std::wstring>{arg});
    }
}

class OpenInFullPlayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::SetShellRecorder(
            [this](const platform::ShellRequest& r) { requests_.push_back(r); });
    }
    void TearDown() override { platform::SetShellRecorder(nullptr); }

    void Register(const std::wstring& path) {
        platform::RegKey key;
        ASSERT_EQ(key.Create(platform::RegRoot::LocalMachine, standalone::kInstallKey), 0);
        ASSERT_EQ(key.SetString(standalone::kInstallPathValue, path), 0);
    }

    // An installed full player: a program file in a folder with a blank in its name.
    std::string InstallProgram(const std::string& name) {
        std::filesystem::create_directories(dir_ / "Tovi Apps");
        const auto program = dir_ / "Tovi Apps" / name;
        tovi::testing::WriteFileText(program, "#!/bin/sh\n");
        ::chmod(program.c_str(), 0755);
        Register(platform::WidePath(program.string()));
        return program.string();
    }

    tovi::testing::TempDir dir_;
    std::vector<platform::ShellRequest> requests_;
};

TEST_F(OpenInFullPlayerTest, NotRegisteredOrAnotherProgramIsNotInstalled) {
    EXPECT_EQ(standalone::OpenInFullPlayer(true, "/m/a.swf"), FullPlayerOutcome::kNotInstalled);
    InstallProgram("Uninstall");
    EXPECT_EQ(standalone::OpenInFullPlayer(true, "/m/a.swf"), FullPlayerOutcome::kNotInstalled);
    EXPECT_TRUE(requests_.empty());
}

TEST_F(OpenInFullPlayerTest, WithoutMovieNothingStarts) {
    InstallProgram("ToviFlash");
    EXPECT_EQ(standalone::OpenInFullPlayer(false, ""), FullPlayerOutcome::kNoMovie);
    EXPECT_TRUE(requests_.empty());
}

TEST_F(OpenInFullPlayerTest, StartsTheProgramAsStoredWithTheMovieAsOneArgument) {
    // Mixed case in the stored path: lower-casing it would name a file that does not exist.
    const std::string program = InstallProgram("ToviFlash");
    const std::string movie = (dir_ / "My Movies" / "a \"b\" c.swf").string();
    EXPECT_EQ(standalone::OpenInFullPlayer(true, movie), FullPlayerOutcome::kStarted);
    ASSERT_EQ(requests_.size(), 1u);
    EXPECT_EQ(requests_[0].program, program);
    EXPECT_EQ(requests_[0].arguments, std::vector<std::string>{movie});
}

TEST_F(OpenInFullPlayerTest, RegisteredProgramMissingFailsToStart) {
    Register(platform::WidePath((dir_ / "gone" / "ToviFlash").string()));
    EXPECT_EQ(standalone::OpenInFullPlayer(true, "/m/a.swf"), FullPlayerOutcome::kStartFailed);
}

}  // namespace
