#pragma once

#include <cstdint>
#include <memory>
#include <string>

class wxWindow;

namespace standalone {

// The player component as the player window drives it: the control's window and the
// operations the window uses. Failing operations throw an exception derived from
// std::exception.
class PlayerControl {
  public:
    virtual ~PlayerControl() = default;

    // Creates the control's window as a child of `parent`; false when it cannot be made.
    virtual bool Create(wxWindow* parent, const std::string& windowText, long id) = 0;
    // The control's window; null before Create succeeded.
    virtual wxWindow* Window() = 0;

    virtual void LoadMovie(long layer, const std::string& path) = 0;
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual void Rewind() = 0;
    virtual long TotalFrames() = 0;
    virtual long FrameNum() = 0;
    virtual void GotoFrame(long frame) = 0;
    virtual long GetScaleMode() = 0;
    virtual void SetScaleMode(long mode) = 0;
    virtual std::string GetQuality2() = 0;
    virtual void SetQuality2(const std::string& quality) = 0;
    // The loaded movie is written for ActionScript 3, whose scripts the component does not run.
    virtual bool UsesActionScript3() = 0;

    // The component's output volume for the whole process: the 16-bit level of the left
    // channel in the low half, the right one in the high half.
    virtual void SetOutputVolume(std::uint32_t leftRight) = 0;
};

// The real player component (CShockwaveFlash).
std::unique_ptr<PlayerControl> MakeShockwaveControl();

}  // namespace standalone
