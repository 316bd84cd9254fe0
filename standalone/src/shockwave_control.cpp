#include <wx/gdicmn.h>

#include "flash/control/shockwave_flash.h"
#include "platform/wave_out.h"
#include "player_control.h"

namespace standalone {
namespace {

// The player component's window wrapper behind the player window's control interface.
class ShockwaveControl : public PlayerControl {
  public:
    // A wxWidgets child window is visible from the start, as WS_CHILD | WS_VISIBLE asks.
    bool Create(wxWindow* parent, const std::string& windowText, long id) override {
        auto* control = new CShockwaveFlash;
        if (!control->Create(wxString::FromUTF8(windowText), 0, wxRect(), parent, id)) {
            delete control;
            return false;
        }
        control_ = control;
        return true;
    }
    wxWindow* Window() override { return control_; }

    void LoadMovie(long layer, const std::string& path) override {
        Flash().LoadMovie(layer, wxString::FromUTF8(path));
    }
    void Play() override { Flash().Play(); }
    void Stop() override { Flash().Stop(); }
    void Rewind() override { Flash().Rewind(); }
    long TotalFrames() override { return Flash().TotalFrames(); }
    long FrameNum() override { return Flash().FrameNum(); }
    void GotoFrame(long frame) override { Flash().GotoFrame(frame); }
    long GetScaleMode() override { return Flash().GetScaleMode(); }
    void SetScaleMode(long mode) override { Flash().SetScaleMode(mode); }
    std::string GetQuality2() override { return std::string(Flash().GetQuality2().utf8_str()); }
    void SetQuality2(const std::string& quality) override {
        Flash().SetQuality2(wxString::FromUTF8(quality));
    }
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

}  // namespace standalone
