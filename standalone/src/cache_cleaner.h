#pragma once

#include <functional>
#include <string>

namespace standalone {

// Empties the cache folder: files are deleted, and the players' own folders in it emptied
// and removed (deeper folders go only when empty). When the cache folder is the shared
// temporary folder (GetCacheFolder fell back to it), only this player's own cache file and
// its folder are deleted there, never the other files in it. Calls `fileFailed` with the full
// path of each file that could not be deleted. True when nothing was left behind.
bool ClearCacheFolder(const std::string& cacheFolder, const std::string& programPath,
                      const std::function<void(const std::string&)>& fileFailed);

}  // namespace standalone
