#pragma once

#include "maker_site.h"

namespace standalone {

// The maker's web site and the pages the player opens on it.
inline constexpr char kWebSite[] = TOVI_MAKER_SITE_TEXT;
inline constexpr char kUpdatePage[] = "/ToviFlash/UpDate/ToviPlayer/";
inline constexpr char kHomePage[] = "/";
inline constexpr char kSourcePage[] = "/ToviFlash/Sourse.aspx?type=get&F=ToviPlayer";
inline constexpr char kDownloadPage[] = "/ToviFlash/";

}  // namespace standalone
