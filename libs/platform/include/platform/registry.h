#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

// The registry store: keys under two roots, values of REG_DWORD, REG_BINARY, REG_SZ (and any
// other type number as raw bytes). Result codes are Windows codes: 0 success, 2 not found,
// 5 access denied, 234 more data. Key and value names compare without regard to case and keep
// the case they were created with.
//
// On POSIX each root is one text file in the registry export format: the current user's in
// $XDG_CONFIG_HOME/kestrum (default ~/.config/kestrum), the local machine's in /var/lib/kestrum
// or $TOVI_HKLM_DIR. Every change is saved at once, atomically, under a lock, after re-reading
// the file, so several processes may write the same root.
namespace platform {

enum class RegRoot { CurrentUser, LocalMachine };

inline constexpr DWORD kRegNone = 0;
inline constexpr DWORD kRegSz = 1;
inline constexpr DWORD kRegExpandSz = 2;
inline constexpr DWORD kRegBinary = 3;
inline constexpr DWORD kRegDword = 4;
inline constexpr DWORD kRegMultiSz = 7;

// Access rights for RegKey::Open and Create.
inline constexpr UINT kKeyRead = 0x20019;
inline constexpr UINT kKeyWrite = 0x20006;
inline constexpr UINT kKeyAllAccess = 0xF003F;

struct RegValue {
    DWORD type = kRegNone;
    std::vector<std::uint8_t> data;
};

// An open key. Move-only; closes itself.
class RegKey {
  public:
    RegKey() = default;
    ~RegKey() = default;
    RegKey(RegKey&&) noexcept = default;
    RegKey& operator=(RegKey&&) noexcept = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // RegOpenKeyEx: 0, 2 when the key does not exist, 5 when write access is refused.
    LONG Open(RegRoot root, std::wstring_view subKey, UINT access = kKeyRead);
    // RegCreateKeyEx: creates the key and its parents when missing; `created` tells which.
    LONG Create(RegRoot root, std::wstring_view subKey, UINT access = kKeyAllAccess,
                bool* created = nullptr);
    void Close();
    bool IsOpen() const { return open_; }

    // RegQueryValueEx: with `data` null only the type and size are given; a buffer that is too
    // small gives 234 and the size needed. An empty name is the key's default value.
    LONG QueryValue(std::wstring_view name, DWORD* type, std::uint8_t* data, DWORD* size) const;
    LONG QueryValue(std::wstring_view name, RegValue* value) const;

    // RegSetValueEx: the bytes are kept exactly, with their type and size.
    LONG SetValue(std::wstring_view name, DWORD type, const void* data, DWORD size);
    LONG SetDword(std::wstring_view name, DWORD value);
    LONG SetBinary(std::wstring_view name, const void* data, DWORD size);
    // A REG_SZ: UTF-16 little-endian with its terminating NUL counted in the size.
    LONG SetString(std::wstring_view name, std::wstring_view text);
    LONG DeleteValue(std::wstring_view name);

    // Names of the direct subkeys and of the values, in stored order.
    LONG EnumKeys(std::vector<std::wstring>* names) const;
    LONG EnumValues(std::vector<std::wstring>* names) const;

    RegRoot root() const { return root_; }
    const std::wstring& path() const { return path_; }

  private:
    LONG CheckOpen(bool write) const;

    bool open_ = false;
    bool writable_ = false;
    RegRoot root_ = RegRoot::CurrentUser;
    std::wstring path_;
};

// RegDeleteTreeW: deletes the key and everything below it. With an empty subkey the values
// and subkeys of the root are deleted. 2 when the key does not exist.
LONG DeleteRegTree(RegRoot root, std::wstring_view subKey);

// The shape in which the "Advapi32.dll" system module (library.h) offers "RegDeleteTreeW".
using RegDeleteTreeProc = LONG (*)(RegRoot root, const wchar_t* subKey);

// The text decoding of a REG_SZ value's bytes (up to the first NUL).
std::wstring RegStringFromBytes(const std::vector<std::uint8_t>& data);

}  // namespace platform
