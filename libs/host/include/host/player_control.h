#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

#include <cstdint>
#include <memory>

class wxWindow;

namespace host {

// The player component as the programs' windows drive it: its child window and the
// operations they use. A failing operation throws an exception derived from std::exception;
// callers catch it where the program reports or ignores it.
class PlayerControl {
  public:
    virtual ~PlayerControl() = default;

    // Creates the control's window as a child of `parent`, visible, over `rect`; false when
    // it cannot be made.
    virtual bool Create(wxWindow* parent, const wxString& windowText, long id,
                        const wxRect& rect = wxRect()) = 0;
    // The control's window; null before Create succeeded.
    virtual wxWindow* Window() = 0;

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
    // The component's output volume for the whole process: the 16-bit level of the left
    // channel in the low half, the right one in the high half.
    virtual void SetOutputVolume(std::uint32_t leftRight) = 0;
};

// The real player component (CShockwaveFlash). Each program links the variant of it that it
// ships with.
std::unique_ptr<PlayerControl> MakeShockwaveControl();

}  // namespace host
