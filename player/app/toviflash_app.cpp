#include "app/toviflash_app.h"

#include <wx/cmdline.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/window.h>

#include <cstdio>
#include <cstdlib>

#include "app/about_dlg.h"
#include "host/end_on_signal.h"
#include "platform/wx_dispatch.h"
#include "playback/shockwave_window.h"
#include "resource_ids.h"

wxIMPLEMENT_APP(CToviFlashApp);

wxBEGIN_EVENT_TABLE(CToviFlashApp, wxApp) EVT_MENU(ID_APP_ABOUT, CToviFlashApp::OnAppAbout)
    wxEND_EVENT_TABLE()

        namespace {
    void ReportAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                      const wxString& msg) {
        std::fprintf(stderr, "ToviFlash: wxWidgets assertion failed at %s:%d in %s: %s %s\n",
                     static_cast<const char*>(file.utf8_str()), line,
                     static_cast<const char*>(func.utf8_str()),
                     static_cast<const char*>(cond.utf8_str()),
                     static_cast<const char*>(msg.utf8_str()));
        std::fflush(stderr);
#ifdef NDEBUG
        if (std::getenv("TOVI_ASSERT_ABORT") == nullptr) {
            return;
        }
#endif
        std::abort();
    }

}  // namespace

void InstallAssertHandler() {
    wxSetAssertHandler(ReportAssert);
}

void CToviFlashApp::OnInitCmdLine(wxCmdLineParser& parser) {
    // One file; further arguments are ignored, as the shell may hand over several.
    parser.AddParam(wxS("file"), wxCMD_LINE_VAL_STRING,
                    wxCMD_LINE_PARAM_OPTIONAL | wxCMD_LINE_PARAM_MULTIPLE);
    parser.SetSwitchChars(wxS("-"));
}

bool CToviFlashApp::OnCmdLineParsed(wxCmdLineParser& parser) {
    if (parser.GetParamCount() > 0) {
        // A name given relative to the current folder is taken as the full path it stands for.
        wxFileName name(parser.GetParam(0));
        name.MakeAbsolute();
        file_ = name.GetFullPath();
    }
    return true;
}

bool CToviFlashApp::OnInit() {
    InstallAssertHandler();
    if (!wxApp::OnInit()) {
        return false;
    }
    // Before the sound output starts, whose library otherwise takes these signals for itself.
    host::EndOnSignals();
    SetAppName(wxS("ToviFlash"));
    SetVendorName(wxS("kestrum"));
    wxInitAllImageHandlers();
    platform::InstallWxDispatcher();
    SetFlashWindowFactory(ShockwaveFlashFactory());
    images_ = std::make_unique<res::ImageStrips>();
    session_ = std::make_unique<PlayerSession>(prompts_, *images_);
    return session_->Start(file_, MakeMainFrame);
}

void CToviFlashApp::OnAppAbout(wxCommandEvent&) {
    CAboutDlg about(GetTopWindow(), *images_);
    about.ShowModal();
}

int CToviFlashApp::OnExit() {
    session_.reset();
    images_.reset();
    platform::UninstallWxDispatcher();
    return wxApp::OnExit();
}
