#include "platform/registry.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/errors.h"
#include "platform/text.h"
#include "registry_document.h"
#include "tovi/testing/files.h"

namespace platform {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

fs::path UserFile() {
    return fs::path(std::getenv("XDG_CONFIG_HOME")) / "kestrum" / "HKEY_CURRENT_USER.reg";
}

fs::path MachineFile() {
    return fs::path(std::getenv("TOVI_HKLM_DIR")) / "HKEY_LOCAL_MACHINE.reg";
}

std::string ReadText(const fs::path& p) {
    Bytes b = tovi::testing::ReadFileBytes(p);
    return std::string(b.begin(), b.end());
}

// Every case starts with no registry files.
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::error_code ec;
        fs::remove_all(UserFile().parent_path(), ec);
        fs::remove_all(MachineFile().parent_path(), ec);
        fs::create_directories(MachineFile().parent_path());
    }
};

// Runs `body` in a child process and returns its exit code.
template <typename Fn>
int InChild(Fn body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(RegistryTest, ValuesKeepTheirTypeAndSize) {
    struct Case {
        const wchar_t* name;
        DWORD type;
        Bytes data;
    } cases[] = {
        {L"MaxHistory", kRegDword, {200, 0, 0, 0}},
        {L"hasMenu", kRegBinary, {0, 1, 1}},
        {L"isAddHead", kRegBinary, {1}},
        {L"empty", kRegBinary, {}},
        {L"Path", kRegSz, {'C', 0, ':', 0, 0, 0}},
        {L"Chinese", kRegSz, {0xD1, 0x79, 0x80, 0x62, 0, 0}},  // 科技
        {L"odd sz", kRegSz, {'a', 0, 'b'}},                    // no terminator, odd size
        {L"short dword", kRegDword, {1, 2}},
        {L"multi", kRegMultiSz, {'a', 0, 0, 0, 0, 0}},
    };
    RegKey key;
    ASSERT_EQ(key.Create(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash\\Settings"), 0);
    for (const Case& c : cases) {
        EXPECT_EQ(key.SetValue(c.name, c.type, c.data.data(), static_cast<DWORD>(c.data.size())),
                  0);
    }
    // Read back from the file through a fresh key, and once more after a re-parse.
    RegKey reader;
    ASSERT_EQ(reader.Open(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash\\Settings"), 0);
    bool damaged = true;
    RegistryDocument doc =
        RegistryDocument::Parse(ReadText(UserFile()), L"HKEY_CURRENT_USER", &damaged);
    EXPECT_FALSE(damaged);
    for (const Case& c : cases) {
        DWORD type = 0, size = 0;
        ASSERT_EQ(reader.QueryValue(c.name, &type, nullptr, &size), 0) << Utf8FromWide(c.name);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(size, c.data.size());
        Bytes got(size);
        EXPECT_EQ(reader.QueryValue(c.name, &type, got.data(), &size), 0);
        EXPECT_EQ(got, c.data) << Utf8FromWide(c.name);
        const auto* stored = RegistryDocument::FindValue(
            *doc.FindKey(L"software\\KESTRUM\\toviflash\\settings"), c.name);
        ASSERT_NE(stored, nullptr);
        EXPECT_EQ(stored->data, c.data);
    }
}

TEST_F(RegistryTest, FileIsReadableExportText) {
    RegKey key;
    ASSERT_EQ(key.Create(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash\\Settings"), 0);
    ASSERT_EQ(key.SetDword(L"MaxHistory", 200), 0);
    const std::uint8_t menu[3] = {0, 1, 0x10};
    ASSERT_EQ(key.SetBinary(L"hasMenu", menu, 3), 0);
    ASSERT_EQ(key.SetString(L"Path", L"C:\\Player\\\"x\""), 0);
    EXPECT_EQ(ReadText(UserFile()),
              "Windows Registry Editor Version 5.00\n"
              "\n[HKEY_CURRENT_USER\\Software]\n"
              "\n[HKEY_CURRENT_USER\\Software\\kestrum]\n"
              "\n[HKEY_CURRENT_USER\\Software\\kestrum\\ToviFlash]\n"
              "\n[HKEY_CURRENT_USER\\Software\\kestrum\\ToviFlash\\Settings]\n"
              "\"MaxHistory\"=dword:000000c8\n"
              "\"hasMenu\"=hex:00,01,10\n"
              "\"Path\"=\"C:\\\\Player\\\\\\\"x\\\"\"\n");
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    RegKey key;
    bool created = false;
    ASSERT_EQ(key.Create(RegRoot::LocalMachine, L"SOFTWARE\\kestrum\\ToviFlash\\Install", kKeyWrite,
                         &created),
              0);
    EXPECT_TRUE(created);
    ASSERT_EQ(key.SetString(L"Path", L"/opt/tovi/ToviFLash.exe"), 0);
    ASSERT_EQ(key.SetString(L"PATH", L"/opt/tovi/ToviFlash"), 0);  // same value

    RegKey again;
    ASSERT_EQ(again.Create(RegRoot::LocalMachine, L"Software\\Kestrum\\toviflash\\install",
                           kKeyWrite, &created),
              0);
    EXPECT_FALSE(created);
    RegValue value;
    ASSERT_EQ(again.QueryValue(L"path", &value), 0);
    EXPECT_EQ(RegStringFromBytes(value.data), L"/opt/tovi/ToviFlash");
    std::vector<std::wstring> names;
    ASSERT_EQ(again.EnumValues(&names), 0);
    EXPECT_EQ(names, std::vector<std::wstring>{L"Path"});
    RegKey parent;
    ASSERT_EQ(parent.Open(RegRoot::LocalMachine, L"software"), 0);
    ASSERT_EQ(parent.EnumKeys(&names), 0);
    EXPECT_EQ(names, std::vector<std::wstring>{L"kestrum"});
    EXPECT_NE(ReadText(MachineFile()).find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\kestrum\\ToviFlash]"),
              std::string::npos);
}

TEST_F(RegistryTest, MissingKeysAndValuesAndSmallBuffers) {
    RegKey key;
    EXPECT_EQ(key.Open(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash\\Settings"),
              static_cast<LONG>(kErrorFileNotFound));
    EXPECT_EQ(key.Open(RegRoot::CurrentUser, L"Software\\kestrum", kKeyWrite),
              static_cast<LONG>(kErrorFileNotFound));
    ASSERT_EQ(key.Create(RegRoot::CurrentUser, L"Software\\kestrum"), 0);
    ASSERT_EQ(key.SetString(L"Name", L"abc"), 0);
    DWORD type = 0;
    DWORD size = 4;
    std::uint8_t small[4];
    EXPECT_EQ(key.QueryValue(L"Name", &type, small, &size), static_cast<LONG>(kErrorMoreData));
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(key.QueryValue(L"Other", &type, nullptr, &size),
              static_cast<LONG>(kErrorFileNotFound));

    RegKey reader;
    ASSERT_EQ(reader.Open(RegRoot::CurrentUser, L"Software\\kestrum", kKeyRead), 0);
    EXPECT_EQ(reader.SetDword(L"x", 1), static_cast<LONG>(kErrorAccessDenied));
}

TEST_F(RegistryTest, DeleteTreeRemovesTheKeyAndEverythingBelow) {
    RegKey key;
    ASSERT_EQ(key.Create(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash\\Settings"), 0);
    ASSERT_EQ(key.SetDword(L"PlayMode", 2), 0);
    RegKey other;
    ASSERT_EQ(other.Create(RegRoot::CurrentUser, L"Software\\kestrum\\Other"), 0);
    EXPECT_EQ(DeleteRegTree(RegRoot::CurrentUser, L"software\\KESTRUM\\toviflash"), 0);
    RegKey probe;
    EXPECT_EQ(probe.Open(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash"),
              static_cast<LONG>(kErrorFileNotFound));
    EXPECT_EQ(probe.Open(RegRoot::CurrentUser, L"Software\\kestrum\\Other"), 0);
    EXPECT_EQ(DeleteRegTree(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash"),
              static_cast<LONG>(kErrorFileNotFound));
    // The key object that still names the deleted key fails instead of resurrecting it.
    EXPECT_NE(key.SetDword(L"PlayMode", 1), 0);
    EXPECT_EQ(probe.Open(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash"),
              static_cast<LONG>(kErrorFileNotFound));
}

TEST_F(RegistryTest, NonRootWriterGetsAccessDeniedOnLocalMachine) {
    RegKey key;
    ASSERT_EQ(key.Create(RegRoot::LocalMachine, L"SOFTWARE\\kestrum\\ToviFlash\\Install"), 0);
    ASSERT_EQ(key.SetString(L"Version", L"1.0.0"), 0);
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    const uid_t uid = nobody->pw_uid;
    const gid_t gid = nobody->pw_gid;
    int code = InChild([&] {
        if (::setgid(gid) != 0 || ::setuid(uid) != 0) {
            return 90;
        }
        RegKey writer;
        if (writer.Create(RegRoot::LocalMachine, L"SOFTWARE\\kestrum\\ToviFlash\\Install",
                          kKeyWrite) != static_cast<LONG>(kErrorAccessDenied)) {
            return 1;
        }
        if (writer.Open(RegRoot::LocalMachine, L"SOFTWARE\\kestrum\\ToviFlash\\Install",
                        kKeyWrite) != static_cast<LONG>(kErrorAccessDenied)) {
            return 2;
        }
        if (DeleteRegTree(RegRoot::LocalMachine, L"SOFTWARE\\kestrum") !=
            static_cast<LONG>(kErrorAccessDenied)) {
            return 3;
        }
        // Reading stays possible.
        RegKey reader;
        RegValue value;
        if (reader.Open(RegRoot::LocalMachine, L"SOFTWARE\\kestrum\\ToviFlash\\Install") != 0 ||
            reader.QueryValue(L"Version", &value) != 0) {
            return 4;
        }
        return 0;
    });
    EXPECT_EQ(code, 0);
    RegValue value;
    EXPECT_EQ(key.QueryValue(L"Version", &value), 0);
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceKeepEveryValue) {
    constexpr int kWriters = 2;
    constexpr int kValues = 40;
    {
        RegKey key;
        ASSERT_EQ(key.Create(RegRoot::CurrentUser, L"Software\\kestrum\\Race"), 0);
    }
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        pid_t pid = ::fork();
        if (pid == 0) {
            RegKey key;
            if (key.Open(RegRoot::CurrentUser, L"Software\\kestrum\\Race", kKeyWrite) != 0) {
                ::_exit(1);
            }
            for (int i = 0; i < kValues; ++i) {
                std::wstring name = L"w" + std::to_wstring(w) + L"v" + std::to_wstring(i);
                if (key.SetDword(name, static_cast<DWORD>(i)) != 0) {
                    ::_exit(2);
                }
            }
            ::_exit(0);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    RegKey key;
    ASSERT_EQ(key.Open(RegRoot::CurrentUser, L"Software\\kestrum\\Race"), 0);
    std::vector<std::wstring> names;
    ASSERT_EQ(key.EnumValues(&names), 0);
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kWriters * kValues));
}

TEST_F(RegistryTest, DamagedFileKeepsReadableEntriesAndTheOriginal) {
    fs::create_directories(UserFile().parent_path());
    const std::string damaged =
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "[HKEY_CURRENT_USER\\Software\\kestrum\\ToviFlash\\Settings]\n"
        "\"MaxHistory\"=dword:00000190\n"
        "\"Broken\"=dword:zz\n"
        "garbage line\x01\n"
        "\"hasMenu\"=hex:00,00,\\\n"
        "  01\n"
        "[HKEY_CURRENT_USER\\Software\\kestrum\\Cut\n"
        "\"PlayMode\"=dword:00000003\n"
        "\"Tail\"=\"unterminated\n";
    tovi::testing::WriteFileText(UserFile(), damaged);

    RegKey key;
    ASSERT_EQ(key.Open(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash\\Settings",
                       kKeyRead | kKeyWrite),
              0);
    RegValue value;
    ASSERT_EQ(key.QueryValue(L"MaxHistory", &value), 0);
    EXPECT_EQ(value.data, (Bytes{0x90, 1, 0, 0}));
    ASSERT_EQ(key.QueryValue(L"hasMenu", &value), 0);
    EXPECT_EQ(value.data, (Bytes{0, 0, 1}));
    EXPECT_EQ(key.QueryValue(L"Broken", &value), static_cast<LONG>(kErrorFileNotFound));

    // The first save rewrites the file cleanly and keeps the damaged one beside it.
    ASSERT_EQ(key.SetDword(L"ScaleMode", 1), 0);
    std::vector<fs::path> kept;
    for (const auto& entry : fs::directory_iterator(UserFile().parent_path())) {
        if (entry.path().filename().string().find(".damaged-") != std::string::npos) {
            kept.push_back(entry.path());
        }
    }
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadText(kept[0]), damaged);
    bool stillDamaged = true;
    RegistryDocument::Parse(ReadText(UserFile()), L"HKEY_CURRENT_USER", &stillDamaged);
    EXPECT_FALSE(stillDamaged);
    ASSERT_EQ(key.QueryValue(L"hasMenu", &value), 0);
}

// A key path of `depth` names, each `name` long.
std::string DeepPath(std::size_t depth, std::size_t nameLength) {
    std::string path;
    for (std::size_t i = 0; i < depth; ++i) {
        path += (i ? "\\" : "") + std::string(nameLength, static_cast<char>('a' + i % 26));
    }
    return path;
}

TEST(RegistryDocumentTest, PathsBeyondTheLimitsAreDamageAndTheRestIsKept) {
    struct Case {
        const char* what;
        std::string path;
        bool accepted;
    } cases[] = {
        {"512 names", DeepPath(512, 1), true},
        {"513 names", DeepPath(513, 1), false},
        {"5000 names (10 KB line)", DeepPath(5000, 1), false},
        {"10000 names (20 KB line)", DeepPath(10000, 1), false},
        {"a name of 255", DeepPath(1, 255), true},
        {"a name of 256", DeepPath(1, 256), false},
        {"128 names of 255", DeepPath(128, 255), true},
        {"129 names of 255 (over 32767 in all)", DeepPath(129, 255), false},
    };
    for (const Case& c : cases) {
        const std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" +
                                 c.path +
                                 "]\n\"x\"=dword:1\n\n"
                                 "[HKEY_CURRENT_USER\\Software\\kestrum\\ToviFlash\\Settings]\n"
                                 "\"MaxHistory\"=dword:00000190\n";
        bool damaged = false;
        RegistryDocument doc = RegistryDocument::Parse(text, L"HKEY_CURRENT_USER", &damaged);
        EXPECT_EQ(damaged, !c.accepted) << c.what;
        const std::wstring wide = WideFromUtf8(c.path);
        EXPECT_EQ(doc.HasKey(wide), c.accepted) << c.what;
        const auto* settings = doc.FindKey(L"Software\\kestrum\\ToviFlash\\Settings");
        ASSERT_NE(settings, nullptr) << c.what;
        EXPECT_NE(RegistryDocument::FindValue(*settings, L"MaxHistory"), nullptr) << c.what;
        if (c.accepted) {
            // What was kept is written back and read again unchanged.
            bool again = true;
            const std::string saved = doc.Serialize(L"HKEY_CURRENT_USER");
            RegistryDocument reread = RegistryDocument::Parse(saved, L"HKEY_CURRENT_USER", &again);
            EXPECT_FALSE(again) << c.what;
            EXPECT_EQ(reread.Serialize(L"HKEY_CURRENT_USER"), saved) << c.what;
        }
    }
}

// A damaged line costs only itself: the values after it are kept.
TEST(RegistryDocumentTest, ADamagedLineSkipsOnlyItself) {
    const char* damagedLines[] = {
        "\"Tail\"=\"unterminated,\\",  // looks continued, but is no hex list
        "\"Half\"=hex:00,zz,\\",      "garbage,\\", "\"Broken\"=dword:zz", "\"x\"=hex(2:00",
    };
    for (const char* damagedLine : damagedLines) {
        const std::string text = std::string(
                                     "Windows Registry Editor Version 5.00\n\n"
                                     "[HKEY_CURRENT_USER\\Software\\kestrum\\ToviFlash]\n"
                                     "\"MaxHistory\"=dword:00000190\n") +
                                 damagedLine +
                                 "\n\"PlayMode\"=dword:00000003\n"
                                 "\"hasMenu\"=hex:00,\\\n  01,\\\n  01\n";
        bool damaged = false;
        RegistryDocument doc = RegistryDocument::Parse(text, L"HKEY_CURRENT_USER", &damaged);
        EXPECT_TRUE(damaged) << damagedLine;
        const auto* key = doc.FindKey(L"Software\\kestrum\\ToviFlash");
        ASSERT_NE(key, nullptr) << damagedLine;
        EXPECT_EQ(key->values().size(), 3u) << damagedLine;
        const auto* playMode = RegistryDocument::FindValue(*key, L"PlayMode");
        ASSERT_NE(playMode, nullptr) << damagedLine;
        EXPECT_EQ(playMode->data, (Bytes{3, 0, 0, 0})) << damagedLine;
        const auto* menu = RegistryDocument::FindValue(*key, L"hasMenu");
        ASSERT_NE(menu, nullptr) << damagedLine;
        EXPECT_EQ(menu->data, (Bytes{0, 1, 1})) << damagedLine;
    }
}

// Many values in one key, set, replaced and removed, and a hex list over many lines: each
// line costs its own length (this completes at once; before, it took quadratic time).
TEST(RegistryDocumentTest, ManyValuesAndContinuationsReadInOnePass) {
    constexpr int kValues = 50000;
    std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Big]\n";
    for (int i = 0; i < kValues; ++i) {
        text += "\"v" + std::to_string(i) + "\"=dword:1\n";
    }
    for (int i = 0; i < kValues; i += 2) {
        text += "\"V" + std::to_string(i) + "\"=-\n";
    }
    text += "\"long\"=hex:00";
    for (int i = 0; i < kValues; ++i) {
        text += ",\\\n  01";
    }
    text += "\n";
    bool damaged = true;
    RegistryDocument doc = RegistryDocument::Parse(text, L"HKEY_CURRENT_USER", &damaged);
    EXPECT_FALSE(damaged);
    const RegistryDocument::Key* key = doc.FindKey(L"big");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->values().size(), static_cast<std::size_t>(kValues / 2 + 1));
    EXPECT_EQ(RegistryDocument::FindValue(*key, L"v0"), nullptr);
    ASSERT_NE(RegistryDocument::FindValue(*key, L"v1"), nullptr);
    const auto* hex = RegistryDocument::FindValue(*key, L"LONG");
    ASSERT_NE(hex, nullptr);
    EXPECT_EQ(hex->data.size(), static_cast<std::size_t>(kValues + 1));
}

TEST_F(RegistryTest, SettingsBeyondTheLimitsAreReadAsDamagedAndKept) {
    fs::create_directories(UserFile().parent_path());
    const std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" +
                             DeepPath(10000, 1) +
                             "]\n\n[HKEY_CURRENT_USER\\Software\\kestrum\\ToviFlash\\Settings]\n"
                             "\"PlayMode\"=dword:00000002\n";
    tovi::testing::WriteFileText(UserFile(), text);
    RegKey key;
    ASSERT_EQ(key.Open(RegRoot::CurrentUser, L"Software\\kestrum\\ToviFlash\\Settings",
                       kKeyRead | kKeyWrite),
              0);
    RegValue value;
    ASSERT_EQ(key.QueryValue(L"PlayMode", &value), 0);
    ASSERT_EQ(key.SetDword(L"ScaleMode", 1), 0);
    int kept = 0;
    for (const auto& entry : fs::directory_iterator(UserFile().parent_path())) {
        if (entry.path().filename().string().find(".damaged-") != std::string::npos) {
            EXPECT_EQ(ReadText(entry.path()), text);
            ++kept;
        }
    }
    EXPECT_EQ(kept, 1);
    EXPECT_EQ(ReadText(UserFile()).find("\\a\\b\\c"), std::string::npos);
}

TEST_F(RegistryTest, ReadsUtf16FilesWithByteOrderMark) {
    const std::wstring text =
        L"Windows Registry Editor Version 5.00\r\n\r\n"
        L"[HKEY_CURRENT_USER\\Software\\Tovi科技\\ToviFlash\\Settings]\r\n"
        L"@=\"默认\"\r\n"
        L"\"PlayMode\"=dword:1\r\n";
    std::u16string units = Utf16FromWide(text);
    Bytes bytes = {0xFF, 0xFE};
    for (char16_t u : units) {
        bytes.push_back(static_cast<std::uint8_t>(u & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    }
    fs::create_directories(UserFile().parent_path());
    tovi::testing::WriteFileBytes(UserFile(), bytes);
    RegKey key;
    ASSERT_EQ(key.Open(RegRoot::CurrentUser, L"software\\tovi科技\\toviflash\\settings"), 0);
    RegValue value;
    ASSERT_EQ(key.QueryValue(L"", &value), 0);
    EXPECT_EQ(value.type, kRegSz);
    EXPECT_EQ(RegStringFromBytes(value.data), L"默认");
    ASSERT_EQ(key.QueryValue(L"PlayMode", &value), 0);
    EXPECT_EQ(value.data, (Bytes{1, 0, 0, 0}));
}

}  // namespace
}  // namespace platform
