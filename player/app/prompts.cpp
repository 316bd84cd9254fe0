#include "app/prompts.h"

#include <wx/defs.h>

#include <cstdio>

namespace {

class UnattendedPrompts : public host::PromptService {
  public:
    host::PromptAnswer Show(const host::Message& message) override {
        std::fprintf(stderr, "ToviFlash: %s\n", static_cast<const char*>(message.text.utf8_str()));
        return message.buttons == host::PromptButtons::YesNo ? host::PromptAnswer::No
                                                             : host::PromptAnswer::Ok;
    }
    std::optional<wxString> ShowFileDialog(const host::FileRequest&) override {
        return std::nullopt;
    }
    int RunModal(wxDialog&) override { return wxID_CANCEL; }
};

host::PromptService* g_installed = nullptr;

}  // namespace

host::PromptService& Prompts() {
    static UnattendedPrompts unattended;
    return g_installed ? *g_installed : unattended;
}

void SetPrompts(host::PromptService* service) {
    g_installed = service;
}
