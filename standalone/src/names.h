#pragma once

#include <string>
#include <string_view>

// Names the standalone player forms from paths. Paths are narrow (UTF-8 here); "\" and "/"
// both separate folders.
namespace standalone {

// The text after the last "\" or "/"; the whole text when there is none.
std::string FileNamePart(std::string_view path);

// The file name part trimmed of white space on both sides and cut before its last ".";
// a name without "." stays whole.
std::string BaseName(std::string_view path);

// The cache file of the player at `programPath` inside `cacheFolder`: in a folder of its own,
// named by a digest of the player's path and `identity` (where the file really is, with its
// links resolved), under the player's base name: "<folder>/<digest>/<base>.swf". Two
// players of one file name never share a cache, and the movie keeps its name.
std::string CacheFilePath(std::string_view cacheFolder, std::string_view programPath,
                          std::string_view identity);

}  // namespace standalone
