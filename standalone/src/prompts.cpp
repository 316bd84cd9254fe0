#include "prompts.h"

#include <wx/dialog.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

namespace standalone {
namespace {

const wxString kCaption = wxString::FromUTF8("ToviPlayer");

class WxPromptService : public Prompts {
  public:
    void Tell(wxWindow* parent, const std::string& text, PromptKind kind) override {
        const long icon = kind == PromptKind::kError ? wxICON_ERROR : wxICON_INFORMATION;
        wxMessageBox(wxString::FromUTF8(text), kCaption, wxOK | icon, parent);
    }
    bool Ask(wxWindow* parent, const std::string& text) override {
        return wxMessageBox(wxString::FromUTF8(text), kCaption, wxYES_NO | wxICON_QUESTION,
                            parent) == wxYES;
    }
    std::optional<std::string> ChooseFile(wxWindow* parent, const FileRequest& request) override {
        const long style =
            request.save ? wxFD_SAVE | wxFD_OVERWRITE_PROMPT : wxFD_OPEN | wxFD_FILE_MUST_EXIST;
        wxFileDialog dialog(parent, wxEmptyString, wxEmptyString,
                            wxString::FromUTF8(request.defaultName),
                            wxString::FromUTF8(DialogWildcard(request.filter)), style);
        if (dialog.ShowModal() != wxID_OK) {
            return std::nullopt;
        }
        wxString path = dialog.GetPath();
        // The default extension goes on a name typed without one, as the save dialog does.
        if (request.save && !request.defaultExtension.empty() &&
            wxFileName(path).GetExt().empty()) {
            path += "." + wxString::FromUTF8(request.defaultExtension);
        }
        return std::string(path.utf8_str());
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
