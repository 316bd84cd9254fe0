// The standalone player's application object: one window, no command line, no settings.
#include <wx/app.h>

#include "host/end_on_signal.h"
#include "host/player_control.h"
#include "host/wx_prompts.h"
#include "platform/wx_dispatch.h"
#include "player_dlg.h"

class CPlayerApp : public wxApp {
  public:
    bool OnInit() override {
        // Before the player component's sound output starts, whose library otherwise takes
        // these signals for itself and drops them.
        host::EndOnSignals();
        // The extraction thread reaches the window through the platform's messages.
        platform::InstallWxDispatcher();
        auto* dialog = new CPlayerDlg(prompts_, host::MakeShockwaveControl());
        SetTopWindow(dialog);
        dialog->Show();
        return true;
    }

    int OnExit() override {
        platform::UninstallWxDispatcher();
        return wxApp::OnExit();
    }

  private:
    host::WxPrompts prompts_{wxS("ToviPlayer")};
};

wxIMPLEMENT_APP(CPlayerApp);
