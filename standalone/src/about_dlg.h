#pragma once

#include <wx/dialog.h>

// The about box: the program's icon, name and version, the maker's notices and an OK button.
class CAboutDlg : public wxDialog {
  public:
    explicit CAboutDlg(wxWindow* parent);
};
