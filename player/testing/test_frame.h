#pragma once

#include <wx/docview.h>

#include "app/ribbon_frame_link.h"
#include "ribbon_layout.h"
#include "ribbon_model.h"

// A main window for tests of the document and the view: the real ribbon model with its
// handles, without drawing it; records what the view asks of the main window.
class TestFrame : public wxDocParentFrame, public RibbonFrameLink {
  public:
    explicit TestFrame(wxDocManager* manager);

    wxFrame* Window() override { return this; }
    ribbon::Ribbon& Ribbon() { return ribbon_; }
    const ribbon::Handles& Handles() { return handles_; }
    bool IsRibbonVisible() override { return ribbonVisible; }
    void ShowRibbon(bool show) override { ribbonVisible = show; }
    int VolumePosition() override { return volume; }
    bool IsMuted() override { return muted; }
    void SetMuted(bool m) override { muted = m; }
    bool IsProgressHeld() override { return progressHeld; }
    platform::MessageWindow* NotifyWindow() override { return nullptr; }
    void RefreshCapacityControls() override { ++refreshes; }

    void RebuildHistoryMenu() override { ++historyRebuilds; }
    void RebuildRelatedMenu() override { ++relatedRebuilds; }
    void RebuildPlaylistMenu() override { ++playlistRebuilds; }
    void ShowPlaylistCapacity(int, const wxString&) override {}

    // Sends a command as the ribbon, a menu or a key would.
    void Command(int id);
    // Asks the update handlers about a command: enabled, and checked when they set it.
    struct Ui {
        bool handled = false;
        bool enabled = true;
        std::optional<bool> checked;
    };
    Ui Update(int id);

    bool ribbonVisible = true;
    int volume = 32767;
    bool muted = false;
    bool progressHeld = false;
    int refreshes = 0;
    int historyRebuilds = 0;
    int relatedRebuilds = 0;
    int playlistRebuilds = 0;

  protected:
    ribbon::Ribbon& RibbonModel() override { return ribbon_; }
    const ribbon::Handles& RibbonHandles() override { return handles_; }

  private:
    ribbon::Ribbon ribbon_;
    ribbon::Handles handles_;
};
