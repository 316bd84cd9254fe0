#include "playback/shockwave_window.h"

#include "app/prompts.h"
#include "flash/control/shockwave_flash.h"

namespace {

class ShockwaveWindow : public FlashWindow, private FlashControl {
  public:
    explicit ShockwaveWindow(CShockwaveFlash* control) : control_(control) {}

    wxWindow* Window() override { return control_; }
    FlashControl& Control() override { return *this; }

  private:
    long TotalFrames() override { return control_->TotalFrames(); }
    long FrameNum() override { return control_->FrameNum(); }
    long CurrentFrame() override { return control_->CurrentFrame(); }
    void Play() override { control_->Play(); }
    void Stop() override { control_->Stop(); }
    void Rewind() override { control_->Rewind(); }
    void StopPlay() override { control_->StopPlay(); }
    void GotoFrame(long frame) override { control_->GotoFrame(frame); }
    bool IsPlaying() override { return control_->IsPlaying(); }
    long GetScaleMode() override { return control_->GetScaleMode(); }
    void SetScaleMode(long mode) override { control_->SetScaleMode(mode); }
    wxString GetQuality2() override { return control_->GetQuality2(); }
    void SetQuality2(const wxString& quality) override { control_->SetQuality2(quality); }
    void LoadMovie(long layer, const wxString& path) override { control_->LoadMovie(layer, path); }
    void SetVariable(const wxString& name, const wxString& value) override {
        control_->SetVariable(name, value);
    }
    wxString GetVariable(const wxString& name) override { return control_->GetVariable(name); }
    double FrameRate() override { return control_->GetPlayer().FrameRate(); }
    bool UsesActionScript3() override { return control_->UsesActionScript3(); }

    CShockwaveFlash* control_;
};

}  // namespace

FlashWindowFactory ShockwaveFlashFactory() {
    return [](wxWindow* parent) -> std::unique_ptr<FlashWindow> {
        auto* control = new CShockwaveFlash;
        if (!control->Create(kViewControlText, 0, wxRect(wxPoint(0, 0), parent->GetClientSize()),
                             parent, kViewControlId)) {
            delete control;
            return nullptr;
        }
        control->SetSlowScriptAsker(
            [](const wxString& question) { return Prompts().AskYesNo(question); });
        return std::make_unique<ShockwaveWindow>(control);
    };
}
