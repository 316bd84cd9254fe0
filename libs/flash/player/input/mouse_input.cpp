#include "input/mouse_input.h"

#include <algorithm>
#include <cmath>

#include "display/display_object.h"
#include "display/movie_clip.h"
#include "display/text_field.h"
#include "input/focus_order.h"
#include "input/interactive.h"
#include "input/keyboard_input.h"
#include "runtime/runtime.h"

namespace flash {

MouseInput::MouseInput(Runtime& runtime) : runtime_(runtime) {}

bool MouseInput::Live(const DisplayObject* object) const {
    return object != nullptr && !object->Removed();
}

void MouseInput::Move(Point stage) {
    // A keyboard highlight stays until the pointer really moves.
    const bool moved = !inside_ || stage.x != position_.x || stage.y != position_.y;
    highlighted_ = highlighted_ && !moved;
    position_ = stage;
    inside_ = true;
    FollowDrag();
    Broadcast(swf::kClipMouseMove, u"onMouseMove");
    if (!highlighted_) {
        UpdateTarget();
    }
}

void MouseInput::Down(Point stage) {
    position_ = stage;
    inside_ = true;
    down_ = true;
    highlighted_ = false;
    FollowDrag();
    Broadcast(swf::kClipMouseDown, u"onMouseDown");
    FocusOnClick();
    UpdateTarget();
    if (Live(hovered_)) {
        pressed_ = hovered_;
        pressedOver_ = true;
        Fire(*pressed_, swf::kCondOverUpToOverDown);
    }
}

void MouseInput::Up(Point stage) {
    position_ = stage;
    down_ = false;
    FollowDrag();
    Broadcast(swf::kClipMouseUp, u"onMouseUp");
    if (Live(pressed_)) {
        DisplayObject* released = pressed_;
        pressed_ = nullptr;
        if (pressedOver_ && PickMouseTarget(runtime_, position_) == released) {
            hovered_ = released;
            Fire(*released, swf::kCondOverDownToOverUp);
        } else {
            hovered_ = nullptr;
            Fire(*released, swf::kCondOutDownToIdle);
        }
    }
    pressed_ = nullptr;
    pressedOver_ = false;
    UpdateTarget();
}

void MouseInput::Wheel(int delta) {
    avm1::Value target;
    if (DisplayObject* over = PickMouseTarget(runtime_, position_)) {
        if (avm1::Clip* clip = over->ScriptClip()) {
            target = avm1::Value::Obj(runtime_.Vm().ObjectOf(*clip));
        }
    }
    runtime_.QueueBroadcast(u"Mouse", u"onMouseWheel", {avm1::Value::Number(delta), target});
    runtime_.RunQueued();
}

void MouseInput::Leave() {
    inside_ = false;
    if (!down_ && Live(hovered_)) {
        DisplayObject* left = hovered_;
        hovered_ = nullptr;
        Fire(*left, swf::kCondOverUpToIdle);
    }
}

void MouseInput::Highlight(DisplayObject* object) {
    if (down_) {
        return;
    }
    // Even the object under the pointer rolls out and over again.
    DisplayObject* left = hovered_;
    hovered_ = object;
    highlighted_ = object != nullptr;
    if (Live(left)) {
        Fire(*left, swf::kCondOverUpToIdle);
    }
    if (Live(object) && hovered_ == object) {
        Fire(*object, swf::kCondIdleToOverUp);
    }
}

void MouseInput::FocusOnClick() {
    KeyboardInput& keyboard = runtime_.Keyboard();
    TextFieldObject* field = TextFieldAt(runtime_, position_);
    if (field != keyboard.Focus()) {
        keyboard.SetFocus(field);
    }
    if (field != nullptr) {
        // The caret goes to the end until clicks find their character.
        field->Selection().PlaceCaret(field->Text().size());
    }
}

void MouseInput::FrameDone() {
    FollowDrag();
    if (inside_ && !highlighted_) {
        UpdateTarget();
    }
}

Cursor MouseInput::WantedCursor() const {
    if (hidden_) {
        return Cursor::None;
    }
    DisplayObject* over = nullptr;
    if (Live(pressed_)) {
        over = pressedOver_ ? pressed_ : nullptr;
    } else if (!down_ && Live(hovered_)) {
        over = hovered_;
    }
    return over != nullptr && UsesHandCursor(runtime_, *over) ? Cursor::Hand : Cursor::Arrow;
}

void MouseInput::Broadcast(std::uint32_t clipEvent, const char16_t* method) {
    for (MovieClip* clip : runtime_.ClipsNewestFirst()) {
        runtime_.QueueClipEvent(*clip, clipEvent, Runtime::Lane::Frame, false);
        runtime_.QueueMethod(*clip, method, Runtime::Lane::Frame);
    }
    runtime_.QueueBroadcast(u"Mouse", method);
    runtime_.RunQueued();
}

void MouseInput::Fire(DisplayObject& target, std::uint16_t condition) {
    QueueButtonEvent(runtime_, target, condition);
    runtime_.RunQueued();
}

void MouseInput::UpdateTarget() {
    DisplayObject* pick = PickMouseTarget(runtime_, position_);
    if (Live(pressed_)) {
        bool over = pick == pressed_;
        if (over == pressedOver_) {
            return;
        }
        pressedOver_ = over;
        if (!over && TracksAsMenu(runtime_, *pressed_)) {
            // A menu button lets go when the pointer leaves it; the next menu button under the
            // held pointer takes over.
            DisplayObject* left = pressed_;
            pressed_ = nullptr;
            Fire(*left, swf::kCondOverDownToIdle);
            if (Live(pick) && TracksAsMenu(runtime_, *pick)) {
                pressed_ = pick;
                pressedOver_ = true;
                Fire(*pick, swf::kCondIdleToOverDown);
            }
            return;
        }
        Fire(*pressed_, over ? swf::kCondOutDownToOverDown : swf::kCondOverDownToOutDown);
        return;
    }
    if (down_) {
        // Held down over nothing that was pressed: only menu buttons answer.
        if (Live(pick) && TracksAsMenu(runtime_, *pick)) {
            pressed_ = pick;
            pressedOver_ = true;
            hovered_ = nullptr;
            Fire(*pick, swf::kCondIdleToOverDown);
        }
        return;
    }
    if (pick == hovered_) {
        return;
    }
    DisplayObject* left = hovered_;
    hovered_ = pick;
    if (Live(left)) {
        Fire(*left, swf::kCondOverUpToIdle);
    }
    if (Live(pick) && hovered_ == pick) {
        Fire(*pick, swf::kCondIdleToOverUp);
    }
}

void MouseInput::StartDrag(MovieClip& clip, bool lockCenter, std::optional<avm1::DragRect> rect) {
    Point offset;
    if (!lockCenter) {
        std::optional<Matrix> toParent =
            clip.Container() != nullptr ? clip.Container()->ToStage().Inverted() : Matrix();
        if (toParent) {
            Point pointer = toParent->Apply(position_);
            offset = Point{clip.GetMatrix().tx - pointer.x, clip.GetMatrix().ty - pointer.y};
        }
    }
    if (rect) {
        // The bounds may come in any order.
        rect = avm1::DragRect{std::min(rect->left, rect->right), std::min(rect->top, rect->bottom),
                              std::max(rect->left, rect->right), std::max(rect->top, rect->bottom)};
        if (!std::isfinite(rect->left) || !std::isfinite(rect->top) ||
            !std::isfinite(rect->right) || !std::isfinite(rect->bottom)) {
            rect.reset();
        }
    }
    drag_ = Drag{&clip, offset, rect};
    FollowDrag();
}

void MouseInput::StopDrag() {
    if (drag_ && Live(drag_->clip)) {
        UpdateDropTarget();
    }
    drag_.reset();
}

void MouseInput::FollowDrag() {
    if (!drag_) {
        return;
    }
    MovieClip& clip = *drag_->clip;
    if (clip.Removed()) {
        drag_.reset();
        return;
    }
    std::optional<Matrix> toParent =
        clip.Container() != nullptr ? clip.Container()->ToStage().Inverted() : Matrix();
    if (!toParent) {
        return;
    }
    Point pointer = toParent->Apply(position_);
    double x = pointer.x + drag_->offset.x;
    double y = pointer.y + drag_->offset.y;
    if (drag_->rect) {
        x = std::clamp(x, drag_->rect->left * 20, drag_->rect->right * 20);
        y = std::clamp(y, drag_->rect->top * 20, drag_->rect->bottom * 20);
    }
    Matrix m = clip.GetMatrix();
    if (m.tx != x || m.ty != y) {
        m.tx = std::round(x);
        m.ty = std::round(y);
        clip.SetMatrix(m);
        clip.SetScriptTransformed();
    }
    UpdateDropTarget();
}

void MouseInput::UpdateDropTarget() {
    MovieClip* target = PickDropTarget(runtime_, position_, drag_->clip);
    drag_->clip->SetDropTarget(target != nullptr ? runtime_.Vm().SlashPath(*target)
                                                 : avm1::String());
}

void MouseInput::Forget(const DisplayObject& object) {
    if (hovered_ == &object) {
        hovered_ = nullptr;
    }
    if (pressed_ == &object) {
        pressed_ = nullptr;
        pressedOver_ = false;
    }
    if (drag_ && drag_->clip == &object) {
        drag_.reset();
    }
}

}  // namespace flash
