// The Uninstall program as the installation and the user start it: without a display (a
// message then goes to its error stream), from a folder of its own, with the switches on its
// command line.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/registry.h"
#include "platform/text.h"
#include "product.h"
#include "run_program.h"
#include "tovi/testing/files.h"

namespace {

namespace fs = std::filesystem;
using tovi::testing::TempDir;
using uninstall::testing::Outcome;

bool WaitFor(const fs::path& file) {
    for (int i = 0; i < 200 && !fs::exists(file); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return fs::exists(file);
}

class UninstallProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::DeleteRegTree(platform::RegRoot::LocalMachine, L"");
        platform::DeleteRegTree(platform::RegRoot::CurrentUser, L"");
        // The program with the library it links, in a folder with a blank in its name.
        folder_ = dir_ / "Tovi Apps";
        fs::create_directories(folder_);
        fs::copy_file(tovi::testing::ProgramDir() / "Uninstall", folder_ / "Uninstall");
        fs::copy_file(tovi::testing::ProgramDir() / "libplatform.so", folder_ / "libplatform.so");
    }
    Outcome Run(const std::vector<std::string>& arguments) {
        std::vector<std::string> command{(folder_ / "Uninstall").string()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return uninstall::testing::RunProgram(command);
    }

    TempDir dir_;
    fs::path folder_;
};

TEST_F(UninstallProgramTest, RegisterAndUnregisterSwitches) {
    ASSERT_EQ(Run({"/Regserver"}).exitCode, 0);
    platform::RegKey key;
    platform::RegValue path;
    ASSERT_EQ(key.Open(platform::RegRoot::LocalMachine, uninstall::kInstallKey), 0);
    ASSERT_EQ(key.QueryValue(L"Path", &path), 0);
    EXPECT_EQ(platform::RegStringFromBytes(path.data),
              platform::WidePath((folder_ / "ToviFlash").string()));

    const fs::path seting = fs::path(std::getenv("XDG_DATA_HOME")) / "Kestrum/ToviFlash/Seting";
    fs::create_directories(seting);
    tovi::testing::WriteFileText(seting / "history.ini", "x");
    ASSERT_EQ(key.Create(platform::RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash\\Settings"),
              0);
    ASSERT_EQ(Run({"-UNREGISTER"}).exitCode, 0);
    EXPECT_FALSE(fs::exists(seting.parent_path().parent_path()));
    EXPECT_NE(key.Open(platform::RegRoot::CurrentUser, uninstall::kUserKey), 0);
}

TEST_F(UninstallProgramTest, WithoutAnEntryTheMessageGoesToTheErrorStreamWhenThereIsNoDisplay) {
    const Outcome outcome = Run({});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_NE(outcome.output.find("卸载出错"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("此安装文件可能已经损坏, 无法完成卸载工作。"), std::string::npos)
        << outcome.output;
}

TEST_F(UninstallProgramTest, StartsTheRemovalCommandAndDoesNotWaitForIt) {
    // The removal command waits until the test lets it go, then leaves a mark.
    const fs::path script = dir_ / "remove toviflash.sh";
    const fs::path go = dir_ / "go";
    const fs::path done = dir_ / "done";
    tovi::testing::WriteFileText(script,
                                 "#!/bin/sh\n"
                                 "i=0\n"
                                 "while [ ! -e \"$1\" ] && [ $i -lt 400 ]; do sleep 0.025; "
                                 "i=$((i+1)); done\n"
                                 "echo \"$2\" > \"$3\"\n");
    fs::permissions(script, fs::perms::owner_all);
    platform::RegKey entry;
    ASSERT_EQ(entry.Create(platform::RegRoot::LocalMachine, uninstall::UninstallEntryKey()), 0);
    ASSERT_EQ(entry.SetString(uninstall::kRemovalCommandValue,
                              L"\"" + platform::WidePath(script.string()) + L"\" \"" +
                                  platform::WidePath(go.string()) + L"\" removed \"" +
                                  platform::WidePath(done.string()) + L"\""),
              0);

    const Outcome outcome = Run({"/anything"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.output.empty()) << outcome.output;
    EXPECT_FALSE(fs::exists(done)) << "the uninstaller waited for the removal command";
    tovi::testing::WriteFileText(go, "");
    ASSERT_TRUE(WaitFor(done));
    const tovi::testing::Bytes mark = tovi::testing::ReadFileBytes(done);
    EXPECT_EQ(std::string(mark.begin(), mark.end()), "removed\n");
}

}  // namespace
