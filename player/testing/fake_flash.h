#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "playback/flash_control.h"

// A Flash control for tests: keeps a frame, a frame count, a playing flag and variables, and
// writes every call into `calls` ("LoadMovie 0 /m/a.swf", "GotoFrame 2", "Play"...). A call
// whose name is in `failing` throws.
class FakeFlash : public FlashControl {
  public:
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
    double FrameRate() override { return fps; }
    bool UsesActionScript3() override { return actionScript3; }

    // Calls recorded since the last Take, then forgotten.
    std::vector<std::string> Take();

    long frame = 0;
    long total = 0;
    bool playing = false;
    long scale = 0;
    wxString quality = wxS("high");
    double fps = 12;
    bool actionScript3 = false;
    std::map<wxString, wxString> variables;
    std::vector<std::string> calls;
    std::vector<std::string> failing;
    // Frame counts of movies by path, for LoadMovie; other paths have `otherMovies` frames,
    // or fail to load when it is negative.
    std::map<wxString, long> movies;
    long otherMovies = -1;

  private:
    void Call(const std::string& name, const std::string& args = {});
};
