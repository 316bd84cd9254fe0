#include "app/wx_prompts.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
// After the message dialog base it builds on.
#include <wx/generic/msgdlgg.h>
#include <wx/utils.h>

#include <memory>

namespace {

const wxString kCaption = wxS("ToviFlash");

wxWindow* Owner() {
    return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}

}  // namespace

PromptAnswer WxPrompts::Message(const wxString& text, PromptButtons buttons, PromptIcon icon) {
    long style = buttons == PromptButtons::YesNo ? wxYES_NO : wxOK;
    switch (icon) {
        case PromptIcon::Information:
            style |= wxICON_INFORMATION;
            break;
        case PromptIcon::Warning:
            style |= wxICON_WARNING;
            break;
        case PromptIcon::Error:
            style |= wxICON_ERROR;
            break;
        case PromptIcon::Question:
            style |= wxICON_QUESTION;
            break;
    }
    // A dialog of wxWidgets' own, which a request to end can cancel (the toolkit's native one
    // runs a loop of its own that nothing ends).
    wxGenericMessageDialog dialog(Owner(), text, kCaption, style);
    switch (dialog.ShowModal()) {
        case wxID_YES:
            return PromptAnswer::Yes;
        case wxID_NO:
            return PromptAnswer::No;
        default:
            return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
}

std::unique_ptr<wxFileDialog> WxPrompts::MakeFileDialog(wxWindow* owner,
                                                        const FileDialogRequest& request) {
    // Replacing a file is asked by the service once the final name is known.
    const long style = request.save ? wxFD_SAVE : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    // Never the process's working folder, which the user did not choose.
    const wxString folder = request.folder.empty() ? wxGetHomeDir() : request.folder;
    return std::make_unique<wxFileDialog>(owner, wxFileSelectorPromptStr, folder,
                                          request.defaultName, DialogFilter(request.filter), style);
}

std::optional<wxString> WxPrompts::ShowFileDialog(const FileDialogRequest& request) {
    std::unique_ptr<wxFileDialog> dialog = MakeFileDialog(Owner(), request);
    if (dialog->ShowModal() != wxID_OK) {
        return std::nullopt;
    }
    return dialog->GetPath();
}
