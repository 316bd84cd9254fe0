#pragma once

#include "lists/media_lists.h"

class wxFrame;
namespace ribbon {
class Ribbon;
struct Handles;
}  // namespace ribbon
namespace platform {
class MessageWindow;
}

// What the document and the view need of the main window: its ribbon elements, the ribbon's
// visibility, the volume and mute state, the list menus, and where the standalone builder
// reports.
class FrameLink : public ListMenus {
  public:
    virtual wxFrame* Window() = 0;
    virtual ribbon::Ribbon& Ribbon() = 0;
    virtual const ribbon::Handles& Handles() = 0;

    virtual bool IsRibbonVisible() = 0;
    // Shows or hides the ribbon bar together with the status bar.
    virtual void ShowRibbon(bool show) = 0;

    // The volume slider, 0..65535.
    virtual int VolumePosition() = 0;
    virtual bool IsMuted() = 0;
    virtual void SetMuted(bool muted) = 0;

    // True while the user holds the progress slider.
    virtual bool IsProgressHeld() = 0;

    // Receives the standalone builder's progress messages.
    virtual platform::MessageWindow* NotifyWindow() = 0;

    // After the settings and lists are loaded: capacity sliders, their labels, list menus.
    virtual void RefreshCapacityControls() = 0;
};

// The main window's link; null until the main window exists.
FrameLink* TheFrameLink();
void SetFrameLink(FrameLink* link);
