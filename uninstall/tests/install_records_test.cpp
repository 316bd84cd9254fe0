// What the installation records under the local machine and takes away again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install_records.h"
#include "platform/registry.h"
#include "product.h"

namespace {

using platform::RegKey;
using platform::RegRoot;

class InstallRecordsTest : public ::testing::Test {
  protected:
    void SetUp() override { platform::DeleteRegTree(RegRoot::LocalMachine, L""); }
    void TearDown() override { platform::DeleteRegTree(RegRoot::LocalMachine, L""); }
    static std::vector<std::wstring> SubKeys(const std::wstring& path) {
        RegKey key;
        std::vector<std::wstring> names;
        if (key.Open(RegRoot::LocalMachine, path) == 0) {
            key.EnumKeys(&names);
        }
        return names;
    }
    static std::wstring Command() {
        RegKey key;
        platform::RegValue value;
        if (key.Open(RegRoot::LocalMachine, uninstall::UninstallEntryKey()) != 0 ||
            key.QueryValue(uninstall::kRemovalCommandValue, &value) != 0) {
            return L"<missing>";
        }
        return platform::RegStringFromBytes(value.data);
    }
};

TEST_F(InstallRecordsTest, AnotherRecordReplacesTheEntryWhole) {
    ASSERT_EQ(uninstall::RecordUninstallEntry({L"/opt/a/", L"\"/opt/a/remove-toviflash.sh\""}), 0);
    RegKey key;
    ASSERT_EQ(key.Open(RegRoot::LocalMachine, uninstall::UninstallEntryKey(), platform::kKeyWrite),
              0);
    ASSERT_EQ(key.SetString(L"Stale", L"x"), 0);
    ASSERT_EQ(uninstall::RecordUninstallEntry({L"/usr/lib/toviflash/", L"pkexec dpkg -r x"}), 0);
    EXPECT_EQ(Command(), L"pkexec dpkg -r x");
    platform::RegValue value;
    ASSERT_EQ(key.Open(RegRoot::LocalMachine, uninstall::UninstallEntryKey()), 0);
    EXPECT_NE(key.QueryValue(L"Stale", &value), 0);
    EXPECT_EQ(key.QueryValue(L"InstallLocation", &value), 0);
    EXPECT_EQ(platform::RegStringFromBytes(value.data), L"/usr/lib/toviflash/");
}

TEST_F(InstallRecordsTest, ForgettingLeavesNoEmptyKeyAndKeepsOthers) {
    ASSERT_EQ(uninstall::RecordUninstallEntry({L"/opt/a/", L"/opt/a/remove-toviflash.sh"}), 0);
    RegKey key;
    ASSERT_EQ(key.Create(RegRoot::LocalMachine, uninstall::kInstallKey), 0);
    ASSERT_EQ(key.SetString(uninstall::kPathValue, L"/opt/a/ToviFlash"), 0);
    // Another product's uninstall entry and a value on a shared key stay.
    ASSERT_EQ(key.Create(RegRoot::LocalMachine,
                         std::wstring(uninstall::kUninstallEntriesKey) + L"{other}"),
              0);
    ASSERT_EQ(key.Create(RegRoot::LocalMachine, L"SOFTWARE\\kestrum"), 0);
    ASSERT_EQ(key.SetString(L"Shared", L"1"), 0);

    EXPECT_EQ(uninstall::ForgetInstallation(), 0);
    EXPECT_EQ(SubKeys(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"),
              std::vector<std::wstring>{L"{other}"});
    EXPECT_TRUE(SubKeys(L"SOFTWARE\\kestrum").empty());

    // With nothing else there, nothing at all stays; forgetting twice is no failure.
    platform::DeleteRegTree(RegRoot::LocalMachine, L"");
    ASSERT_EQ(uninstall::RecordUninstallEntry({L"/opt/a/", L"x"}), 0);
    ASSERT_EQ(key.Create(RegRoot::LocalMachine, uninstall::kInstallKey), 0);
    EXPECT_EQ(uninstall::ForgetInstallation(), 0);
    EXPECT_TRUE(SubKeys(L"").empty());
    EXPECT_EQ(uninstall::ForgetInstallation(), 0);
}

}  // namespace
