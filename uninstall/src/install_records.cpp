#include "install_records.h"

#include <vector>

#include "platform/errors.h"
#include "platform/registry.h"
#include "product.h"

namespace uninstall {
namespace {

using platform::LONG;
using platform::RegKey;
using platform::RegRoot;

constexpr LONG kSuccess = 0;
constexpr LONG kNotFound = static_cast<LONG>(platform::kErrorFileNotFound);

std::wstring Parent(const std::wstring& path) {
    const std::size_t cut = path.rfind(L'\\');
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

bool IsEmptyKey(const std::wstring& path) {
    RegKey key;
    std::vector<std::wstring> keys;
    std::vector<std::wstring> values;
    return key.Open(RegRoot::LocalMachine, path) == kSuccess && key.EnumKeys(&keys) == kSuccess &&
           key.EnumValues(&values) == kSuccess && keys.empty() && values.empty();
}

// Deletes the key, then its parents while they are left empty. A key that is not there needs
// no write access.
LONG DeleteWithEmptyParents(const std::wstring& path) {
    if (RegKey probe; probe.Open(RegRoot::LocalMachine, path) == kNotFound) {
        return kSuccess;
    }
    LONG result = platform::DeleteRegTree(RegRoot::LocalMachine, path);
    if (result != kSuccess && result != kNotFound) {
        return result;
    }
    for (std::wstring parent = Parent(path); !parent.empty() && IsEmptyKey(parent);
         parent = Parent(parent)) {
        if (LONG r = platform::DeleteRegTree(RegRoot::LocalMachine, parent); r != kSuccess) {
            return r;
        }
    }
    return kSuccess;
}

}  // namespace

LONG RecordUninstallEntry(const UninstallEntry& entry) {
    const std::wstring path = UninstallEntryKey();
    // A fresh entry: nothing of an earlier installation stays in it.
    LONG result = platform::DeleteRegTree(RegRoot::LocalMachine, path);
    if (result != kSuccess && result != kNotFound) {
        return result;
    }
    RegKey key;
    if (result = key.Create(RegRoot::LocalMachine, path, platform::kKeyWrite); result != kSuccess) {
        return result;
    }
    const struct {
        const wchar_t* name;
        std::wstring value;
    } values[] = {
        {L"DisplayName", L"ToviFlash播放器"},
        {L"DisplayVersion", kProductVersion},
        {L"Publisher", L"kestrum"},
        {L"InstallLocation", entry.installLocation},
        {kRemovalCommandValue, entry.removalCommand},
    };
    for (const auto& v : values) {
        if (result = key.SetString(v.name, v.value); result != kSuccess) {
            return result;
        }
    }
    return kSuccess;
}

LONG ForgetInstallation() {
    if (LONG r = DeleteWithEmptyParents(UninstallEntryKey()); r != kSuccess) {
        return r;
    }
    return DeleteWithEmptyParents(kInstallKey);
}

}  // namespace uninstall
