// The uninstaller's three modes and its command line, with the registry store and the
// per-user folder in the test's temporary places.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "command_line.h"
#include "host/testing/scripted_prompts.h"
#include "platform/errors.h"
#include "platform/library.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "product.h"
#include "prompts.h"
#include "register_mode.h"
#include "tovi/testing/files.h"
#include "uninstall_mode.h"
#include "unregister_mode.h"

namespace {

namespace fs = std::filesystem;
using platform::RegKey;
using platform::RegRoot;
using platform::RegValue;
using tovi::testing::TempDir;

// Both registry roots start empty and are left empty.
class UninstallerTest : public ::testing::Test {
  protected:
    void SetUp() override { ClearRegistry(); }
    void TearDown() override {
        ClearRegistry();
        platform::RestoreSystemFunctions();
        platform::SetShellRecorder(nullptr);
    }
    static void ClearRegistry() {
        platform::DeleteRegTree(RegRoot::CurrentUser, L"");
        platform::DeleteRegTree(RegRoot::LocalMachine, L"");
    }
    static bool KeyExists(RegRoot root, const std::wstring& path) {
        RegKey key;
        return key.Open(root, path) == 0;
    }
    static std::wstring StringValue(RegRoot root, const std::wstring& key, const std::wstring& name,
                                    RegValue* raw = nullptr) {
        RegKey k;
        RegValue value;
        if (k.Open(root, key) != 0 || k.QueryValue(name, &value) != 0) {
            return L"<missing>";
        }
        if (raw) {
            *raw = value;
        }
        return value.type == platform::kRegSz ? platform::RegStringFromBytes(value.data)
                                              : L"<not REG_SZ>";
    }

    host::testing::ScriptedPrompts prompts_;
};

TEST(UninstallCommandLineTest, SwitchesChooseTheMode) {
    using uninstall::Mode;
    struct Case {
        std::vector<std::wstring> arguments;
        Mode mode;
    };
    const Case cases[] = {
        {{}, Mode::Uninstall},
        {{L"/Register"}, Mode::Register},
        {{L"-regserver"}, Mode::Register},
        {{L"/REGSERVER"}, Mode::Register},
        {{L"/Unregister"}, Mode::Unregister},
        {{L"-UnRegServer"}, Mode::Unregister},
        {{L"Register"}, Mode::Uninstall},  // a word, not a switch
        {{L"/Registers"}, Mode::Uninstall},
        {{L"/"}, Mode::Uninstall},
        {{L"/x"}, Mode::Uninstall},
        {{L"a.swf"}, Mode::Uninstall},
        {{L"/Register", L"a.swf"}, Mode::Register},
        {{L"/Register", L"-Unregister"}, Mode::Unregister},
    };
    for (const Case& c : cases) {
        std::wstring shown;
        for (const std::wstring& a : c.arguments) {
            shown += a + L" ";
        }
        EXPECT_EQ(uninstall::ModeFromCommandLine(c.arguments), c.mode)
            << platform::Utf8FromWide(shown);
    }
}

TEST_F(UninstallerTest, RegisterRecordsTheMainProgramBesideItAndTheVersion) {
    const std::wstring main(uninstall::MainProgramFileName());
    struct Case {
        std::wstring ownPath;
        std::wstring path;
    };
    const Case cases[] = {
        {L"C:\\Player\\Uninstall.exe", L"C:\\Player\\" + main},
        {L"/opt/Tovi Apps/Uninstall", L"/opt/Tovi Apps/" + main},
        {L"  /usr/lib/toviflash/Uninstall \r\n", L"/usr/lib/toviflash/" + main},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(uninstall::RegisterInstallation(c.ownPath, prompts_));
        RegValue raw;
        EXPECT_EQ(StringValue(RegRoot::LocalMachine, uninstall::kInstallKey, L"Path", &raw),
                  c.path);
        // REG_SZ with its terminating NUL, as the standalone player reads it.
        EXPECT_EQ(raw.data.size(), (c.path.size() + 1) * 2);
        EXPECT_EQ(StringValue(RegRoot::LocalMachine, uninstall::kInstallKey, L"Version"), L"1.0.0");
    }
    EXPECT_TRUE(prompts_.shown.empty());
    // The real file name of the main program, which the standalone player accepts.
    EXPECT_TRUE(platform::FoldCase(main).starts_with(L"toviflash"));
}

TEST_F(UninstallerTest, RegisterWithoutAdministratorRightsTellsSoAndWritesNothing) {
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(gid) != 0 || ::setuid(uid) != 0) {
            ::_exit(90);
        }
        host::testing::ScriptedPrompts prompts;
        const bool registered =
            uninstall::RegisterInstallation(L"/opt/toviflash/Uninstall", prompts);
        const bool told = prompts.shown.size() == 1 &&
                          prompts.shown[0].text == L"注册软件失败, 请以管理员身份运行此程序";
        ::_exit(registered ? 1 : told ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "90: cannot become nobody, 1: registered, 2: not told";
    EXPECT_FALSE(KeyExists(RegRoot::LocalMachine, uninstall::kInstallKey));
}

// A per-user folder with the player's list files and settings key.
class UnregisterTest : public UninstallerTest {
  protected:
    void SetUp() override {
        UninstallerTest::SetUp();
        appData_ = dir_.path() / "appdata";
        fs::create_directories(Seting());
        RegKey key;
        ASSERT_EQ(key.Create(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash\\Settings"), 0);
        ASSERT_EQ(key.SetDword(L"PlayMode", 1), 0);
        ASSERT_EQ(key.Create(RegRoot::CurrentUser, L"Software\\kestrum\\Other"), 0);
    }
    fs::path Kestrum() const { return appData_ / "Kestrum"; }
    fs::path Player() const { return Kestrum() / "ToviFlash"; }
    fs::path Seting() const { return Player() / "Seting"; }
    void Touch(const fs::path& file) { tovi::testing::WriteFileText(file, "x"); }
    bool Unregister(uninstall::UserFiles& files) {
        return uninstall::UnregisterUser(platform::WidePath(appData_.string()), files);
    }
    bool UserKeyExists() { return KeyExists(RegRoot::CurrentUser, uninstall::kUserKey); }

    TempDir dir_;
    fs::path appData_;
    uninstall::UserFiles files_;
};

TEST_F(UnregisterTest, RemovesTheListFilesInAnySpellingTheFoldersAndTheKey) {
    const std::vector<std::vector<std::string>> spellings = {
        {"history.ini", "Playlist.ini"},  // as the main program writes them
        {"History.ini", "playlist.INI"},
        {"history.ini", "HISTORY.INI", "Playlist.ini"},
    };
    for (const auto& names : spellings) {
        SetUp();
        for (const std::string& name : names) {
            Touch(Seting() / name);
        }
        EXPECT_TRUE(Unregister(files_)) << names[0];
        EXPECT_FALSE(fs::exists(Kestrum())) << names[0];
        EXPECT_FALSE(UserKeyExists());
        // Only the player's key goes.
        EXPECT_TRUE(KeyExists(RegRoot::CurrentUser, L"Software\\kestrum\\Other"));
    }
}

TEST_F(UnregisterTest, FoldersGoOnlyWhenEmptyAndTheKeyGoesAnyway) {
    struct Case {
        const char* what;
        fs::path extra;  // relative to the per-user folder
        bool kestrumStays, playerStays, setingStays, done;
    };
    const Case cases[] = {
        {"another program's folder in Kestrum", "Kestrum/Other/a.ini", true, false, false, true},
        {"a file of the user in Seting", "Kestrum/ToviFlash/Seting/mine.txt", true, true, true,
         false},
        {"a file of the user in ToviFlash", "Kestrum/ToviFlash/mine.txt", true, true, false, false},
    };
    for (const Case& c : cases) {
        SetUp();
        Touch(Seting() / "history.ini");
        Touch(Seting() / "Playlist.ini");
        fs::create_directories((appData_ / c.extra).parent_path());
        Touch(appData_ / c.extra);
        EXPECT_EQ(Unregister(files_), c.done) << c.what;
        EXPECT_FALSE(fs::exists(Seting() / "history.ini")) << c.what;
        EXPECT_FALSE(fs::exists(Seting() / "Playlist.ini")) << c.what;
        EXPECT_EQ(fs::exists(Seting()), c.setingStays) << c.what;
        EXPECT_EQ(fs::exists(Player()), c.playerStays) << c.what;
        EXPECT_EQ(fs::exists(Kestrum()), c.kestrumStays) << c.what;
        EXPECT_TRUE(fs::exists(appData_ / c.extra)) << c.what;
        EXPECT_FALSE(UserKeyExists()) << c.what;
        fs::remove_all(Kestrum());
    }
}

TEST_F(UnregisterTest, WithoutRegDeleteTreeTheKeyStays) {
    Touch(Seting() / "history.ini");
    platform::RemoveSystemFunction(L"Advapi32.dll", "RegDeleteTreeW");
    EXPECT_FALSE(Unregister(files_));
    EXPECT_FALSE(fs::exists(Kestrum()));
    EXPECT_TRUE(UserKeyExists());
}

// A link in place of one of the player's folders ends the mode: nothing is deleted where it
// points, and nothing else goes either.
TEST_F(UnregisterTest, AFolderThatIsALinkIsNotDeletedThrough) {
    for (const char* linked : {"Kestrum", "Kestrum/ToviFlash", "Kestrum/ToviFlash/Seting"}) {
        SetUp();
        // Whichever folder the link takes the place of, list files lie where it points.
        TempDir elsewhere;
        const fs::path lists[] = {elsewhere.path(), elsewhere / "Seting",
                                  elsewhere / "ToviFlash" / "Seting"};
        for (const fs::path& folder : lists) {
            fs::create_directories(folder);
            Touch(folder / "History.ini");
            Touch(folder / "Playlist.ini");
        }
        fs::remove_all(Kestrum());
        fs::create_directories((appData_ / linked).parent_path());
        fs::create_directory_symlink(elsewhere.path(), appData_ / linked);
        EXPECT_FALSE(Unregister(files_)) << linked;
        for (const fs::path& folder : lists) {
            EXPECT_TRUE(fs::exists(folder / "History.ini")) << linked;
            EXPECT_TRUE(fs::exists(folder / "Playlist.ini")) << linked;
        }
        EXPECT_TRUE(fs::is_symlink(appData_ / linked)) << linked;
        EXPECT_TRUE(UserKeyExists()) << linked;
        fs::remove_all(Kestrum());
    }
}

TEST_F(UnregisterTest, AHistoryFileThatCannotBeDeletedStopsEverythingAfterIt) {
    struct LockedHistory : uninstall::UserFiles {
        bool RemoveFile(const std::wstring& path) override {
            if (platform::FoldCase(path).ends_with(L"history.ini")) {
                platform::SetLastError(platform::kErrorSharingViolation);
                return false;
            }
            return UserFiles::RemoveFile(path);
        }
    } locked;
    Touch(Seting() / "history.ini");
    Touch(Seting() / "Playlist.ini");
    EXPECT_FALSE(Unregister(locked));
    EXPECT_TRUE(fs::exists(Seting() / "history.ini"));
    EXPECT_TRUE(fs::exists(Seting() / "Playlist.ini"));
    EXPECT_TRUE(UserKeyExists());
}

TEST(UninstallCommandSplitTest, ProgramAndParameters) {
    struct Case {
        std::wstring command, program, parameters;
    };
    const Case cases[] = {
        {L"pkexec /usr/bin/dpkg --remove toviflash", L"pkexec",
         L"/usr/bin/dpkg --remove toviflash"},
        {L"\"/opt/Tovi Apps/remove.sh\" --yes \"a b\"", L"/opt/Tovi Apps/remove.sh",
         L"--yes \"a b\""},
        {L"  /usr/lib/toviflash/remove.sh", L"/usr/lib/toviflash/remove.sh", L""},
        {L"\"/opt/unterminated", L"/opt/unterminated", L""},
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        const uninstall::CommandLine split = uninstall::SplitProgram(c.command);
        EXPECT_EQ(split.program, c.program) << platform::Utf8FromWide(c.command);
        EXPECT_EQ(split.parameters, c.parameters) << platform::Utf8FromWide(c.command);
    }
}

class UninstallModeTest : public UninstallerTest {
  protected:
    void SetUp() override {
        UninstallerTest::SetUp();
        platform::SetShellRecorder(
            [this](const platform::ShellRequest& r) { started_.push_back(r); });
    }
    void RecordEntry(const std::wstring* command) {
        RegKey key;
        ASSERT_EQ(key.Create(RegRoot::LocalMachine, uninstall::UninstallEntryKey()), 0);
        ASSERT_EQ(key.SetString(L"DisplayName", L"ToviFlash"), 0);
        if (command) {
            ASSERT_EQ(key.SetString(uninstall::kRemovalCommandValue, *command), 0);
        }
    }
    void ExpectDamagedMessage() {
        ASSERT_EQ(prompts_.shown.size(), 1u);
        EXPECT_EQ(prompts_.shown[0].text, L"此安装文件可能已经损坏, 无法完成卸载工作。");
        EXPECT_EQ(prompts_.shown[0].caption, L"卸载出错");
        EXPECT_TRUE(started_.empty());
    }

    std::vector<platform::ShellRequest> started_;
};

TEST_F(UninstallModeTest, NeverInstalledGivesTheDamagedMessageAndStartsNothing) {
    EXPECT_EQ(uninstall::RequestRemoval(prompts_), uninstall::UninstallOutcome::kNoEntry);
    ExpectDamagedMessage();
}

TEST_F(UninstallModeTest, AnEntryWithoutARemovalCommandCountsAsDamaged) {
    RecordEntry(nullptr);
    EXPECT_EQ(uninstall::RequestRemoval(prompts_), uninstall::UninstallOutcome::kNoEntry);
    ExpectDamagedMessage();
}

TEST_F(UninstallModeTest, StartsTheRecordedRemovalCommand) {
    TempDir dir;
    const fs::path script = dir / "Tovi Apps" / "remove toviflash.sh";
    fs::create_directories(script.parent_path());
    tovi::testing::WriteFileText(script, "#!/bin/sh\nexit 0\n");
    fs::permissions(script, fs::perms::owner_all);
    const std::wstring command =
        L"\"" + platform::WidePath(script.string()) + L"\" --prefix \"/opt/a b\"";
    RecordEntry(&command);
    EXPECT_EQ(uninstall::RequestRemoval(prompts_), uninstall::UninstallOutcome::kStarted);
    EXPECT_TRUE(prompts_.shown.empty());
    ASSERT_EQ(started_.size(), 1u);
    EXPECT_EQ(started_[0].program, script.string());
    EXPECT_EQ(started_[0].arguments, (std::vector<std::string>{"--prefix", "/opt/a b"}));
}

TEST_F(UninstallModeTest, ACommandThatCannotStartIsNotReported) {
    const std::wstring command = L"/nonexistent/remove-toviflash.sh";
    RecordEntry(&command);
    EXPECT_EQ(uninstall::RequestRemoval(prompts_), uninstall::UninstallOutcome::kStartFailed);
    EXPECT_TRUE(prompts_.shown.empty());
}

}  // namespace
