#include "host/end_on_signal.h"

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <algorithm>
#include <csignal>
#include <vector>

namespace host {
namespace {

bool g_ending = false;

// The modal dialogs open now, innermost last.
class OpenDialogs : public wxModalDialogHook {
  public:
    std::vector<wxDialog*> dialogs;

  protected:
    int Enter(wxDialog* dialog) override {
        // A dialog asked for after the request to end is not shown (and not exited either).
        if (g_ending) {
            return wxID_CANCEL;
        }
        dialogs.push_back(dialog);
        return wxID_NONE;
    }
    void Exit(wxDialog* dialog) override { std::erase(dialogs, dialog); }
};

OpenDialogs& Dialogs() {
    static OpenDialogs hook;
    static bool registered = false;
    if (!registered) {
        hook.Register();
        registered = true;
    }
    return hook;
}

void OnSignal(int) {
    EndAsRequested();
}

}  // namespace

void EndOnSignals() {
    Dialogs();
    wxTheApp->SetSignalHandler(SIGTERM, OnSignal);
    wxTheApp->SetSignalHandler(SIGINT, OnSignal);
}

bool IsEnding() {
    return g_ending;
}

void EndAsRequested() {
    g_ending = true;
    // Innermost first; a dialog that ends takes itself off the list.
    const std::vector<wxDialog*> open = Dialogs().dialogs;
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        if ((*it)->IsModal()) {
            (*it)->EndModal(wxID_CANCEL);
        }
    }
    // The main window closes once the dialogs' loops have returned.
    if (wxTheApp) {
        wxTheApp->CallAfter([] {
            if (wxWindow* top = wxTheApp->GetTopWindow()) {
                top->Close(true);
            } else {
                wxTheApp->ExitMainLoop();
            }
        });
    }
}

void ResetEnding() {
    g_ending = false;
}

}  // namespace host
