#pragma once

#include <optional>

#include "flash/avm1/host.h"
#include "flash/geom.h"
#include "flash/player/player.h"

namespace flash {

class DisplayObject;
class MovieClip;
class Runtime;

// The mouse as the movie sees it: where it is, which button or button-like clip it is over or
// holds pressed, and the clip being dragged. Positions are twips of _level0's stage. Each
// call runs the scripts it sets off before it returns: clip events and Mouse listeners first
// (onMouseMove, onMouseDown, onMouseUp), then the button changes (roll over and out, press,
// release, release outside, drag over and out).
class MouseInput {
  public:
    explicit MouseInput(Runtime& runtime);

    void Move(Point stage);
    void Down(Point stage);
    void Up(Point stage);
    // The wheel turned by `delta` lines: Mouse listeners hear onMouseWheel(delta, target).
    void Wheel(int delta);
    // The pointer left the view: what it was over is rolled out of.
    void Leave();
    // Keyboard focus lights up a button or clip as the pointer over it would: what the
    // pointer was over rolls out and the object rolls over; null only rolls out. The light
    // stays until the pointer moves.
    void Highlight(DisplayObject* object);
    // After a frame: what lies under the pointer may have moved, and a dragged clip follows.
    void FrameDone();

    Point Position() const { return position_; }
    // Where the pointer is in the view's pixels, as the host gave it, and the view's
    // transform from stage twips to its pixels.
    Point ViewPosition() const { return viewPosition_; }
    const Matrix& ViewMatrix() const { return viewMatrix_; }
    void SetView(Point position, const Matrix& toView) {
        viewPosition_ = position;
        viewMatrix_ = toView;
    }
    bool IsDown() const { return down_; }
    // The hand over an enabled button that wants it, no pointer after Mouse.hide().
    Cursor WantedCursor() const;
    void SetHidden(bool hidden) { hidden_ = hidden; }

    // startDrag and stopDrag. `rect` bounds the clip's registration point in its parent's
    // pixels.
    void StartDrag(MovieClip& clip, bool lockCenter, std::optional<avm1::DragRect> rect);
    void StopDrag();
    const MovieClip* Dragged() const { return drag_ ? drag_->clip : nullptr; }

    // An object going away: the mouse lets go of it without events.
    void Forget(const DisplayObject& object);

  private:
    struct Drag {
        MovieClip* clip;
        Point offset;  // registration point minus pointer, in the parent's twips
        std::optional<avm1::DragRect> rect;
    };

    bool Live(const DisplayObject* object) const;
    void Broadcast(std::uint32_t clipEvent, const char16_t* method);
    // A click gives the focus to the text field under the pointer, or takes it away.
    void FocusOnClick();
    void UpdateTarget();
    void Fire(DisplayObject& target, std::uint16_t condition);
    void FollowDrag();
    void UpdateDropTarget();

    Runtime& runtime_;
    Point position_;
    Point viewPosition_;
    Matrix viewMatrix_ = Matrix::Scale(0.05, 0.05);
    bool down_ = false;
    bool inside_ = false;
    bool hidden_ = false;
    bool highlighted_ = false;          // hovered_ is lit by the keyboard focus
    DisplayObject* hovered_ = nullptr;  // under the pointer with no button held
    DisplayObject* pressed_ = nullptr;  // pressed and held
    bool pressedOver_ = false;          // the pointer is over the pressed object
    std::optional<Drag> drag_;
};

}  // namespace flash
