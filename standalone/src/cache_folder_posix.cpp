#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "cache_folder.h"
#include "names.h"
#include "platform/folders.h"
#include "platform/text.h"

namespace standalone {
namespace {

constexpr mode_t kOwnerOnly = 0700;

// Our own folder, not a link, not shared with anyone: usable as the cache folder.
bool IsOwnPrivateFolder(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        return false;
    }
    if ((st.st_mode & 077) != 0 && ::chmod(path.c_str(), kOwnerOnly) != 0) {
        return false;
    }
    return true;
}

// The per-user cache folder, made (owner only) with its missing parents; "" when there is
// none to be had.
std::string UserCacheHome() {
    std::string home;
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/') {
        home = cache;
    } else if (const char* user = std::getenv("HOME"); user && *user == '/') {
        home = std::string(user) + "/.cache";
    } else {
        return {};
    }
    for (std::size_t cut = home.find('/', 1);; cut = home.find('/', cut + 1)) {
        const std::string part = home.substr(0, cut);
        if (::mkdir(part.c_str(), kOwnerOnly) != 0 && errno != EEXIST) {
            return {};
        }
        if (cut == std::string::npos) {
            break;
        }
    }
    return home;
}

}  // namespace

std::string TempFolder() {
    return platform::NativePath(platform::GetTempFolder());
}

bool MakeOwnPrivateFolder(const std::string& path) {
    // mkdir never follows a link at the last component, so a planted link makes it fail.
    if (::mkdir(path.c_str(), kOwnerOnly) != 0 && errno != EEXIST) {
        return false;
    }
    return IsOwnPrivateFolder(path);
}

std::string GetCacheFolder() {
    const std::string home = UserCacheHome();
    if (home.empty()) {
        return TempFolder();
    }
    const std::string folder = home + "/ToviPlayer";
    return MakeOwnPrivateFolder(folder) ? folder : TempFolder();
}

bool IsSharedTempFolder(const std::string& folder) {
    return folder == TempFolder();
}

std::string PlayerIdentity(const std::string& programPath) {
    const std::size_t cut = programPath.rfind('/');
    const std::string folder = cut == std::string::npos ? "." : programPath.substr(0, cut + 1);
    char* real = ::realpath(folder.c_str(), nullptr);
    if (real == nullptr) {
        return {};
    }
    std::string identity = std::string(real) + "/" + FileNamePart(programPath);
    std::free(real);
    return identity;
}

std::string PlayerCachePath(const std::string& cacheFolder, const std::string& programPath) {
    return CacheFilePath(cacheFolder, programPath, PlayerIdentity(programPath));
}

}  // namespace standalone
