#include "extract_progress_dlg.h"

#include <wx/frame.h>
#include <wx/gauge.h>
#include <wx/stattext.h>

#include <algorithm>

#include "player_ids.h"

namespace {

// Sizes in dialog units, as the window is laid out.
const wxSize kDialogSize(161, 24);
const wxPoint kTextPos(3, 3);
const wxSize kTextSize(55, 8);
const wxPoint kBarPos(2, 12);
const wxSize kBarSize(157, 10);

}  // namespace

CExtractProgressDlg::CExtractProgressDlg(wxWindow* parent)
    : wxDialog(parent, IDD_EXTRACT_PROGRESS, wxEmptyString, wxDefaultPosition, wxDefaultSize,
               wxBORDER_NONE | wxFRAME_FLOAT_ON_PARENT) {
    SetFont(wxFont(wxFontInfo(10).FaceName(wxString::FromUTF8("华文楷体"))));
    SetClientSize(ConvertDialogToPixels(kDialogSize));
    auto* text =
        new wxStaticText(this, wxID_ANY, wxString::FromUTF8("正在提取动画..."),
                         ConvertDialogToPixels(kTextPos), ConvertDialogToPixels(kTextSize));
    bar_ = new wxGauge(this, IDC_EXTRACT_PROGRESS, 100, ConvertDialogToPixels(kBarPos),
                       ConvertDialogToPixels(kBarSize),
                       wxGA_HORIZONTAL | wxGA_SMOOTH | wxBORDER_SIMPLE);
    for (wxWindow* w : {static_cast<wxWindow*>(this), static_cast<wxWindow*>(text),
                        static_cast<wxWindow*>(bar_)}) {
        w->Bind(wxEVT_LEFT_DOWN, &CExtractProgressDlg::OnLeftDown, this);
        w->Bind(wxEVT_MOTION, &CExtractProgressDlg::OnMotion, this);
        w->Bind(wxEVT_LEFT_UP, &CExtractProgressDlg::OnLeftUp, this);
    }
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CExtractProgressDlg::OnCaptureLost, this);
}

bool CExtractProgressDlg::Show(bool show) {
    if (show) {
        if (GetParent()) {
            CentreOnParent();
        }
        bar_->SetRange(100);
    }
    return wxDialog::Show(show);
}

void CExtractProgressDlg::SetProgress(long position) {
    const int value = static_cast<int>(std::clamp<long>(position, 0, 100));
    // A copy reports every kilobyte; the bar is redrawn only when it moves.
    if (bar_->GetValue() != value) {
        bar_->SetValue(value);
    }
}

int CExtractProgressDlg::GetProgress() const {
    return bar_->GetValue();
}

void CExtractProgressDlg::OnLeftDown(wxMouseEvent& event) {
    auto* source = static_cast<wxWindow*>(event.GetEventObject());
    const wxPoint screen = source->ClientToScreen(event.GetPosition());
    dragOffset_ = screen - GetPosition();
    dragging_ = true;
    CaptureMouse();
}

void CExtractProgressDlg::OnMotion(wxMouseEvent& event) {
    if (!dragging_ || !event.LeftIsDown()) {
        return;
    }
    auto* source = static_cast<wxWindow*>(event.GetEventObject());
    Move(source->ClientToScreen(event.GetPosition()) - dragOffset_);
}

void CExtractProgressDlg::OnLeftUp(wxMouseEvent&) {
    if (dragging_) {
        dragging_ = false;
        if (HasCapture()) {
            ReleaseMouse();
        }
    }
}

void CExtractProgressDlg::OnCaptureLost(wxMouseCaptureLostEvent&) {
    dragging_ = false;
}
