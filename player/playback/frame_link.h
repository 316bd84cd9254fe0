#pragma once

#include <optional>

#include "lists/media_lists.h"
#include "playback/navigation.h"
#include "playback/playback.h"

class wxFrame;
namespace platform {
class MessageWindow;
}

// What the document and the view need of the main window: the playing state it shows (the
// progress slider, the play button, the previous and next menus), the ribbon's visibility,
// the volume and mute state, the list menus, the descriptions that carry list items' paths,
// and where the standalone builder reports.
class FrameLink : public ListMenus {
  public:
    virtual wxFrame* Window() = 0;

    virtual bool IsRibbonVisible() = 0;
    // Shows or hides the ribbon bar together with the status bar.
    virtual void ShowRibbon(bool show) = 0;

    // The volume slider, 0..65535.
    virtual int VolumePosition() = 0;
    virtual bool IsMuted() = 0;
    virtual void SetMuted(bool muted) = 0;

    // The progress slider: its range after a load (at frame 0), its position, where the user
    // put it, and whether the user holds it.
    virtual void SetProgressRange(int frames) = 0;
    virtual void SetProgress(int frame) = 0;
    virtual int Progress() = 0;
    virtual bool IsProgressHeld() = 0;

    virtual void SetPlayButton(const PlayButtonLook& look) = 0;
    virtual void SetPrevNextMenus(const PrevNextMenus& menus) = 0;

    // The description of the element with this command id (list items carry their paths in
    // it); none when there is no such element.
    virtual std::optional<wxString> DescriptionOf(int id) = 0;

    // Receives the standalone builder's progress messages.
    virtual platform::MessageWindow* NotifyWindow() = 0;

    // After the settings and lists are loaded: capacity sliders, their labels, list menus.
    virtual void RefreshCapacityControls() = 0;
};
