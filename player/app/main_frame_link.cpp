// The program's main window, CMainFrame, as the document and the view see it.
#include <wx/docview.h>

#include "app/ribbon_frame_link.h"
#include "app/toviflash_app.h"
#include "main_frame.h"
#include "playback/system_volume.h"
#include "ribbon_layout.h"
#include "ribbon_model.h"

namespace {

class MainFrameLink : public RibbonFrameLink {
  public:
    explicit MainFrameLink(CMainFrame* frame) : frame_(frame) {}

    wxFrame* Window() override { return frame_; }
    bool IsRibbonVisible() override { return frame_->IsRibbonBarVisible(); }
    void ShowRibbon(bool show) override {
        frame_->ShowRibbonBar(show);
        frame_->ShowStatusBar(show);
    }
    int VolumePosition() override { return frame_->GetVolumePosition(); }
    bool IsMuted() override { return frame_->IsMuted(); }
    void SetMuted(bool muted) override { frame_->SetMuted(muted); }
    platform::MessageWindow* NotifyWindow() override { return frame_->GetNotifyWindow(); }
    void RefreshCapacityControls() override { frame_->RefreshCapacityControls(); }

    void RebuildHistoryMenu() override { frame_->RebuildHistoryMenu(); }
    void RebuildRelatedMenu() override { frame_->RebuildRelatedMenu(); }
    void RebuildPlaylistMenu() override { frame_->RebuildPlaylistMenu(); }
    void ShowPlaylistCapacity(int capacity, const wxString& label) override {
        frame_->ShowPlaylistCapacity(capacity, label);
    }

  protected:
    ribbon::Ribbon& RibbonModel() override { return frame_->GetRibbon(); }
    const ribbon::Handles& RibbonHandles() override { return frame_->GetHandles(); }

  private:
    CMainFrame* frame_;
};

}  // namespace

FrameLink* MakeMainFrame(wxDocManager* manager, PlayerContext& context) {
    CMainFrame::SetSystemVolumeReader([](int& volume) {
        unsigned value = static_cast<unsigned>(volume);
        ReadSystemVolume(&value);
        volume = static_cast<int>(value);
    });
    auto* frame = new CMainFrame(context);
    if (!frame->Create(manager, wxS("ToviFlash播放器"))) {
        frame->Destroy();
        return nullptr;
    }
    auto* link = new MainFrameLink(frame);
    frame->Bind(wxEVT_DESTROY, [frame, link](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == frame) {
            delete link;
        }
        event.Skip();
    });
    return link;
}
