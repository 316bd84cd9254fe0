#pragma once

#include <wx/dialog.h>
#include <wx/string.h>

class wxCheckBox;
class wxTextCtrl;
namespace host {
class PromptService;
}

inline constexpr int IDD_GETSOUS = 321;
inline constexpr int IDC_ROLES_AGREE = 1004;
inline constexpr int IDC_ROLES_TEXT = 1005;
inline constexpr const wchar_t* kRolesFile = L"Binary\\Roles.dat";
inline constexpr const wchar_t* kRolesFailedText =
    L"应用程序无法加载文件, 重新安装可能会解决这个问题";

// The terms under which the source code is offered: "获取" works once the user agrees.
class CGetSous : public wxDialog {
  public:
    // Reads "Binary\Roles.dat" of the program folder, or `rolesPath` when one is given; a
    // failure is told through `prompts`.
    CGetSous(wxWindow* parent, host::PromptService& prompts,
             const wxString& rolesPath = wxString());

    // Loads the terms first; a file that cannot be loaded is reported through the prompt
    // service and ends the dialog (wxID_CANCEL) before it shows.
    int ShowModal() override;

    const wxString& GetText() const { return m_strText; }

  private:
    bool OnInitDialog();
    void OnShow(wxShowEvent& event);
    void OnAgree(wxCommandEvent& event);

    host::PromptService& m_prompts;
    wxString m_strRolesPath;
    wxString m_strText;
    wxTextCtrl* m_pEdit = nullptr;
    wxCheckBox* m_pAgree = nullptr;
};

// Command 32963: the terms dialog; on "获取" the source page of the maker's web site opens in
// the browser.
void ShowSourceTerms(wxWindow* view, host::PromptService& prompts);
