#include "frame_prompts.h"

#include <cstdio>

namespace frame_prompts {
namespace {

std::function<bool(const wxString&, bool)>& Answerer() {
    static std::function<bool(const wxString&, bool)> answer;
    return answer;
}

// Until the application installs its prompt service nothing may wait: boxes are written to
// the error stream and questions answered No.
bool Show(const wxString& text, bool yesNo) {
    if (Answerer()) {
        return Answerer()(text, yesNo);
    }
    std::fprintf(stderr, "ToviFlash: %s\n", static_cast<const char*>(text.utf8_str()));
    return false;
}

}  // namespace

void Tell(const wxString& text) {
    Show(text, false);
}

bool AskYesNo(const wxString& text) {
    return Show(text, true);
}

void SetAnswerer(std::function<bool(const wxString& text, bool yesNo)> answer) {
    Answerer() = std::move(answer);
}

}  // namespace frame_prompts
