#include "app/wx_prompts.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

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
    wxMessageDialog dialog(Owner(), text, kCaption, style);
    switch (dialog.ShowModal()) {
        case wxID_YES:
            return PromptAnswer::Yes;
        case wxID_NO:
            return PromptAnswer::No;
        default:
            return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
}

std::optional<wxString> WxPrompts::AskFile(const FileDialogRequest& request) {
    long style = request.save ? wxFD_SAVE : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (request.overwritePrompt && request.save) {
        style |= wxFD_OVERWRITE_PROMPT;
    }
    wxFileDialog dialog(Owner(), wxFileSelectorPromptStr, wxString(), request.defaultName,
                        DialogFilter(request.filter), style);
    if (dialog.ShowModal() != wxID_OK) {
        return std::nullopt;
    }
    wxString path = dialog.GetPath();
    // The default extension goes on a name typed without one, as the Windows dialog does.
    if (request.save && !request.defaultExtension.empty() && wxFileName(path).GetExt().empty()) {
        path += wxS(".") + request.defaultExtension;
    }
    return path;
}
