#pragma once

#include <wx/window.h>

#include <cstdint>

#include "ui/export.h"

class CFullScreen;
class wxButton;
class wxCheckBox;
class wxStaticText;

// The toolbar along the top of the full-screen window: the exit button, the hint text and the
// pin box. Commands of its controls go to its owner as wxEVT_TOOLBAR_COMMAND.
class UI_API CFullSCToop : public wxWindow {
  public:
    CFullSCToop();
    ~CFullSCToop() override;

    // Creates the window and its three controls; false when any of them cannot be made.
    bool Create(CFullScreen* owner, wxWindow* parent, const wxString& text, const wxRect& rect,
                wxWindowID id);

    bool IsPinned() const { return m_bPinned != 0; }

  private:
    void OnCommand(wxCommandEvent& event);

    std::int32_t m_bPinned = 0;
    CFullScreen* m_pOwner = nullptr;
};
