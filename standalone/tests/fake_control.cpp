#include "fake_control.h"

#include <wx/dialog.h>
#include <wx/panel.h>

#include <stdexcept>

namespace standalone::testing {
namespace {

class FakeControl : public PlayerControl {
  public:
    explicit FakeControl(std::shared_ptr<ControlLog> log) : log_(std::move(log)) {}

    bool Create(wxWindow* parent, const std::string& text, long id) override {
        if (log_->failCreate) {
            return false;
        }
        window_ = new wxPanel(parent, static_cast<wxWindowID>(id));
        window_->SetLabel(wxString::FromUTF8(text));
        window_->SetBackgroundColour(*wxBLACK);
        return true;
    }
    wxWindow* Window() override { return window_; }

    void LoadMovie(long layer, const std::string& path) override {
        Log("LoadMovie " + std::to_string(layer) + " " + path);
        if (log_->failLoad) {
            throw std::runtime_error("not a movie");
        }
    }
    void Play() override { Log("Play"); }
    void Stop() override { Log("Stop"); }
    void Rewind() override { Log("Rewind"); }
    long TotalFrames() override { return log_->totalFrames; }
    long FrameNum() override { return log_->frameNum; }
    void GotoFrame(long frame) override { Log("GotoFrame " + std::to_string(frame)); }
    long GetScaleMode() override { return log_->scaleMode; }
    void SetScaleMode(long mode) override {
        Log("ScaleMode " + std::to_string(mode));
        log_->scaleMode = mode;
    }
    std::string GetQuality2() override { return log_->quality; }
    void SetQuality2(const std::string& quality) override {
        Log("Quality2 " + quality);
        log_->quality = quality;
    }
    bool UsesActionScript3() override { return log_->actionScript3; }
    void SetOutputVolume(std::uint32_t leftRight) override { log_->volumes.push_back(leftRight); }

  private:
    void Log(const std::string& call) { log_->calls.push_back(call); }

    std::shared_ptr<ControlLog> log_;
    wxWindow* window_ = nullptr;
};

}  // namespace

std::unique_ptr<PlayerControl> MakeFakeControl(std::shared_ptr<ControlLog> log) {
    return std::make_unique<FakeControl>(std::move(log));
}

}  // namespace standalone::testing
