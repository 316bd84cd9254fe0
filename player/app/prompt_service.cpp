#include "app/prompt_service.h"

#include <cstdio>

PromptService::~PromptService() = default;

namespace {

class UnattendedPrompts : public PromptService {
  public:
    PromptAnswer Message(const wxString& text, PromptButtons buttons, PromptIcon) override {
        std::fprintf(stderr, "ToviFlash: %s\n", static_cast<const char*>(text.utf8_str()));
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
    }
    std::optional<wxString> AskFile(const FileDialogRequest&) override { return std::nullopt; }
};

PromptService* g_installed = nullptr;

}  // namespace

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
