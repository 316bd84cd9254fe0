#include "make_exe_statu.h"

#include <wx/gauge.h>
#include <wx/stattext.h>

#include "make_exe_progress.h"
#include "resource_ids.h"

namespace {

bool g_failCreation = false;

}  // namespace

void CMakeExeStatu::FailCreationForTesting(bool fail) {
    g_failCreation = fail;
}

bool CMakeExeStatu::Create(wxWindow* parent) {
    if (g_failCreation) {
        return false;
    }
    // Template 320: 205 by 21 dialog units; no caption, no border.
    if (!wxDialog::Create(parent, IDD_MAKEEXE_STATU, wxString(), wxDefaultPosition, wxDefaultSize,
                          wxBORDER_NONE)) {
        return false;
    }
    SetClientSize(ConvertDialogToPixels(wxSize(205, 21)));
    text_ = new wxStaticText(this, IDC_MAKEEXE_TEXT, L"正在生成...",
                             ConvertDialogToPixels(wxPoint(0, 0)),
                             ConvertDialogToPixels(wxSize(189, 8)), wxST_NO_AUTORESIZE);
    progress_ = new wxGauge(this, IDC_MAKEEXE_PROGRESS, 100, ConvertDialogToPixels(wxPoint(0, 11)),
                            ConvertDialogToPixels(wxSize(205, 9)));
    progress_->SetRange(100);
    progress_->SetValue(0);

    Bind(wxEVT_SHOW, &CMakeExeStatu::OnShow, this);
    Bind(wxEVT_CHAR_HOOK, &CMakeExeStatu::OnCharHook, this);
    Bind(wxEVT_BUTTON, &CMakeExeStatu::OnButton, this);
    Bind(wxEVT_CLOSE_WINDOW, &CMakeExeStatu::OnClose, this);
    BindDrag(this);
    BindDrag(text_);
    BindDrag(progress_);
    return true;
}

void CMakeExeStatu::BindDrag(wxWindow* window) {
    window->Bind(wxEVT_LEFT_DOWN, &CMakeExeStatu::OnLeftDown, this);
    window->Bind(wxEVT_MOTION, &CMakeExeStatu::OnMotion, this);
    window->Bind(wxEVT_LEFT_UP, &CMakeExeStatu::OnLeftUp, this);
    window->Bind(wxEVT_MOUSE_CAPTURE_LOST, &CMakeExeStatu::OnCaptureLost, this);
}

void CMakeExeStatu::OnShow(wxShowEvent& event) {
    event.Skip();
    if (!event.IsShown()) {
        return;
    }
    // Every show starts from an empty bar and the generic text, centred over the main window.
    text_->SetLabel(L"正 在 生 成 ...");
    progress_->SetValue(0);
    if (wxWindow* parent = GetParent()) {
        wxRect p = parent->GetScreenRect();
        wxSize own = GetSize();
        CentredPosition pos = CentreOver(p.x, p.y, p.x + p.width, p.y + p.height, own.x, own.y);
        Move(pos.x, pos.y);
    }
}

void CMakeExeStatu::OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_ESCAPE:
            Show();
            break;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            break;
        default:
            event.Skip();
    }
}

void CMakeExeStatu::OnButton(wxCommandEvent& event) {
    if (event.GetId() == wxID_CANCEL) {
        Show();
    } else if (event.GetId() != wxID_OK) {
        event.Skip();
    }
}

void CMakeExeStatu::OnClose(wxCloseEvent& event) {
    if (event.CanVeto()) {
        event.Veto();
    } else {
        event.Skip();
    }
}

void CMakeExeStatu::OnLeftDown(wxMouseEvent& event) {
    auto* window = static_cast<wxWindow*>(event.GetEventObject());
    wxPoint screen = window->ClientToScreen(event.GetPosition());
    dragOffset_ = screen - GetScreenPosition();
    dragging_ = window;
    if (!window->HasCapture()) {
        window->CaptureMouse();
    }
    event.Skip();
}

void CMakeExeStatu::OnMotion(wxMouseEvent& event) {
    auto* window = static_cast<wxWindow*>(event.GetEventObject());
    if (dragging_ == window && event.LeftIsDown()) {
        Move(window->ClientToScreen(event.GetPosition()) - dragOffset_);
    }
    event.Skip();
}

void CMakeExeStatu::OnLeftUp(wxMouseEvent& event) {
    if (dragging_ && dragging_->HasCapture()) {
        dragging_->ReleaseMouse();
    }
    dragging_ = nullptr;
    event.Skip();
}

void CMakeExeStatu::OnCaptureLost(wxMouseCaptureLostEvent&) {
    dragging_ = nullptr;
}
