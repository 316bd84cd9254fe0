#pragma once

// Where SharedObjects live on disk and their .sol file format: per user under the XDG data
// folder, by the movie's path as Flash keeps them ("localhost/<path>/<name>.sol"), written
// atomically, read with a size limit.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "flash/avm1/value.h"

namespace flash::avm1 {
class Object;
class Vm;
}  // namespace flash::avm1

namespace flash::net {

inline constexpr std::size_t kMaxSolBytes = 16u << 20;

// $XDG_DATA_HOME/toviflash/SharedObjects (or ~/.local/share/...).
std::filesystem::path DefaultSharedObjectRoot();

// The file of a shared object, or nothing when the name or local path is not one Flash takes
// (a character of " ~%&\;:\"',<>?#", an empty name, a local path that is not a leading part
// of the movie's own path).
std::optional<std::filesystem::path> SharedObjectPath(const std::filesystem::path& root,
                                                      const std::string& moviePath,
                                                      const std::string& name,
                                                      const std::optional<std::string>& localPath);

// The file, whole, or nothing when it is missing or larger than the limit.
std::optional<std::vector<std::uint8_t>> ReadSolFile(const std::filesystem::path& file);
// Replaces the file atomically (a new file renamed over it), making its folders.
bool WriteSolFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);

// The .sol form of a shared object's data members, and back. Reading stops at the first bad
// entry, keeping those before it; false when the header is not a shared object's.
std::vector<std::uint8_t> EncodeSol(avm1::Vm& vm, avm1::StringView name, avm1::Object* data,
                                    int version);
bool DecodeSol(avm1::Vm& vm, std::span<const std::uint8_t> bytes, avm1::Object* data, int version);

}  // namespace flash::net
