#include "app/about_dlg.h"

#include <wx/button.h>
#include <wx/hyperlink.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "image_strips.h"
#include "platform/shell.h"
#include "resource_ids.h"

CAboutDlg::CAboutDlg(wxWindow* parent, res::ImageStrips& images)
    : wxDialog(parent, IDD_ABOUTBOX, wxS("关于 ToviFlash")) {
    auto* lines = new wxBoxSizer(wxVERTICAL);
    lines->Add(new wxStaticText(this, wxID_ANY, wxS("ToviFlash播放器 V 1.0")), 0, wxBOTTOM, 6);
    lines->Add(new wxStaticText(this, wxID_ANY, wxS("版权所有 (C) Kestrum, 保留所有权利.")), 0,
               wxBOTTOM, 6);
    auto* link = new wxHyperlinkCtrl(this, IDC_ABOUT_LINK, kMakerWebSite, kMakerWebSite);
    // The shell opens the address, as every other page the program opens.
    link->Bind(wxEVT_HYPERLINK, [](wxHyperlinkEvent& event) {
        platform::ShellOpen(L"open", event.GetURL().wc_str(), nullptr, nullptr, platform::kSwHide);
    });
    lines->Add(link);

    auto* top = new wxBoxSizer(wxHORIZONTAL);
    top->Add(new wxStaticBitmap(this, wxID_ANY, images.Image(IDB_APP_BUTTON, 0)), 0, wxALL, 10);
    top->Add(lines, 1, wxTOP | wxRIGHT, 10);
    top->Add(new wxButton(this, wxID_OK, wxS("确定")), 0, wxALL, 10);
    SetSizerAndFit(top);
    CentreOnParent();
}
