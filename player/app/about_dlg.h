#pragma once

#include <wx/dialog.h>

#include "maker_site.h"

namespace res {
class ImageStrips;
}

// The maker's web site, which the about box links to.
inline constexpr const wchar_t* kMakerWebSite = L"" TOVI_MAKER_SITE_TEXT "/";

// The about box (dialog 100): the program's name and version, and a link (1000) to the
// maker's web site that opens in the browser.
class CAboutDlg : public wxDialog {
  public:
    CAboutDlg(wxWindow* parent, res::ImageStrips& images);
};
