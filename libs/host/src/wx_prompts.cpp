#include "host/wx_prompts.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
// After the message dialog base it builds on.
#include <wx/generic/msgdlgg.h>
#include <wx/utils.h>

namespace host {
namespace {

wxWindow* OwnerOf(wxWindow* parent) {
    return parent ? parent : wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

long IconStyle(PromptIcon icon) {
    switch (icon) {
        case PromptIcon::Information:
            return wxICON_INFORMATION;
        case PromptIcon::Warning:
            return wxICON_WARNING;
        case PromptIcon::Error:
            return wxICON_ERROR;
        case PromptIcon::Question:
            return wxICON_QUESTION;
        case PromptIcon::None:
            break;
    }
    return 0;
}

}  // namespace

PromptAnswer WxPrompts::Show(const Message& message) {
    const bool question = message.buttons == PromptButtons::YesNo;
    const long style = (question ? wxYES_NO : wxOK) | IconStyle(message.icon) | wxCENTRE;
    wxGenericMessageDialog dialog(OwnerOf(message.parent), message.text,
                                  message.caption.empty() ? caption_ : message.caption, style);
    switch (dialog.ShowModal()) {
        case wxID_YES:
            return PromptAnswer::Yes;
        case wxID_NO:
            return PromptAnswer::No;
        default:
            return question ? PromptAnswer::No : PromptAnswer::Ok;
    }
}

std::unique_ptr<wxFileDialog> WxPrompts::MakeFileDialog(const FileRequest& request) {
    // Replacing a file is asked by the service once the final name is known.
    const long style = request.save ? wxFD_SAVE : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    // Never the process's working folder, which the user did not choose.
    const wxString folder = request.folder.empty() ? wxGetHomeDir() : request.folder;
    return std::make_unique<wxFileDialog>(OwnerOf(request.parent), wxFileSelectorPromptStr, folder,
                                          request.defaultName, DialogFilter(request.filter), style);
}

std::optional<wxString> WxPrompts::ShowFileDialog(const FileRequest& request) {
    std::unique_ptr<wxFileDialog> dialog = MakeFileDialog(request);
    if (dialog->ShowModal() != wxID_OK) {
        return std::nullopt;
    }
    return dialog->GetPath();
}

int WxPrompts::RunModal(wxDialog& dialog) {
    return dialog.ShowModal();
}

}  // namespace host
