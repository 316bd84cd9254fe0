#pragma once

#include <string>

namespace standalone {

// The cache folder: "ToviPlayer" in the per-user cache folder ($XDG_CACHE_HOME, by default
// ~/.cache), without a trailing separator. It is created readable by its owner only when
// missing. A folder that cannot be created, is a link, is not a folder or belongs to another
// user is not used: the temporary folder itself (with its trailing separator) is returned
// instead.
std::string GetCacheFolder();

// The temporary folder as the platform reports it, with its trailing separator.
std::string TempFolder();

// True when `folder` is the temporary folder itself rather than our own cache folder, that
// is when GetCacheFolder fell back to it.
bool IsSharedTempFolder(const std::string& folder);

// Where the player file at `programPath` really is: its folder with every link resolved and
// its name ("" when the folder cannot be resolved), so that one player has one cache however
// its folder was reached.
std::string PlayerIdentity(const std::string& programPath);

// The cache file of the player at `programPath` in `cacheFolder` (CacheFilePath with the
// player's identity).
std::string PlayerCachePath(const std::string& cacheFolder, const std::string& programPath);

// Makes `path` (one level) readable by its owner only when missing; true when it then is a
// folder of ours, not a link, which no one else may use.
bool MakeOwnPrivateFolder(const std::string& path);

}  // namespace standalone
