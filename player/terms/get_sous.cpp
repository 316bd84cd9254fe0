#include "get_sous.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>

#include <string>

#include "host/prompts.h"
#include "maker_site.h"
#include "platform/shell.h"
#include "roles_text.h"
#include "tovi.h"

CGetSous::CGetSous(wxWindow* parent, host::PromptService& prompts, const wxString& rolesPath)
    : wxDialog(parent, IDD_GETSOUS, wxS("ToviFlash播放器")),
      m_prompts(prompts),
      m_strRolesPath(rolesPath.empty() ? GetSetingFilePathName(kRolesFile) : rolesPath) {
    auto du = [this](int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); };
    auto duSize = [this](int cx, int cy) { return ConvertDialogToPixels(wxSize(cx, cy)); };
    SetClientSize(duSize(347, 180));
    m_pEdit = new wxTextCtrl(this, IDC_ROLES_TEXT, wxString(), du(7, 7), duSize(333, 140),
                             wxTE_MULTILINE | wxTE_READONLY | wxVSCROLL | wxBORDER_SUNKEN);
    m_pAgree = new wxCheckBox(this, IDC_ROLES_AGREE, wxS("我同意以上条款, 并承诺将遵从以上约定"),
                              du(7, 152), duSize(230, 10));
    auto* get = new wxButton(this, wxID_OK, wxS("获取"), du(236, 159), duSize(50, 14));
    new wxButton(this, wxID_CANCEL, wxS("关闭"), du(290, 159), duSize(50, 14));
    get->SetDefault();
    Bind(wxEVT_SHOW, &CGetSous::OnShow, this);
    Bind(wxEVT_CHECKBOX, &CGetSous::OnAgree, this, IDC_ROLES_AGREE);
}

int CGetSous::ShowModal() {
    if (!OnInitDialog()) {
        m_prompts.Tell(kRolesFailedText, host::PromptIcon::Warning);
        return wxID_CANCEL;
    }
    return wxDialog::ShowModal();
}

bool CGetSous::OnInitDialog() {
    std::optional<wxString> text = terms::LoadRolesText(m_strRolesPath);
    if (!text) {
        return false;
    }
    m_strText = *text;
    m_pEdit->SetValue(m_strText);
    return true;
}

void CGetSous::OnShow(wxShowEvent& event) {
    event.Skip();
    if (event.IsShown()) {
        FindWindow(wxID_OK)->Disable();
        m_pAgree->SetValue(false);
    }
}

void CGetSous::OnAgree(wxCommandEvent&) {
    FindWindow(wxID_OK)->Enable(m_pAgree->IsChecked());
}

void ShowSourceTerms(wxWindow* view, host::PromptService& prompts) {
    CGetSous dialog(view, prompts);
    if (dialog.ShowModal() == wxID_OK) {
        const std::wstring page = std::wstring(kMakerSite) + L"/ToviFlash/Source/";
        platform::ShellOpen(L"open", page.c_str(), nullptr, nullptr, platform::kSwShow);
    }
}
