#include <wx/display.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include <exception>

#include "flash/control/shockwave_flash.h"
#include "toolbar_motion.h"
#include "ui/UI.h"
#include "ui/full_sc_toop.h"
#include "ui/full_screen_environment.h"

wxDEFINE_EVENT(wxEVT_TOOLBAR_COMMAND, wxCommandEvent);

namespace ui {
namespace {

FullScreenEnvironment& Environment() {
    static FullScreenEnvironment environment;
    return environment;
}

}  // namespace

void SetFullScreenEnvironment(FullScreenEnvironment environment) {
    Environment() = std::move(environment);
}

const FullScreenEnvironment& GetFullScreenEnvironment() {
    return Environment();
}

}  // namespace ui

namespace {

inline constexpr const wchar_t* kFlashWindowText = L"Flash FullScreen";
inline constexpr const wchar_t* kToolbarWindowText = L"全屏工具条";

// The monitor the caller's window is on (the first one when that cannot be told).
wxRect MonitorOf(wxWindow* window) {
    int index = window != nullptr ? wxDisplay::GetFromWindow(window) : wxNOT_FOUND;
    if (index == wxNOT_FOUND) {
        index = 0;
    }
    return wxDisplay(static_cast<unsigned>(index)).GetGeometry();
}

}  // namespace

CFullScreen::CFullScreen(stu_FullScreenParam* param)
    : wxDialog(param != nullptr ? param->pParentWnd : nullptr, IDD_FULLSCREEN, wxString(),
               wxDefaultPosition, wxDefaultSize, wxBORDER_NONE),
      m_pParam(param),
      m_timer(this, IDT_FULLSCREEN_POLL) {
    // The template's 316 x 180 dialog units; initialisation gives it the monitor's size.
    SetSize(ConvertDialogToPixels(wxSize(316, 180)));
    SetBackgroundColour(*wxBLACK);
    // Escape and Enter are the dialog's own keys; nothing else closes it by default.
    SetEscapeId(wxID_NONE);
    Bind(wxEVT_TIMER, &CFullScreen::OnTimer, this);
    Bind(wxEVT_TOOLBAR_COMMAND, &CFullScreen::OnToopCommand, this);
    Bind(wxEVT_CHAR_HOOK, &CFullScreen::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CFullScreen::OnClose, this);
}

CFullScreen::~CFullScreen() {
    m_timer.Stop();
    // The control is a child window and goes with this one; the record must not name it then.
    if (m_pParam != nullptr && m_pParam->pFlash != nullptr &&
        m_pParam->pFlash->GetParent() == this) {
        m_pParam->pFlash = nullptr;
    }
}

int CFullScreen::ShowModal() {
    if (!OnInitDialog()) {
        return wxID_CANCEL;
    }
    return wxDialog::ShowModal();
}

// Everything is made before the window shows, so a failure ends full screen before it starts.
bool CFullScreen::OnInitDialog() {
    m_rcMonitor = MonitorOf(m_pParam != nullptr ? m_pParam->pParentWnd : nullptr);
    SetSize(m_rcMonitor);
    if (!StartMovie(m_rcMonitor.GetSize())) {
        DoFailed();
        return false;
    }
    auto* toolbar = new CFullSCToop;
    if (!toolbar->Create(this, m_pParam->pFlash, kToolbarWindowText,
                         wxRect(0, 0, m_rcMonitor.width, ui::kToolbarHeight), wxID_ANY)) {
        delete toolbar;
        DoFailed();
        return false;
    }
    m_pToolbar = toolbar;
    if (ui::GetFullScreenEnvironment().pollTimer) {
        m_timer.Start(kFullScreenPollMs);
    }
    return true;
}

bool CFullScreen::Show(bool show) {
    const bool changed = wxDialog::Show(show);
    if (show && m_pToolbar != nullptr) {
        // The toolkit places a modal window over its parent when it shows; put it back.
        SetSize(m_rcMonitor);
        m_pParam->pFlash->SetFocus();
    }
    return changed;
}

// Creates the control and puts the movie where the caller's was. Failing control calls end
// full screen with the failure message instead of leaving a window without a movie.
bool CFullScreen::StartMovie(const wxSize& size) {
    if (m_pParam == nullptr || m_pParam->pFlash == nullptr) {
        return false;
    }
    CShockwaveFlash* flash = m_pParam->pFlash;
    if (!flash->Create(kFlashWindowText, 0, wxRect(wxPoint(0, 0), size), this, IDC_FLASH)) {
        return false;
    }
    try {
        flash->LoadMovie(0, m_pParam->strMoviePath);
        flash->GotoFrame(m_pParam->nFrame);
        if (m_pParam->bPlaying != 0) {
            flash->Play();
        }
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

void CFullScreen::DoFailed() {
    m_bFailed = true;
    const auto& show = ui::GetFullScreenEnvironment().showMessage;
    if (show) {
        show(kFullScreenFailedText);
    } else {
        wxMessageBox(kFullScreenFailedText, wxString(), wxOK | wxICON_INFORMATION, this);
    }
    SetReturnCode(wxID_CANCEL);
    if (IsModal()) {
        EndModal(wxID_CANCEL);
    }
}

void CFullScreen::OnTimer(wxTimerEvent& event) {
    if (event.GetId() == IDT_FULLSCREEN_POLL) {
        Poll();
    }
    event.Skip();
}

void CFullScreen::Poll() {
    if (m_bFailed || m_pParam == nullptr || m_pParam->pFlash == nullptr) {
        return;
    }
    CShockwaveFlash* flash = m_pParam->pFlash;
    try {
        if (flash->IsPlaying()) {
            m_pParam->bPlaying = 1;
            m_pParam->nFrame = static_cast<std::int32_t>(flash->FrameNum());
        } else {
            m_pParam->bPlaying = 0;
        }
    } catch (const std::exception&) {
        // The next tick asks again; the record keeps what was last seen.
    }
    if (m_nTicks++ < ui::kToolbarHoldTicks || m_pToolbar == nullptr) {
        return;
    }
    const wxRect bar = m_pToolbar->GetRect();
    const int bottom = bar.GetBottom() + 1;
    const int next = ui::NextToolbarBottom(bottom, m_pToolbar->IsPinned(), CursorInWindow().y);
    if (next != bottom) {
        // The bar slides as a whole, keeping its height.
        m_pToolbar->SetSize(0, next - bar.height, bar.width, bar.height, wxSIZE_ALLOW_MINUS_ONE);
    }
}

// The cursor in the window's coordinates: its top edge is the monitor's.
wxPoint CFullScreen::CursorInWindow() const {
    const auto& cursor = ui::GetFullScreenEnvironment().cursorPosition;
    const wxPoint screen = cursor ? cursor() : wxGetMousePosition();
    return screen - GetScreenPosition();
}

void CFullScreen::OnToopCommand(wxCommandEvent& event) {
    if (event.GetId() == IDC_FULLSCREEN_EXIT) {
        OnCancel();
    }
}

void CFullScreen::OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_ESCAPE:
            OnCancel();
            return;
        default:
            // Enter does not end full screen (OnOK does nothing) but goes on to the movie, as
            // every other key does.
            event.Skip();
    }
}

void CFullScreen::OnClose(wxCloseEvent&) {
    OnCancel();
}

void CFullScreen::OnCancel() {
    if (IsModal()) {
        EndModal(wxID_CANCEL);
    }
}

void CFullScreen::EndModal(int returnCode) {
    m_timer.Stop();
    wxDialog::EndModal(returnCode);
}

CPlayControl::CPlayControl() = default;

CPlayControl::CPlayControl(wxWindow* parent)
    : wxDialog(parent, IDD_PLAYCONTROL, wxString(), wxDefaultPosition, wxDefaultSize,
               wxBORDER_NONE) {
    SetSize(ConvertDialogToPixels(wxSize(327, 144)));
}

CPlayControl::~CPlayControl() = default;
