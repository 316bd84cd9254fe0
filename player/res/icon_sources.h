#pragma once

#include <cstddef>

// The SVG sources of the icon set (player/res/icons), embedded at build time.
namespace res {

struct IconSource {
    const char* name;  // path under icons/, such as "media/00-play.svg"
    const char* svg;
};

extern const IconSource kIconSources[];
extern const std::size_t kIconSourceCount;

}  // namespace res
