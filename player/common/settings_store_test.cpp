#include "common/settings_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/registry.h"

namespace {

using platform::RegKey;
using platform::RegRoot;
using platform::RegValue;
using Bytes = std::vector<std::uint8_t>;

Bytes Dword(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

void Store(const wchar_t* name, platform::DWORD type, const Bytes& data) {
    RegKey key;
    ASSERT_EQ(key.Create(RegRoot::CurrentUser, settings_store::kSettingsKey), 0);
    ASSERT_EQ(key.SetValue(name, type, data.data(), static_cast<platform::DWORD>(data.size())), 0);
}

// Every case starts without a stored key, whatever ran before it in this process.
class SettingsStore : public ::testing::Test {
  protected:
    void SetUp() override { platform::DeleteRegTree(RegRoot::CurrentUser, L"Software"); }
};

RegValue Stored(const wchar_t* keyPath, const wchar_t* name) {
    RegKey key;
    RegValue value;
    EXPECT_EQ(key.Open(RegRoot::CurrentUser, keyPath), 0);
    EXPECT_EQ(key.QueryValue(name, &value), 0) << "value " << wxString(name);
    return value;
}

TEST_F(SettingsStore, FirstRunKeepsTheDefaults) {
    PlayerSettings s;
    settings_store::Load(s);
    EXPECT_EQ(s.MaxHistory, 200);
    EXPECT_EQ(s.MaxBoundFile, 50);
    EXPECT_EQ(s.MaxPlayerFile, 250);
    EXPECT_EQ(s.PlayMode, 2);
    EXPECT_TRUE(s.isAddHead);
    EXPECT_EQ(s.OtherSeting, 2);
    EXPECT_EQ(s.PlayHuazhi, "high");
    EXPECT_EQ(s.ScaleMode, 0);
    EXPECT_FALSE(s.isPlayingList);
    EXPECT_EQ(s.EndMargin, 2);
    EXPECT_FALSE(s.hasMenu[0]);
    EXPECT_TRUE(s.hasMenu[1]);
    EXPECT_TRUE(s.hasMenu[2]);
    EXPECT_FALSE(s.isLargeIcon[0]);
    EXPECT_TRUE(s.isLargeIcon[1]);
    EXPECT_TRUE(s.isLargeIcon[2]);
}

TEST_F(SettingsStore, SavesEachValueWithItsTypeSizeAndBytes) {
    settings_store::EnsureKey();
    PlayerSettings s;
    s.MaxHistory = 400;
    s.MaxBoundFile = 3;
    s.MaxPlayerFile = 0;
    s.ScaleMode = 10;
    s.PlayMode = 3;
    s.hasMenu[0] = true;
    s.hasMenu[2] = false;
    s.isLargeIcon[1] = false;
    s.isAddHead = false;
    s.isPlayingList = true;
    s.PlayHuazhi = wxS("medium");
    s.OtherSeting = 1;
    s.EndMargin = 7;
    settings_store::Save(s);

    const struct {
        const wchar_t* name;
        platform::DWORD type;
        Bytes bytes;
    } expected[] = {
        {L"MaxHistory", platform::kRegDword, Dword(400)},
        {L"MaxBoundFile", platform::kRegDword, Dword(3)},
        {L"MaxPlayerFile", platform::kRegDword, Dword(0)},
        {L"ScaleMode", platform::kRegDword, Dword(10)},
        {L"PlayMode", platform::kRegDword, Dword(3)},
        {L"hasMenu", platform::kRegBinary, {1, 1, 0}},
        {L"isLargeIcon", platform::kRegBinary, {0, 0, 1}},
        {L"isAddHead", platform::kRegBinary, {0}},
        {L"isPlayingList", platform::kRegBinary, {1}},
        {L"PlayHuazhi", platform::kRegBinary, {1}},
        {L"OtherSeting", platform::kRegBinary, {1}},
    };
    for (const auto& e : expected) {
        RegValue v = Stored(settings_store::kSettingsKey, e.name);
        EXPECT_EQ(v.type, e.type) << wxString(e.name);
        EXPECT_EQ(v.data, e.bytes) << wxString(e.name);
    }
    // The eleven values and nothing else: the end margin is never stored.
    RegKey key;
    ASSERT_EQ(key.Open(RegRoot::CurrentUser, settings_store::kSettingsKey), 0);
    std::vector<std::wstring> names;
    key.EnumValues(&names);
    ASSERT_EQ(names.size(), std::size(expected));
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(names[i], expected[i].name);
    }

    PlayerSettings back;
    settings_store::Load(back);
    EXPECT_EQ(back.MaxHistory, 400);
    EXPECT_EQ(back.MaxBoundFile, 3);
    EXPECT_EQ(back.MaxPlayerFile, 0);
    EXPECT_EQ(back.ScaleMode, 10);
    EXPECT_EQ(back.PlayMode, 3);
    EXPECT_TRUE(back.hasMenu[0]);
    EXPECT_TRUE(back.hasMenu[1]);
    EXPECT_FALSE(back.hasMenu[2]);
    EXPECT_FALSE(back.isLargeIcon[0]);
    EXPECT_FALSE(back.isLargeIcon[1]);
    EXPECT_TRUE(back.isLargeIcon[2]);
    EXPECT_FALSE(back.isAddHead);
    EXPECT_TRUE(back.isPlayingList);
    EXPECT_EQ(back.PlayHuazhi, "medium");
    EXPECT_EQ(back.OtherSeting, 1);
    EXPECT_EQ(back.EndMargin, 2);
}

TEST_F(SettingsStore, HighQualityAndDragModeTwoAreStoredAsByte0x10) {
    settings_store::EnsureKey();
    PlayerSettings s;  // "high", drag mode 2
    settings_store::Save(s);
    EXPECT_EQ(Stored(settings_store::kSettingsKey, L"PlayHuazhi").data, Bytes{0x10});
    EXPECT_EQ(Stored(settings_store::kSettingsKey, L"OtherSeting").data, Bytes{0x10});

    // The quality word is compared exactly: anything but "low" and "medium" is stored as high.
    s.PlayHuazhi = wxS("LOW");
    settings_store::Save(s);
    EXPECT_EQ(Stored(settings_store::kSettingsKey, L"PlayHuazhi").data, Bytes{0x10});
}

// One stored value against the field it sets; `expect` is read from a record that starts with
// the defaults.
struct LoadCase {
    const char* what;
    const wchar_t* name;
    platform::DWORD type;
    Bytes data;
    std::function<bool(const PlayerSettings&)> expect;
};

TEST_F(SettingsStore, LoadAcceptsOnlyTheRightTypeSizeAndRange) {
    const LoadCase cases[] = {
        {"history 400 taken", L"MaxHistory", platform::kRegDword, Dword(400),
         [](auto& s) { return s.MaxHistory == 400; }},
        {"history 401 ignored", L"MaxHistory", platform::kRegDword, Dword(401),
         [](auto& s) { return s.MaxHistory == 200; }},
        {"history negative ignored", L"MaxHistory", platform::kRegDword, Dword(0xFFFFFFFF),
         [](auto& s) { return s.MaxHistory == 200; }},
        {"history 0 taken", L"MaxHistory", platform::kRegDword, Dword(0),
         [](auto& s) { return s.MaxHistory == 0; }},
        {"related 101 ignored", L"MaxBoundFile", platform::kRegDword, Dword(101),
         [](auto& s) { return s.MaxBoundFile == 50; }},
        {"related 100 taken", L"MaxBoundFile", platform::kRegDword, Dword(100),
         [](auto& s) { return s.MaxBoundFile == 100; }},
        {"playlist 501 ignored", L"MaxPlayerFile", platform::kRegDword, Dword(501),
         [](auto& s) { return s.MaxPlayerFile == 250; }},
        {"playlist 500 taken", L"MaxPlayerFile", platform::kRegDword, Dword(500),
         [](auto& s) { return s.MaxPlayerFile == 500; }},
        {"scale 11 ignored", L"ScaleMode", platform::kRegDword, Dword(11),
         [](auto& s) { return s.ScaleMode == 0; }},
        {"play mode 4 ignored", L"PlayMode", platform::kRegDword, Dword(4),
         [](auto& s) { return s.PlayMode == 2; }},
        {"play mode as binary ignored", L"PlayMode", platform::kRegBinary, Dword(1),
         [](auto& s) { return s.PlayMode == 2; }},
        {"number of 2 bytes ignored",
         L"PlayMode",
         platform::kRegDword,
         {1, 0},
         [](auto& s) { return s.PlayMode == 2; }},
        {"hasMenu all off",
         L"hasMenu",
         platform::kRegBinary,
         {0, 0, 0},
         [](auto& s) { return !s.hasMenu[0] && !s.hasMenu[1] && !s.hasMenu[2]; }},
        {"hasMenu longer than 3",
         L"hasMenu",
         platform::kRegBinary,
         {5, 0, 0, 9},
         [](auto& s) { return s.hasMenu[0] && !s.hasMenu[1] && !s.hasMenu[2]; }},
        {"hasMenu of 2 bytes ignored",
         L"hasMenu",
         platform::kRegBinary,
         {0, 0},
         [](auto& s) { return !s.hasMenu[0] && s.hasMenu[1] && s.hasMenu[2]; }},
        {"isLargeIcon all on",
         L"isLargeIcon",
         platform::kRegBinary,
         {1, 1, 1},
         [](auto& s) { return s.isLargeIcon[0] && s.isLargeIcon[1] && s.isLargeIcon[2]; }},
        {"isLargeIcon as dword ignored", L"isLargeIcon", platform::kRegDword, Dword(0),
         [](auto& s) { return !s.isLargeIcon[0] && s.isLargeIcon[1]; }},
        {"isAddHead zero",
         L"isAddHead",
         platform::kRegBinary,
         {0},
         [](auto& s) { return !s.isAddHead; }},
        {"isPlayingList nonzero",
         L"isPlayingList",
         platform::kRegBinary,
         {7},
         [](auto& s) { return s.isPlayingList; }},
        {"isPlayingList empty ignored",
         L"isPlayingList",
         platform::kRegBinary,
         {},
         [](auto& s) { return !s.isPlayingList; }},
        {"quality 0 low",
         L"PlayHuazhi",
         platform::kRegBinary,
         {0},
         [](auto& s) { return s.PlayHuazhi == "low"; }},
        {"quality 1 medium",
         L"PlayHuazhi",
         platform::kRegBinary,
         {1},
         [](auto& s) { return s.PlayHuazhi == "medium"; }},
        {"quality 0x10 high",
         L"PlayHuazhi",
         platform::kRegBinary,
         {0x10},
         [](auto& s) { return s.PlayHuazhi == "high"; }},
        {"quality 7 high",
         L"PlayHuazhi",
         platform::kRegBinary,
         {7},
         [](auto& s) { return s.PlayHuazhi == "high"; }},
        {"drag 0",
         L"OtherSeting",
         platform::kRegBinary,
         {0},
         [](auto& s) { return s.OtherSeting == 0; }},
        {"drag 1",
         L"OtherSeting",
         platform::kRegBinary,
         {1},
         [](auto& s) { return s.OtherSeting == 1; }},
        {"drag 2 reads as 2",
         L"OtherSeting",
         platform::kRegBinary,
         {2},
         [](auto& s) { return s.OtherSeting == 2; }},
    };
    for (const LoadCase& c : cases) {
        platform::DeleteRegTree(RegRoot::CurrentUser, L"Software");
        Store(c.name, c.type, c.data);
        PlayerSettings s;
        settings_store::Load(s);
        EXPECT_TRUE(c.expect(s)) << c.what;
        EXPECT_EQ(s.EndMargin, 2) << c.what;
    }
}

TEST_F(SettingsStore, AMissingKeyAtSaveWritesTheFallbackKeyOnly) {
    PlayerSettings s;
    s.MaxHistory = 12;
    settings_store::Save(s);

    RegKey key;
    EXPECT_EQ(key.Open(RegRoot::CurrentUser, settings_store::kSettingsKey), 2);
    RegValue v = Stored(settings_store::kFallbackKey, L"MaxHistory");
    EXPECT_EQ(v.data, Dword(12));

    // The fallback is never read back.
    PlayerSettings back;
    settings_store::Load(back);
    EXPECT_EQ(back.MaxHistory, 200);
}

}  // namespace
