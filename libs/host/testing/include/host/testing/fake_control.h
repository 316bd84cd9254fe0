#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/player_control.h"

namespace host::testing {

// What the fake control was asked and how it answers. Shared with the test, so it outlives
// the window that owns the control. Every call is written into `calls` ("LoadMovie 0 /m/a.swf",
// "GotoFrame 2", "Play", "TotalFrames"...); a call whose name is in `failing` throws.
struct FakeControlState {
    // Calls recorded since the last Take, then forgotten.
    std::vector<std::string> Take();
    // The calls that act on the control, without the ones that only ask it something.
    std::vector<std::string> Commands() const;

    long frame = 0;
    long total = 0;
    bool playing = false;
    long scale = 0;
    wxString quality = wxS("high");
    double fps = 12;
    bool actionScript3 = false;
    bool failCreate = false;
    std::map<wxString, wxString> variables;
    std::vector<std::string> calls;
    std::vector<std::string> failing;
    std::vector<std::uint32_t> volumes;
    // Frame counts of movies by path, for LoadMovie; other paths have `otherMovies` frames,
    // or fail to load when it is negative.
    std::map<wxString, long> movies;
    long otherMovies = -1;
    // The frame a movie is at once loaded.
    long loadedFrame = 0;
};

// A control without a player: a plain black panel, and the state above. The last one made
// is reachable through Last() while it lives.
class FakeControl : public PlayerControl {
  public:
    explicit FakeControl(
        std::shared_ptr<FakeControlState> state = std::make_shared<FakeControlState>());
    ~FakeControl() override;

    FakeControlState& State() { return *state_; }
    static FakeControl* Last() { return last_; }

    bool Create(wxWindow* parent, const wxString& windowText, long id, const wxRect& rect) override;
    wxWindow* Window() override { return window_; }

    long TotalFrames() override;
    long FrameNum() override;
    long CurrentFrame() override;
    void Play() override;
    void Stop() override;
    void Rewind() override;
    void StopPlay() override;
    void GotoFrame(long frame) override;
    bool IsPlaying() override;
    long GetScaleMode() override;
    void SetScaleMode(long mode) override;
    wxString GetQuality2() override;
    void SetQuality2(const wxString& quality) override;
    void LoadMovie(long layer, const wxString& pathOrUrl) override;
    void SetVariable(const wxString& name, const wxString& value) override;
    wxString GetVariable(const wxString& name) override;
    double FrameRate() override { return state_->fps; }
    bool UsesActionScript3() override { return state_->actionScript3; }
    void SetOutputVolume(std::uint32_t leftRight) override;

  private:
    void Call(const std::string& name, const std::string& args = {});

    std::shared_ptr<FakeControlState> state_;
    wxWindow* window_ = nullptr;
    static inline FakeControl* last_ = nullptr;
};

}  // namespace host::testing
