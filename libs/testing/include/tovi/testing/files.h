#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tovi/testing/corpus_dir.h"

namespace tovi::testing {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder under the test process's root, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return path_ / name;
    }

private:
    std::filesystem::path path_;
};

Bytes ReadFileBytes(const std::filesystem::path& file);
void WriteFileBytes(const std::filesystem::path& file, const Bytes& bytes);
void WriteFileText(const std::filesystem::path& file, const std::string& text);

// Bytes from a compact hex text such as "FF FE 61 00"; blanks are ignored.
Bytes HexBytes(const std::string& hex);

// Where tests put screenshots for a person to look at (build tree "screenshots/").
std::filesystem::path ScreenshotPath(const std::string& name);

// The source tree and the program folder, for tests that read fixtures.
std::filesystem::path SourceDir();
std::filesystem::path ProgramDir();

}  // namespace tovi::testing
