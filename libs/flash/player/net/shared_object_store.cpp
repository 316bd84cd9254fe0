#include "net/shared_object_store.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>

#include "flash/avm1/amf0.h"
#include "flash/avm1/object.h"
#include "flash/avm1/vm.h"

namespace fs = std::filesystem;

namespace flash::net {

namespace {

constexpr std::string_view kBadNameCharacters = " ~%&\\;:\"',<>?#";

bool HasDotSegment(const std::string& path) {
    for (const auto& part : fs::path(path)) {
        if (part == "..") {
            return true;
        }
    }
    return false;
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    }
}

}  // namespace

fs::path DefaultSharedObjectRoot() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    fs::path base;
    if (xdg != nullptr && *xdg == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        base = fs::path(home) / ".local" / "share";
    } else {
        return {};
    }
    return base / "toviflash" / "SharedObjects";
}

std::optional<fs::path> SharedObjectPath(const fs::path& root, const std::string& moviePath,
                                         const std::string& name,
                                         const std::optional<std::string>& localPath) {
    if (root.empty() || name.empty() || name.size() > 255 ||
        name.find_first_of(kBadNameCharacters) != std::string::npos || HasDotSegment(name) ||
        name.front() == '/' || name.back() == '/') {
        return std::nullopt;
    }
    std::string movie = moviePath;
    std::replace(movie.begin(), movie.end(), '\\', '/');
    std::string where = movie;
    if (localPath) {
        std::string prefix = *localPath;
        while (prefix.size() > 1 && prefix.back() == '/') {
            prefix.pop_back();
        }
        bool leading =
            prefix == "/" || (movie.rfind(prefix, 0) == 0 &&
                              (movie.size() == prefix.size() || movie[prefix.size()] == '/'));
        if (prefix.empty() || !leading) {
            return std::nullopt;
        }
        where = prefix;
    }
    if (HasDotSegment(where)) {
        return std::nullopt;
    }
    fs::path file = root / "localhost";
    for (const auto& part : fs::path(where)) {
        if (part != "/" && !part.empty()) {
            file /= part;
        }
    }
    return file / (name + ".sol");
}

std::optional<std::vector<std::uint8_t>> ReadSolFile(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        return std::nullopt;
    }
    std::uintmax_t size = fs::file_size(file, ec);
    if (ec || size > kMaxSolBytes) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream in(file, std::ios::binary);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
        return std::nullopt;
    }
    return bytes;
}

bool WriteSolFile(const fs::path& file, std::span<const std::uint8_t> bytes) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    fs::path temp = file;
    temp += ".tmp" + std::to_string(std::random_device{}());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            fs::remove(temp, ec);
            return false;
        }
    }
    fs::rename(temp, file, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

std::vector<std::uint8_t> EncodeSol(avm1::Vm& vm, avm1::StringView name, avm1::Object* data,
                                    int version) {
    avm1::AmfOptions options;
    options.version = version;
    avm1::AmfWriter w(vm, options);
    std::vector<std::uint8_t>& out = w.Bytes();
    out = {0x00, 0xBF, 0, 0, 0, 0, 'T', 'C', 'S', 'O', 0x00, 0x04, 0, 0, 0, 0};
    w.WriteName(name);
    out.insert(out.end(), {0, 0, 0, 0});  // AMF0
    std::vector<std::pair<avm1::String, avm1::Value>> members;
    data->Members().ForEach([&](const avm1::Member& m) {
        if ((m.attrs & avm1::kDontEnum) == 0) {
            members.emplace_back(m.name, m.IsAccessor() ? vm.Get(data, m.name, version) : m.value);
        }
    });
    for (const auto& [key, value] : members) {
        if (vm.IsFunction(value)) {
            continue;
        }
        w.WriteName(key);
        w.Write(value);
        out.push_back(0);
    }
    PutU32(out, 2, static_cast<std::uint32_t>(out.size() - 6));
    return std::move(out);
}

bool DecodeSol(avm1::Vm& vm, std::span<const std::uint8_t> bytes, avm1::Object* data, int version) {
    static constexpr std::uint8_t kHead[] = {0x00, 0xBF};
    static constexpr std::uint8_t kMagic[] = {'T', 'C', 'S', 'O', 0x00, 0x04, 0, 0, 0, 0};
    if (bytes.size() < 16 || !std::equal(std::begin(kHead), std::end(kHead), bytes.begin()) ||
        !std::equal(std::begin(kMagic), std::end(kMagic), bytes.begin() + 6)) {
        return false;
    }
    avm1::AmfReader r(vm, bytes.subspan(16), version);
    avm1::String name;
    if (!r.ReadName(name) || !r.Skip(3)) {
        return false;
    }
    if (16 + r.Offset() >= bytes.size() || bytes[16 + r.Offset()] != 0 || !r.Skip(1)) {
        return false;  // AMF3 files are not ours
    }
    while (!r.AtEnd()) {
        avm1::String key;
        avm1::Value value;
        if (!r.ReadName(key) || !r.Read(value) || !r.Skip(1)) {
            break;
        }
        vm.Set(data, key, value, version);
    }
    return true;
}

}  // namespace flash::net
