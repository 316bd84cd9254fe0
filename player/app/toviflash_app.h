#pragma once

#include <wx/app.h>

#include <memory>

#include "app/player_session.h"
#include "host/wx_prompts.h"
#include "image_strips.h"

// The application object of ToviFlash: takes one optional file from the command line and
// runs the player session with the program's main window.
class CToviFlashApp : public wxApp {
  public:
    bool OnInit() override;
    int OnExit() override;
    void OnInitCmdLine(wxCmdLineParser& parser) override;
    bool OnCmdLineParsed(wxCmdLineParser& parser) override;

    PlayerSession& Session() { return *session_; }

  private:
    void OnAppAbout(wxCommandEvent& event);

    host::WxPrompts prompts_{wxS("ToviFlash")};
    // Rendered on first use; they go before the toolkit does.
    std::unique_ptr<res::ImageStrips> images_;
    std::unique_ptr<PlayerSession> session_;
    wxString file_;

    wxDECLARE_EVENT_TABLE();
};

wxDECLARE_APP(CToviFlashApp);

// The program's main window around the document manager (defined with the main frame).
FrameLink* MakeMainFrame(wxDocManager* manager, PlayerContext& context);

// Assertion failures of wxWidgets are written to the standard error stream instead of a modal
// dialog; debug builds, and any build run with TOVI_ASSERT_ABORT set, stop there.
void InstallAssertHandler();
