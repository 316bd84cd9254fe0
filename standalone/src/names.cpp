#include "names.h"

#include <cstdint>
#include <cstdio>

namespace standalone {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

std::string FileNamePart(std::string_view path) {
    const std::size_t cut = path.find_last_of("\\/");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string BaseName(std::string_view path) {
    std::string name = FileNamePart(path);
    std::size_t begin = 0;
    std::size_t end = name.size();
    while (begin < end && IsBlank(name[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(name[end - 1])) {
        --end;
    }
    name = name.substr(begin, end - begin);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string CacheFilePath(std::string_view cacheFolder, std::string_view programPath,
                          std::string_view identity) {
    // FNV-1a, 64 bits: a name, not a check; the comparison with the movie stays the check.
    std::uint64_t digest = 14695981039346656037ull;
    auto add = [&](std::string_view bytes) {
        for (char c : bytes) {
            digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211ull;
        }
    };
    add(programPath);
    add(std::string_view("\0", 1));
    add(identity);
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest));
    std::string path(cacheFolder);
    path += '/';
    path += hex;
    path += '/';
    path += BaseName(programPath);
    path += ".swf";
    return path;
}

}  // namespace standalone
