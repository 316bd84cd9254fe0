#include "ui/full_sc_toop.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/settings.h>
#include <wx/stattext.h>

#include <utility>

#include "ui/UI.h"

namespace {

// The colour behind the texts of the hint and the pin box.
const wxColour kTextBackground(255, 0, 230);

}  // namespace

CFullSCToop::CFullSCToop() = default;

CFullSCToop::~CFullSCToop() = default;

bool CFullSCToop::Create(CFullScreen* owner, wxWindow* parent, const wxString& text,
                         const wxRect& rect, wxWindowID id) {
    if (parent == nullptr ||
        !wxWindow::Create(parent, id, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE)) {
        return false;
    }
    SetLabel(text);
    SetName(text);
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    m_pOwner = owner;
    const int cx = rect.width;
    auto place = [](int left, int top, int right, int bottom) {
        return std::pair(wxPoint(left, top), wxSize(right - left, bottom - top));
    };

    auto* exit = new wxButton;
    auto [exitAt, exitSize] = place(cx - 55, 1, cx - 10, 24);
    if (!exit->Create(this, IDC_FULLSCREEN_EXIT, wxS("退出"), exitAt, exitSize)) {
        delete exit;
        return false;
    }
    auto* hint = new wxStaticText;
    auto [hintAt, hintSize] = place(cx / 2 - 100, 0, cx / 2 + 100, 24);
    if (!hint->Create(this, IDC_FULLSCREEN_HINT, wxS("全屏播放, 按 ESC 键退出全屏"), hintAt,
                      hintSize, wxST_NO_AUTORESIZE)) {
        delete hint;
        return false;
    }
    hint->SetBackgroundColour(kTextBackground);
    auto* pin = new wxCheckBox;
    auto [pinAt, pinSize] = place(5, 1, 80, 24);
    if (!pin->Create(this, IDC_FULLSCREEN_PIN, wxS("固定"), pinAt, pinSize)) {
        delete pin;
        return false;
    }
    pin->SetBackgroundColour(kTextBackground);
    Bind(wxEVT_BUTTON, &CFullSCToop::OnCommand, this);
    Bind(wxEVT_CHECKBOX, &CFullSCToop::OnCommand, this);
    return true;
}

void CFullSCToop::OnCommand(wxCommandEvent& event) {
    const int id = event.GetId();
    if (id != IDC_FULLSCREEN_EXIT && id != IDC_FULLSCREEN_HINT && id != IDC_FULLSCREEN_PIN) {
        event.Skip();
        return;
    }
    if (m_pOwner == nullptr) {
        return;
    }
    if (id == IDC_FULLSCREEN_PIN) {
        auto* pin = wxDynamicCast(FindWindow(IDC_FULLSCREEN_PIN), wxCheckBox);
        m_bPinned = pin != nullptr && pin->IsChecked() ? 1 : 0;
    }
    auto* message = new wxCommandEvent(wxEVT_TOOLBAR_COMMAND, id);
    message->SetExtraLong(0);
    wxQueueEvent(m_pOwner, message);
}
