#pragma once

#include <wx/string.h>

// The operations of the Flash control the view drives. A failing call throws an exception
// derived from std::exception; callers catch it where the program reports or ignores it.
class FlashControl {
  public:
    virtual ~FlashControl();

    virtual long TotalFrames() = 0;
    virtual long FrameNum() = 0;
    virtual long CurrentFrame() = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void Rewind() = 0;
    virtual void StopPlay() = 0;
    virtual void GotoFrame(long frame) = 0;
    virtual bool IsPlaying() = 0;
    virtual long GetScaleMode() = 0;
    virtual void SetScaleMode(long mode) = 0;
    virtual wxString GetQuality2() = 0;
    virtual void SetQuality2(const wxString& quality) = 0;
    virtual void LoadMovie(long layer, const wxString& pathOrUrl) = 0;
    virtual void SetVariable(const wxString& name, const wxString& value) = 0;
    virtual wxString GetVariable(const wxString& name) = 0;
    // Frames per second of the loaded movie (never 0), so the end of a movie is looked for
    // as often as its frames change.
    virtual double FrameRate() = 0;
    // The loaded movie is written for ActionScript 3, whose scripts the control does not run.
    virtual bool UsesActionScript3() = 0;
};
