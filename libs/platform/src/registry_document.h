#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace platform {

// One root's keys and values in memory, with the registry export text form they are stored
// in. Paths are relative to the root ("" is the root itself) and use "\"; lookups ignore case.
class RegistryDocument {
  public:
    // Limits of what a store may hold; a file beyond them is damaged. A key path has at most
    // kMaxDepth names of at most kMaxNameLength characters and kMaxPathLength in all.
    static constexpr std::size_t kMaxDepth = 512;
    static constexpr std::size_t kMaxNameLength = 255;
    static constexpr std::size_t kMaxPathLength = 32767;
    static constexpr std::size_t kMaxValueNameLength = 16383;
    static constexpr std::size_t kMaxFileBytes = 64u << 20;

    struct Value {
        std::wstring name;
        DWORD type = kRegNone;
        std::vector<std::uint8_t> data;
    };
    // One key of the tree: its name, its values in the order they were set and its subkeys.
    class Key {
      public:
        Key() = default;
        explicit Key(std::wstring name) : name_(std::move(name)) {}
        Key(const Key&) = delete;
        Key& operator=(const Key&) = delete;
        Key(Key&&) = default;
        Key& operator=(Key&&) = default;

        const std::wstring& name() const { return name_; }
        const std::list<Value>& values() const { return values_; }
        const std::map<std::wstring, std::unique_ptr<Key>>& subKeys() const { return subKeys_; }

      private:
        friend class RegistryDocument;
        std::wstring name_;  // in the case it was first created with
        std::list<Value> values_;
        std::map<std::wstring, std::list<Value>::iterator> valueIndex_;  // by folded name
        std::map<std::wstring, std::unique_ptr<Key>> subKeys_;           // by folded name
    };

    // Reads the export text ("Windows Registry Editor Version 5.00", UTF-8 or UTF-16 with its
    // byte-order mark). Lines that cannot be understood, or that go beyond the limits above,
    // are skipped and make the result damaged; everything readable is kept. A file larger
    // than kMaxFileBytes is damaged as a whole. `rootName` is "HKEY_CURRENT_USER" or
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
    // empty component in the middle or goes beyond the limits on names, depth or length.
    static bool NormalizePath(std::wstring_view path, std::wstring* out);

  private:
    Key root_;
};

}  // namespace platform
