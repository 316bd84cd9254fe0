#include "common/settings_store.h"

#include <cstdint>

#include "platform/errors.h"
#include "platform/registry.h"

namespace settings_store {
namespace {

using platform::DWORD;
using platform::RegKey;
using platform::RegRoot;

// Stored bytes of the quality and the drag mode: "high" and drag mode 2 are 0x10.
constexpr std::uint8_t kOtherByte = 0x10;

void ReadNumber(const RegKey& key, const wchar_t* name, std::int32_t limit, std::int32_t* out) {
    DWORD type = 0;
    std::uint32_t value = 0;
    DWORD size = sizeof value;
    if (key.QueryValue(name, &type, reinterpret_cast<std::uint8_t*>(&value), &size) != 0) {
        return;
    }
    if (type != platform::kRegDword || size != sizeof value) {
        return;
    }
    // Compared unsigned, so a negative number stored as a DWORD is out of range too.
    if (value > static_cast<std::uint32_t>(limit)) {
        return;
    }
    *out = static_cast<std::int32_t>(value);
}

// The binary value's bytes, or none when it is missing, of another type or shorter than `min`.
bool ReadBinary(const RegKey& key, const wchar_t* name, std::size_t min, platform::RegValue* out) {
    if (key.QueryValue(name, out) != 0 || out->type != platform::kRegBinary) {
        return false;
    }
    return out->data.size() >= min;
}

void ReadFlags(const RegKey& key, const wchar_t* name, bool (&flags)[3]) {
    platform::RegValue value;
    if (ReadBinary(key, name, 3, &value)) {
        for (int i = 0; i < 3; ++i) {
            flags[i] = value.data[i] != 0;
        }
    }
}

void ReadBool(const RegKey& key, const wchar_t* name, bool* out) {
    platform::RegValue value;
    if (ReadBinary(key, name, 1, &value)) {
        *out = value.data[0] != 0;
    }
}

std::uint8_t QualityByte(const wxString& quality) {
    if (quality == wxS("low")) {
        return 0;
    }
    if (quality == wxS("medium")) {
        return 1;
    }
    return kOtherByte;
}

std::uint8_t DragByte(std::int32_t mode) {
    return mode == 0 ? 0 : mode == 1 ? 1 : kOtherByte;
}

}  // namespace

void EnsureKey() {
    RegKey key;
    key.Create(RegRoot::CurrentUser, kSettingsKey);
}

void Load(PlayerSettings& s) {
    RegKey key;
    if (key.Open(RegRoot::CurrentUser, kSettingsKey, platform::kKeyRead) != 0) {
        return;
    }
    ReadNumber(key, L"MaxHistory", PlayerSettings::kMaxHistoryLimit, &s.MaxHistory);
    ReadNumber(key, L"MaxBoundFile", PlayerSettings::kMaxBoundFileLimit, &s.MaxBoundFile);
    ReadNumber(key, L"MaxPlayerFile", PlayerSettings::kMaxPlayerFileLimit, &s.MaxPlayerFile);
    ReadNumber(key, L"ScaleMode", PlayerSettings::kScaleModeLimit, &s.ScaleMode);
    ReadNumber(key, L"PlayMode", PlayerSettings::kPlayModeLimit, &s.PlayMode);
    ReadFlags(key, L"hasMenu", s.hasMenu);
    ReadFlags(key, L"isLargeIcon", s.isLargeIcon);
    ReadBool(key, L"isAddHead", &s.isAddHead);
    ReadBool(key, L"isPlayingList", &s.isPlayingList);
    platform::RegValue value;
    if (ReadBinary(key, L"PlayHuazhi", 1, &value)) {
        s.PlayHuazhi = value.data[0] == 0   ? wxS("low")
                       : value.data[0] == 1 ? wxS("medium")
                                            : wxS("high");
    }
    if (ReadBinary(key, L"OtherSeting", 1, &value)) {
        s.OtherSeting = value.data[0] == 0 ? 0 : value.data[0] == 1 ? 1 : kDragWithoutRibbon;
    }
}

void Save(const PlayerSettings& s) {
    RegKey key;
    platform::LONG result = key.Open(RegRoot::CurrentUser, kSettingsKey, platform::kKeyWrite);
    if (result == static_cast<platform::LONG>(platform::kErrorFileNotFound)) {
        result = key.Create(RegRoot::CurrentUser, kFallbackKey, platform::kKeyWrite);
    }
    if (result != 0) {
        return;
    }
    key.SetDword(L"MaxHistory", static_cast<DWORD>(s.MaxHistory));
    key.SetDword(L"MaxBoundFile", static_cast<DWORD>(s.MaxBoundFile));
    key.SetDword(L"MaxPlayerFile", static_cast<DWORD>(s.MaxPlayerFile));
    key.SetDword(L"ScaleMode", static_cast<DWORD>(s.ScaleMode));
    key.SetDword(L"PlayMode", static_cast<DWORD>(s.PlayMode));
    std::uint8_t three[3] = {};
    for (int i = 0; i < 3; ++i) {
        three[i] = s.hasMenu[i] ? 1 : 0;
    }
    key.SetBinary(L"hasMenu", three, 3);
    for (int i = 0; i < 3; ++i) {
        three[i] = s.isLargeIcon[i] ? 1 : 0;
    }
    key.SetBinary(L"isLargeIcon", three, 3);
    std::uint8_t one = s.isAddHead ? 1 : 0;
    key.SetBinary(L"isAddHead", &one, 1);
    one = s.isPlayingList ? 1 : 0;
    key.SetBinary(L"isPlayingList", &one, 1);
    one = QualityByte(s.PlayHuazhi);
    key.SetBinary(L"PlayHuazhi", &one, 1);
    one = DragByte(s.OtherSeting);
    key.SetBinary(L"OtherSeting", &one, 1);
}

}  // namespace settings_store
