#include "app/prompt_service.h"

#include <wx/filename.h>

#include <cstdio>

PromptService::~PromptService() = default;

namespace {

class UnattendedPrompts : public PromptService {
  public:
    PromptAnswer Message(const wxString& text, PromptButtons buttons, PromptIcon) override {
        std::fprintf(stderr, "ToviFlash: %s\n", static_cast<const char*>(text.utf8_str()));
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
    std::optional<wxString> ShowFileDialog(const FileDialogRequest&) override {
        return std::nullopt;
    }
};

PromptService* g_installed = nullptr;

}  // namespace

std::optional<wxString> PromptService::AskFile(const FileDialogRequest& request) {
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
        !AskYesNo(name.GetFullName() + wxS(" 已存在。\r\n要替换它吗?"))) {
        return std::nullopt;
    }
    return path;
}

PromptService& Prompts() {
    static UnattendedPrompts unattended;
    return g_installed ? *g_installed : unattended;
}

void SetPrompts(PromptService* service) {
    g_installed = service;
}

wxString DialogFilter(const wxString& filter) {
    wxString result = filter;
    while (result.EndsWith(wxS("|"))) {
        result.RemoveLast();
    }
    return result;
}
