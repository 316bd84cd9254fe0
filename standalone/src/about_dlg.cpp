#include "about_dlg.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "player_ids.h"
#include "player_images.h"

CAboutDlg::CAboutDlg(wxWindow* parent)
    : wxDialog(parent, IDD_ABOUT, wxString::FromUTF8("关于 ToviPlayer")) {
    SetFont(wxFont(wxFontInfo(9).FaceName(wxString::FromUTF8("宋体"))));
    auto* lines = new wxBoxSizer(wxVERTICAL);
    for (const char* text :
         {"ToviFlash播放器[独立版本] V 1.0", "本程序由 Kestrum 制作, 可随影片自由分发.",
          "版权所有 (C) Kestrum, 保留所有权利."}) {
        lines->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(text)), 0, wxBOTTOM, 4);
    }
    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(new wxStaticBitmap(this, wxID_ANY, standalone::PlayerIcon().GetIcon(wxSize(32, 32))),
             0, wxALL, 10);
    top->Add(lines, 1, wxTOP | wxRIGHT, 10);
    top->Add(new wxButton(this, wxID_OK, wxString::FromUTF8("确定")), 0, wxALL, 10);
    SetSizerAndFit(top);
    SetMinClientSize(ConvertDialogToPixels(wxSize(243, 59)));
    Fit();
    CentreOnParent();
}
