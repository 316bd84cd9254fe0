#include "tovi/testing/gui.h"

#include <wx/app.h>
#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/evtloop.h>
#include <wx/image.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <thread>

#include "tovi/testing/files.h"

namespace tovi::testing {

bool PumpEventsUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
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
    wxRect rect = window->GetScreenRect();
    if (rect.IsEmpty()) {
        return {};
    }
    wxScreenDC screen;
    wxBitmap bitmap(rect.width, rect.height, 24);
    wxMemoryDC memory(bitmap);
    memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    memory.SelectObject(wxNullBitmap);
    wxInitAllImageHandlers();
    std::string file = ScreenshotPath(name).string();
    return bitmap.SaveFile(file, wxBITMAP_TYPE_PNG) ? file : std::string();
}

}  // namespace tovi::testing
