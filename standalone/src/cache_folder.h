#pragma once

#include <string>

namespace standalone {

// The cache folder: the per-user temporary folder followed by "ToviPlayer", without a
// trailing separator. It is created readable by its owner only when missing. A folder that
// cannot be created, is a link, is not a folder or belongs to another user is not used: the
// temporary folder itself (with its trailing separator) is returned instead.
std::string GetCacheFolder();

// The temporary folder as the platform reports it, with its trailing separator.
std::string TempFolder();

// True when `folder` is the temporary folder itself rather than our own cache folder, that
// is when GetCacheFolder fell back to it.
bool IsSharedTempFolder(const std::string& folder);

}  // namespace standalone
