#include "tovi/testing/files.h"

#include <atomic>
#include <cctype>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "tovi/testing/test_env.h"

namespace fs = std::filesystem;

namespace tovi::testing {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    fs::path base = TestRoot().empty() ? fs::temp_directory_path() : TestRoot();
    do {
        path_ = base / ("dir" + std::to_string(counter++));
    } while (fs::exists(path_));
    fs::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

Bytes ReadFileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + file.string());
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const fs::path& file, const Bytes& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

void WriteFileText(const fs::path& file, const std::string& text) {
    WriteFileBytes(file, Bytes(text.begin(), text.end()));
}

Bytes HexBytes(const std::string& hex) {
    Bytes out;
    int high = -1;
    for (char c : hex) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            throw std::invalid_argument("not a hex digit in: " + hex);
        }
        int v = std::isdigit(static_cast<unsigned char>(c))
                    ? c - '0'
                    : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + v));
            high = -1;
        }
    }
    if (high >= 0) {
        throw std::invalid_argument("odd number of hex digits in: " + hex);
    }
    return out;
}

fs::path ScreenshotPath(const std::string& name) {
    fs::path dir = TOVI_SCREENSHOT_DIR;
    fs::create_directories(dir);
    return dir / name;
}

fs::path SourceDir() {
    return TOVI_SOURCE_DIR;
}

fs::path ProgramDir() {
    return TOVI_PROGRAM_DIR;
}

}  // namespace tovi::testing
