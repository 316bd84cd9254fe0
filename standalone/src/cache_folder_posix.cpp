#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "cache_folder.h"
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

}  // namespace

std::string TempFolder() {
    return platform::NativePath(platform::GetTempFolder());
}

std::string GetCacheFolder() {
    const std::string temp = TempFolder();
    const std::string folder = temp + "ToviPlayer";
    // mkdir never follows a link at the last component, so a planted link makes it fail.
    if (::mkdir(folder.c_str(), kOwnerOnly) != 0 && errno != EEXIST) {
        return temp;
    }
    return IsOwnPrivateFolder(folder) ? folder : temp;
}

bool IsSharedTempFolder(const std::string& folder) {
    return folder == TempFolder();
}

}  // namespace standalone
