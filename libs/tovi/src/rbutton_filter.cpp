#include <wx/event.h>
#include <wx/eventfilter.h>
#include <wx/utils.h>
#include <wx/window.h>

#include "tovi.h"

namespace {

// Process-wide state of the filter: the window told of the mouse, the filtered control,
// and whether a press is being handed to the control past the filter.
struct FilterState {
    wxWindow* notify = nullptr;
    wxWindow* flash = nullptr;
    bool injecting = false;
};

FilterState g_state;

// Sees every event before any handler does; acts only on mouse events of the filtered
// control.
class RbuttonFilter : public wxEventFilter {
  public:
    int FilterEvent(wxEvent& event) override {
        if (g_state.flash == nullptr || event.GetEventObject() != g_state.flash) {
            return Event_Skip;
        }
        const wxEventType type = event.GetEventType();
        if (type == wxEVT_DESTROY) {
            g_state = FilterState{};
            return Event_Skip;
        }
        if (type == wxEVT_RIGHT_DOWN) {
            return g_state.injecting ? Event_Skip : Event_Ignore;
        }
        if ((type == wxEVT_MOTION || type == wxEVT_LEFT_DOWN || type == wxEVT_RIGHT_UP) &&
            g_state.notify != nullptr) {
            // Posted, not waited for; the position stays in the control's client area.
            auto* copy = static_cast<wxMouseEvent*>(event.Clone());
            copy->SetEventObject(g_state.notify);
            copy->SetId(g_state.notify->GetId());
            g_state.notify->GetEventHandler()->QueueEvent(copy);
        }
        return Event_Skip;
    }
};

// Forgets the view when it goes before the control.
void WatchNotifyWindow(wxWindow* notify) {
    notify->Bind(wxEVT_DESTROY, [notify](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == notify && g_state.notify == notify) {
            g_state.notify = nullptr;
        }
        event.Skip();
    });
}

}  // namespace

extern "C" TOVI_API wxEvtHandler* FiterRbutton(wxWindow* notifyWindow, wxWindow* flashWindow) {
    if (flashWindow == nullptr) {
        return nullptr;
    }
    // One filter for the process, made on first use and kept for its life.
    static RbuttonFilter* filter = [] {
        auto* f = new RbuttonFilter;
        wxEvtHandler::AddFilter(f);
        return f;
    }();
    (void)filter;
    if (notifyWindow != nullptr && notifyWindow != g_state.notify) {
        WatchNotifyWindow(notifyWindow);
    }
    g_state.notify = notifyWindow;
    g_state.flash = flashWindow;
    return flashWindow->GetEventHandler();
}

extern "C" TOVI_API std::intptr_t PopuFlashMenu() {
    wxWindow* flash = g_state.flash;
    if (flash == nullptr) {
        return 0;
    }
    const wxPoint at = flash->ScreenToClient(wxGetMousePosition());
    wxMouseEvent press(wxEVT_RIGHT_DOWN);
    press.SetPosition(at);
    press.m_rightDown = true;
    press.SetEventObject(flash);
    press.SetId(flash->GetId());
    g_state.injecting = true;
    const bool handled = flash->GetEventHandler()->ProcessEvent(press);
    g_state.injecting = false;
    return handled ? 1 : 0;
}
