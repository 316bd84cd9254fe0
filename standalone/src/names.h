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

// The cache file of the player at `programPath` inside `cacheFolder` ("%s\%s.swf" form).
std::string CacheFilePath(std::string_view cacheFolder, std::string_view programPath);

}  // namespace standalone
