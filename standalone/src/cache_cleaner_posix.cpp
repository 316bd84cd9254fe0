#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "cache_cleaner.h"
#include "cache_folder.h"
#include "names.h"

namespace standalone {
namespace {

bool DeleteFile(const std::string& path, const std::function<void(const std::string&)>& failed) {
    if (::unlink(path.c_str()) == 0 || errno == ENOENT) {
        return true;
    }
    if (failed) {
        failed(path);
    }
    return false;
}

// Deletes the files of `folder` and, with `depth` left, empties and removes its folders too.
// Links are removed themselves, never what they point to.
bool ClearEntries(const std::string& folder, int depth,
                  const std::function<void(const std::string&)>& fileFailed) {
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) {
        return ec == std::errc::no_such_file_or_directory;
    }
    bool cleared = true;
    for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string path = it->path().string();
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            continue;  // gone meanwhile
        }
        if (S_ISDIR(st.st_mode)) {
            if (depth > 0) {
                cleared = ClearEntries(path, depth - 1, fileFailed) && cleared;
            }
            cleared = ::rmdir(path.c_str()) == 0 && cleared;
        } else {
            cleared = DeleteFile(path, fileFailed) && cleared;
        }
    }
    return cleared && !ec;
}

}  // namespace

bool ClearCacheFolder(const std::string& cacheFolder, const std::string& programPath,
                      const std::function<void(const std::string&)>& fileFailed) {
    if (IsSharedTempFolder(cacheFolder)) {
        // Only this player's own cache file and its folder, never anything else in there.
        const std::string file = PlayerCachePath(cacheFolder, programPath);
        if (!DeleteFile(file, fileFailed)) {
            return false;
        }
        const std::string folder = file.substr(0, file.rfind('/'));
        return ::rmdir(folder.c_str()) == 0 || errno == ENOENT;
    }
    // Each player keeps its movie in a folder of its own: those are emptied too.
    return ClearEntries(cacheFolder, 1, fileFailed);
}

}  // namespace standalone
