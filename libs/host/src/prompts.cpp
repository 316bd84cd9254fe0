#include "host/prompts.h"

#include <wx/filename.h>

namespace host {

PromptService::~PromptService() = default;

void PromptService::Tell(const wxString& text, PromptIcon icon, wxWindow* parent) {
    Show({text, PromptButtons::Ok, icon, wxString(), parent});
}

bool PromptService::AskYesNo(const wxString& text, wxWindow* parent) {
    return Show({text, PromptButtons::YesNo, PromptIcon::Question, wxString(), parent}) ==
           PromptAnswer::Yes;
}

std::optional<wxString> PromptService::AskFile(const FileRequest& request) {
    std::optional<wxString> path = ShowFileDialog(request);
    if (!path || !request.save) {
        return path;
    }
    wxFileName name(*path);
    if (!request.defaultExtension.empty() && name.GetExt().empty()) {
        *path += wxS(".") + request.defaultExtension;
        name.Assign(*path);
    }
    if (request.overwritePrompt && name.FileExists() &&
        !AskYesNo(ReplaceQuestion(name.GetFullName()), request.parent)) {
        return std::nullopt;
    }
    return path;
}

wxString ReplaceQuestion(const wxString& fileName) {
    return fileName + wxS(" 已存在。\r\n要替换它吗?");
}

wxString DialogFilter(const wxString& filter) {
    wxString result = filter;
    while (result.EndsWith(wxS("|"))) {
        result.RemoveLast();
    }
    return result;
}

}  // namespace host
