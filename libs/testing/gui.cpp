#include "tovi/testing/gui.h"

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/imagpng.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <memory>
#include <thread>
#include <vector>

#include "tovi/testing/files.h"
#include "x11_capture.h"

namespace tovi::testing {

bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // The toolkit's own events (painting, input, window mapping) only come through an active
    // event loop; the test entry point runs none, so one is activated here while pumping.
    std::unique_ptr<wxGUIEventLoop> loop;
    std::unique_ptr<wxEventLoopActivator> activator;
    if (wxEventLoopBase::GetActive() == nullptr) {
        loop = std::make_unique<wxGUIEventLoop>();
        activator = std::make_unique<wxEventLoopActivator>(loop.get());
    }
    for (;;) {
        wxTheApp->ProcessPendingEvents();
        while (wxTheApp->Pending()) {
            wxTheApp->Dispatch();
        }
        wxTheApp->ProcessIdle();
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        wxMilliSleep(2);
    }
}

void PumpEvents(std::chrono::milliseconds duration) {
    PumpEventsUntil([] { return false; }, duration);
}

std::string SaveScreenshot(wxWindow* window, const std::string& name) {
    if (window == nullptr || !window->IsShownOnScreen()) {
        return {};
    }
    PumpEvents(std::chrono::milliseconds(50));
    wxRect rect = window->GetScreenRect().Intersect(wxRect(wxGetDisplaySize()));
    if (rect.IsEmpty()) {
        return {};
    }
    wxImage image;
#if defined(TOVI_TESTING_X11)
    // wxScreenDC under GTK 3 hands back what the screen showed when it was first read, so
    // the X server's screen is read directly.
    std::vector<std::uint8_t> rgb;
    if (CaptureX11Screen(rect.x, rect.y, rect.width, rect.height, &rgb)) {
        image.Create(rect.width, rect.height, false);
        std::copy(rgb.begin(), rgb.end(), image.GetData());
    }
#endif
    if (!image.IsOk()) {
        wxScreenDC screen;
        wxBitmap bitmap(rect.width, rect.height, 24);
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
        memory.SelectObject(wxNullBitmap);
        image = bitmap.ConvertToImage();
    }
    if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) {
        wxImage::AddHandler(new wxPNGHandler);
    }
    std::string file = ScreenshotPath(name).string();
    return image.SaveFile(file, wxBITMAP_TYPE_PNG) ? file : std::string();
}

}  // namespace tovi::testing
