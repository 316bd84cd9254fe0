#pragma once

#include <string>
#include <string_view>

#include "names.h"

namespace standalone {

// The window's title before any movie ("Flash" with a small l).
inline constexpr const char kInitialTitle[] = "无标题 - ToviFlash播放器 [独立版]";
// The title after a load failed.
inline constexpr const char kUntitledTitle[] = "无标题 - ToviFLash播放器 [独立版]";

// The title while the movie at `path` is shown.
inline std::string MovieTitle(std::string_view path) {
    return FileNamePart(path) + " - ToviFLash播放器 [独立版]";
}

}  // namespace standalone
