#include "prompts.h"

#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
// After the message dialog base it builds on.
#include <wx/generic/msgdlgg.h>
#include <wx/utils.h>

namespace standalone {
namespace {

const wxString kCaption = wxString::FromUTF8("ToviPlayer");

// wxWidgets' own message dialog, which a request to end can cancel (the toolkit's native one
// runs a loop of its own that nothing ends).
int ShowMessage(wxWindow* parent, const std::string& text, long style) {
    wxGenericMessageDialog dialog(parent, wxString::FromUTF8(text), kCaption, style);
    return dialog.ShowModal();
}

class WxPromptService : public Prompts {
  public:
    void Tell(wxWindow* parent, const std::string& text, PromptKind kind) override {
        const long icon = kind == PromptKind::kError ? wxICON_ERROR : wxICON_INFORMATION;
        ShowMessage(parent, text, wxOK | icon);
    }
    bool Ask(wxWindow* parent, const std::string& text) override {
        return ShowMessage(parent, text, wxYES_NO | wxICON_QUESTION) == wxID_YES;
    }
    std::optional<std::string> ChooseFile(wxWindow* parent, const FileRequest& request) override {
        const long style = request.save ? wxFD_SAVE : wxFD_OPEN | wxFD_FILE_MUST_EXIST;
        const wxString folder =
            request.folder.empty() ? wxGetHomeDir() : wxString::FromUTF8(request.folder);
        wxFileDialog dialog(parent, wxEmptyString, folder, wxString::FromUTF8(request.defaultName),
                            wxString::FromUTF8(DialogWildcard(request.filter)), style);
        if (dialog.ShowModal() != wxID_OK) {
            return std::nullopt;
        }
        return std::string(dialog.GetPath().utf8_str());
    }
    int RunModal(wxDialog& dialog) override { return dialog.ShowModal(); }
};

}  // namespace

Prompts& WxPrompts() {
    static WxPromptService service;
    return service;
}

std::string DialogWildcard(const std::string& filter) {
    std::string out = filter;
    while (!out.empty() && out.back() == '|') {
        out.pop_back();
    }
    return out;
}

}  // namespace standalone
