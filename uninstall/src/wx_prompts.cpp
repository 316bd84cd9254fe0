#include "wx_prompts.h"

#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>

namespace uninstall {
namespace {

class MessageApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};

}  // namespace

WxPrompts::~WxPrompts() {
    if (toolkit_ == Toolkit::Running) {
        wxTheApp->OnExit();
        wxEntryCleanup();
    }
}

bool WxPrompts::StartToolkit() {
    if (toolkit_ == Toolkit::NotTried) {
        wxApp::SetInstance(new MessageApp);
        toolkit_ = wxEntryStart(argc_, argv_) && wxTheApp->CallOnInit() ? Toolkit::Running
                                                                        : Toolkit::Unavailable;
    }
    return toolkit_ == Toolkit::Running;
}

host::PromptAnswer WxPrompts::Show(const host::Message& message) {
    if (!StartToolkit()) {
        const wxString caption =
            message.caption.empty() ? wxString(kProgramTitle) : message.caption;
        std::fprintf(stderr, "%s: %s\n", static_cast<const char*>(caption.utf8_str()),
                     static_cast<const char*>(message.text.utf8_str()));
        return message.buttons == host::PromptButtons::YesNo ? host::PromptAnswer::No
                                                             : host::PromptAnswer::Ok;
    }
    return host::WxPrompts::Show(message);
}

}  // namespace uninstall
