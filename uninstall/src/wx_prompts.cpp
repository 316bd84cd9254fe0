#include "wx_prompts.h"

#include <wx/app.h>
#include <wx/init.h>
#include <wx/msgdlg.h>

#include <cstdio>

#include "platform/text.h"

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

void WxPrompts::Show(const Prompt& prompt) {
    if (!StartToolkit()) {
        std::fprintf(stderr, "%s: %s\n", platform::Utf8FromWide(prompt.caption).c_str(),
                     platform::Utf8FromWide(prompt.text).c_str());
        return;
    }
    long style = wxOK | wxCENTRE;
    if (prompt.icon == PromptIcon::Warning) {
        style |= wxICON_WARNING;
    } else if (prompt.icon == PromptIcon::Error) {
        style |= wxICON_ERROR;
    }
    wxMessageDialog dialog(nullptr, wxString(prompt.text), wxString(prompt.caption), style);
    dialog.ShowModal();
}

}  // namespace uninstall
