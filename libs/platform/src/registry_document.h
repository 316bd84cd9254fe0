#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace platform {

// One root's keys and values in memory, with the registry export text form they are stored
// in. Paths are relative to the root ("" is the root itself) and use "\"; lookups ignore case.
class RegistryDocument {
  public:
    struct Value {
        std::wstring name;
        DWORD type = kRegNone;
        std::vector<std::uint8_t> data;
    };
    struct Key {
        std::wstring path;
        std::vector<Value> values;
    };

    // Reads the export text ("Windows Registry Editor Version 5.00", UTF-8 or UTF-16 with its
    // byte-order mark). Lines that cannot be understood are skipped and make the result
    // damaged; everything readable is kept. `rootName` is "HKEY_CURRENT_USER" or
    // "HKEY_LOCAL_MACHINE"; sections of another root are skipped as damage.
    static RegistryDocument Parse(std::string_view bytes, std::wstring_view rootName,
                                  bool* damaged);
    std::string Serialize(std::wstring_view rootName) const;

    bool HasKey(std::wstring_view path) const;
    const Key* FindKey(std::wstring_view path) const;
    Key* FindKey(std::wstring_view path);
    // Creates the key and every missing parent; `created` tells whether the key was new.
    Key& CreateKey(std::wstring_view path, bool* created);
    // Removes the key and everything below it (the root: its values and subkeys). False when
    // there was nothing to remove.
    bool DeleteTree(std::wstring_view path);
    // Names of the direct subkeys, in the case they were created with.
    std::vector<std::wstring> SubKeys(std::wstring_view path) const;

    static const Value* FindValue(const Key& key, std::wstring_view name);
    // Sets or replaces a value; false when it already held exactly these bytes.
    static bool SetValue(Key& key, std::wstring_view name, DWORD type,
                         std::vector<std::uint8_t> data);
    static bool DeleteValue(Key& key, std::wstring_view name);

    // Removes doubled and trailing separators: "a\\b\" -> "a\b". False when the path holds an
    // empty component in the middle or a name that is too long.
    static bool NormalizePath(std::wstring_view path, std::wstring* out);

  private:
    std::map<std::wstring, Key> keys_;  // by folded path
};

}  // namespace platform
