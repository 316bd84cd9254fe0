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

}  // namespace

bool ClearCacheFolder(const std::string& cacheFolder, const std::string& programPath,
                      const std::function<void(const std::string&)>& fileFailed) {
    if (IsSharedTempFolder(cacheFolder)) {
        return DeleteFile(CacheFilePath(cacheFolder, programPath), fileFailed);
    }
    std::error_code ec;
    std::filesystem::directory_iterator it(cacheFolder, ec);
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
            cleared = ::rmdir(path.c_str()) == 0 && cleared;
        } else {
            // Links are removed themselves, never what they point to.
            cleared = DeleteFile(path, fileFailed) && cleared;
        }
    }
    return cleared && !ec;
}

}  // namespace standalone
