// Entry point of the GUI test programs: an isolated environment, a wxWidgets application
// without a main loop of its own, and an assertion handler that fails the test loudly instead
// of opening wxWidgets' modal assertion dialog (which would hang a test under Xvfb).
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/log.h>

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tovi/testing/test_env.h"

namespace {

class TestApp : public wxApp {
  public:
    bool OnInit() override { return true; }
};

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    std::fprintf(
        stderr, "wxWidgets assertion failed at %s:%d in %s: %s %s\n",
        static_cast<const char*>(file.utf8_str()), line, static_cast<const char*>(func.utf8_str()),
        static_cast<const char*>(cond.utf8_str()), static_cast<const char*>(msg.utf8_str()));
    ADD_FAILURE() << "wxWidgets assertion failed at " << file.utf8_str() << ":" << line << " in "
                  << func.utf8_str() << ": " << cond.utf8_str() << " " << msg.utf8_str();
}

// A private X server (xvfb-run) resets whenever its last client leaves and refuses connections
// while it does; between two test processes that happens often. Wait until it takes one, and
// keep that connection for the process's life so it does not reset under this test.
Display* WaitForDisplay() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) {
            return display;
        }
        ::usleep(50 * 1000);
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleMock(&argc, argv);
    tovi::testing::SetUpIsolatedEnvironment();
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        std::fprintf(stderr, "GUI tests need a display (run them under xvfb-run)\n");
        return 1;
    }
    Display* keeper = WaitForDisplay();
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        std::fprintf(stderr, "cannot initialise wxWidgets\n");
        return 1;
    }
    wxSetAssertHandler(FailOnAssert);
    wxLog::SetActiveTarget(new wxLogStderr);
    int result = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    tovi::testing::TearDownIsolatedEnvironment();
    if (keeper) {
        XCloseDisplay(keeper);
    }
    return result;
}
