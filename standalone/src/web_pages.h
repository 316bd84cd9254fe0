#pragma once

namespace standalone {

// The maker's web site and the pages the player opens on it.
inline constexpr char kWebSite[] = "https://www.kestrum.example";
inline constexpr char kUpdatePage[] = "/ToviFlash/UpDate/ToviPlayer/";
inline constexpr char kHomePage[] = "/";
inline constexpr char kSourcePage[] = "/ToviFlash/Sourse.aspx?type=get&F=ToviPlayer";
inline constexpr char kDownloadPage[] = "/ToviFlash/";

}  // namespace standalone
