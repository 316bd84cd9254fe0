#include <stdexcept>

#include "flash/control/shockwave_flash.h"
#include "host/player_control.h"
#include "platform/wave_out.h"

namespace host {
namespace {

// The player component's window behind the programs' control interface.
class ShockwaveControl : public PlayerControl {
  public:
    // A wxWidgets child window is visible from the start, as WS_CHILD | WS_VISIBLE asks.
    bool Create(wxWindow* parent, const wxString& windowText, long id,
                const wxRect& rect) override {
        auto* control = new CShockwaveFlash;
        if (!control->Create(windowText, 0, rect, parent, id)) {
            delete control;
            return false;
        }
        control_ = control;
        return true;
    }
    wxWindow* Window() override { return control_; }

    long TotalFrames() override { return Flash().TotalFrames(); }
    long FrameNum() override { return Flash().FrameNum(); }
    long CurrentFrame() override { return Flash().CurrentFrame(); }
    void Play() override { Flash().Play(); }
    void Stop() override { Flash().Stop(); }
    void Rewind() override { Flash().Rewind(); }
    void StopPlay() override { Flash().StopPlay(); }
    void GotoFrame(long frame) override { Flash().GotoFrame(frame); }
    bool IsPlaying() override { return Flash().IsPlaying(); }
    long GetScaleMode() override { return Flash().GetScaleMode(); }
    void SetScaleMode(long mode) override { Flash().SetScaleMode(mode); }
    wxString GetQuality2() override { return Flash().GetQuality2(); }
    void SetQuality2(const wxString& quality) override { Flash().SetQuality2(quality); }
    void LoadMovie(long layer, const wxString& path) override { Flash().LoadMovie(layer, path); }
    void SetVariable(const wxString& name, const wxString& value) override {
        Flash().SetVariable(name, value);
    }
    wxString GetVariable(const wxString& name) override { return Flash().GetVariable(name); }
    double FrameRate() override { return Flash().GetPlayer().FrameRate(); }
    bool UsesActionScript3() override { return Flash().UsesActionScript3(); }
    // The wave-out volume of device 0, which the component's sound output plays at.
    void SetOutputVolume(std::uint32_t leftRight) override {
        platform::WaveOutSetVolume(0, leftRight);
    }

  private:
    CShockwaveFlash& Flash() {
        if (control_ == nullptr) {
            throw std::runtime_error("no control");
        }
        return *control_;
    }

    CShockwaveFlash* control_ = nullptr;
};

}  // namespace

std::unique_ptr<PlayerControl> MakeShockwaveControl() {
    return std::make_unique<ShockwaveControl>();
}

}  // namespace host
