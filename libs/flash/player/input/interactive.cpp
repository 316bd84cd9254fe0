#include "input/interactive.h"

#include <array>
#include <iterator>

#include "display/button_object.h"
#include "display/movie_clip.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"

namespace flash {

namespace {

constexpr std::array<const char16_t*, 7> kButtonHandlers{
    u"onPress",   u"onRelease",  u"onReleaseOutside", u"onRollOver",
    u"onRollOut", u"onDragOver", u"onDragOut"};

constexpr std::uint32_t kButtonClipEvents =
    swf::kClipPress | swf::kClipRelease | swf::kClipReleaseOutside | swf::kClipRollOver |
    swf::kClipRollOut | swf::kClipDragOver | swf::kClipDragOut;

// Whether the object or its prototypes hold a member, without calling getters.
bool HasMember(avm1::Object* object, avm1::StringView name, int version) {
    int guard = 0;
    for (avm1::Object* o = object; o != nullptr && guard < 256; o = o->Proto(), ++guard) {
        if (const avm1::Member* m = o->Members().Find(name, version >= 7)) {
            return m->IsAccessor() || !m->value.IsUndefined();
        }
    }
    return false;
}

avm1::Object* ScriptObject(Runtime& runtime, DisplayObject& object) {
    avm1::Clip* clip = object.ScriptClip();
    return clip != nullptr ? runtime.Vm().ObjectOf(*clip) : nullptr;
}

// A flag member read as scripts read it; `fallback` when it is undefined.
bool Flag(Runtime& runtime, DisplayObject& object, avm1::StringView name, bool fallback) {
    avm1::Object* o = ScriptObject(runtime, object);
    if (o == nullptr) {
        return fallback;
    }
    int version = object.Movie().Version();
    avm1::Value v = runtime.Vm().Get(o, name, version);
    return v.IsUndefined() ? fallback : avm1::ToBoolean(v, version);
}

// Whether a clip acting as a button is hit: its hitArea clip when it names one, else its
// content.
bool ClipHit(Runtime& runtime, MovieClip& clip, Point local, Point stage) {
    avm1::Object* o = ScriptObject(runtime, clip);
    if (o != nullptr) {
        avm1::Value area = runtime.Vm().Get(o, u"hitArea", clip.Movie().Version());
        avm1::Object* areaObject = area.AsObject();
        auto* areaClip =
            areaObject != nullptr ? dynamic_cast<MovieClip*>(areaObject->AsClip()) : nullptr;
        if (areaClip != nullptr && !areaClip->Removed()) {
            std::optional<Matrix> inverse = areaClip->ToStage().Inverted();
            return inverse && areaClip->HitsPoint(inverse->Apply(stage));
        }
    }
    return clip.HitsPoint(local);
}

DisplayObject* PickIn(Runtime& runtime, MovieClip& clip, Point local, Point stage) {
    const auto& list = clip.DisplayList();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        DisplayObject& child = *it->second;
        if (!child.Visible() || child.ClipDepth() > 0) {
            continue;
        }
        std::optional<Matrix> inverse = child.GetMatrix().Inverted();
        if (!inverse) {
            continue;
        }
        Point p = inverse->Apply(local);
        if (ButtonObject* button = child.AsButton()) {
            if (button->HitAreaContains(p) && clip.InsideMasks(it->first, local) &&
                IsEnabled(runtime, *button)) {
                return button;
            }
            continue;
        }
        MovieClip* inner = child.AsClip();
        if (inner == nullptr) {
            continue;
        }
        if (ActsAsButton(runtime, *inner) && IsEnabled(runtime, *inner)) {
            if (ClipHit(runtime, *inner, p, stage) && clip.InsideMasks(it->first, local)) {
                return inner;
            }
            continue;
        }
        if (DisplayObject* found = PickIn(runtime, *inner, p, stage)) {
            if (clip.InsideMasks(it->first, local)) {
                return found;
            }
        }
    }
    return nullptr;
}

MovieClip* DropIn(MovieClip& clip, Point local, const DisplayObject* dragged) {
    const auto& list = clip.DisplayList();
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        DisplayObject& child = *it->second;
        if (&child == dragged || !child.Visible() || child.ClipDepth() > 0) {
            continue;
        }
        std::optional<Matrix> inverse = child.GetMatrix().Inverted();
        if (!inverse || !clip.InsideMasks(it->first, local)) {
            continue;
        }
        Point p = inverse->Apply(local);
        if (MovieClip* inner = child.AsClip()) {
            if (MovieClip* found = DropIn(*inner, p, dragged)) {
                return found;
            }
        } else if (child.HitsPoint(p)) {
            return &clip;
        }
    }
    return nullptr;
}

struct ConditionInfo {
    std::uint16_t condition;
    const char16_t* method;
    std::uint32_t clipEvent;
    ButtonObject::State state;  // what the button shows afterwards
    int sound;                  // index into the button's sounds, or -1
};

constexpr ConditionInfo kConditions[] = {
    {swf::kCondIdleToOverUp, u"onRollOver", swf::kClipRollOver, ButtonObject::State::Over, 1},
    {swf::kCondOverUpToIdle, u"onRollOut", swf::kClipRollOut, ButtonObject::State::Up, 0},
    {swf::kCondOverUpToOverDown, u"onPress", swf::kClipPress, ButtonObject::State::Down, 2},
    {swf::kCondOverDownToOverUp, u"onRelease", swf::kClipRelease, ButtonObject::State::Over, 3},
    {swf::kCondOverDownToOutDown, u"onDragOut", swf::kClipDragOut, ButtonObject::State::Over, -1},
    {swf::kCondOutDownToOverDown, u"onDragOver", swf::kClipDragOver, ButtonObject::State::Down, -1},
    {swf::kCondOutDownToIdle, u"onReleaseOutside", swf::kClipReleaseOutside,
     ButtonObject::State::Up, -1},
    {swf::kCondIdleToOverDown, u"onDragOver", swf::kClipDragOver, ButtonObject::State::Down, -1},
    {swf::kCondOverDownToIdle, u"onDragOut", swf::kClipDragOut, ButtonObject::State::Up, -1},
};

const ConditionInfo* InfoOf(std::uint16_t condition) {
    for (const ConditionInfo& info : kConditions) {
        if (info.condition == condition) {
            return &info;
        }
    }
    return nullptr;
}

const char16_t* FrameLabelOf(ButtonObject::State state) {
    switch (state) {
        case ButtonObject::State::Over:
            return u"_over";
        case ButtonObject::State::Down:
            return u"_down";
        case ButtonObject::State::Up:
            break;
    }
    return u"_up";
}

}  // namespace

bool ActsAsButton(Runtime& runtime, MovieClip& clip) {
    if (const swf::PlaceObject* place = clip.PlacedBy()) {
        for (const auto& handler : place->clipActions) {
            if ((handler.events & kButtonClipEvents) != 0) {
                return true;
            }
        }
    }
    avm1::Object* o = ScriptObject(runtime, clip);
    int version = clip.Movie().Version();
    for (const char16_t* name : kButtonHandlers) {
        if (HasMember(o, name, version)) {
            return true;
        }
    }
    return false;
}

bool IsEnabled(Runtime& runtime, DisplayObject& object) {
    return Flag(runtime, object, u"enabled", true);
}

bool UsesHandCursor(Runtime& runtime, DisplayObject& object) {
    return Flag(runtime, object, u"useHandCursor", true);
}

bool TracksAsMenu(Runtime& runtime, DisplayObject& object) {
    bool fallback = false;
    if (ButtonObject* button = object.AsButton()) {
        fallback = button->Definition().trackAsMenu;
    }
    return Flag(runtime, object, u"trackAsMenu", fallback);
}

DisplayObject* PickMouseTarget(Runtime& runtime, Point stage) {
    const auto& levels = runtime.Levels();
    for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
        MovieClip& root = *it->second;
        if (!root.Visible()) {
            continue;
        }
        std::optional<Matrix> inverse = root.GetMatrix().Inverted();
        if (!inverse) {
            continue;
        }
        Point local = inverse->Apply(stage);
        if (ActsAsButton(runtime, root) && IsEnabled(runtime, root)) {
            if (ClipHit(runtime, root, local, stage)) {
                return &root;
            }
            continue;
        }
        if (DisplayObject* found = PickIn(runtime, root, local, stage)) {
            return found;
        }
    }
    return nullptr;
}

MovieClip* PickDropTarget(Runtime& runtime, Point stage, const DisplayObject* dragged) {
    const auto& levels = runtime.Levels();
    for (auto it = levels.rbegin(); it != levels.rend(); ++it) {
        MovieClip& root = *it->second;
        std::optional<Matrix> inverse = root.GetMatrix().Inverted();
        if (&root == dragged || !root.Visible() || !inverse) {
            continue;
        }
        if (MovieClip* found = DropIn(root, inverse->Apply(stage), dragged)) {
            return found;
        }
    }
    return nullptr;
}

void QueueButtonEvent(Runtime& runtime, DisplayObject& target, std::uint16_t condition) {
    const ConditionInfo* info = InfoOf(condition);
    if (info == nullptr || target.Removed()) {
        return;
    }
    if (ButtonObject* button = target.AsButton()) {
        // A button's own actions run on the timeline that holds it.
        if (avm1::Clip* timeline = button->Parent()) {
            for (const swf::ButtonAction& action : button->Definition().actions) {
                if ((action.conditions & condition) != 0) {
                    runtime.QueueActionsFor(*button, *timeline, action.actions,
                                            Runtime::Lane::Frame);
                }
            }
        }
        runtime.QueueMethod(*button, info->method, Runtime::Lane::Frame);
        if (info->sound >= 0) {
            const swf::ButtonSound& sound =
                button->Definition().sounds[static_cast<std::size_t>(info->sound)];
            if (sound.soundId != 0) {
                runtime.StartSound(button->Movie(), sound.soundId, sound.info);
            }
        }
        button->SetState(info->state);
        return;
    }
    if (MovieClip* clip = target.AsClip()) {
        runtime.QueueClipEvent(*clip, info->clipEvent, Runtime::Lane::Frame, false);
        runtime.QueueMethod(*clip, info->method, Runtime::Lane::Frame);
        if (std::optional<int> frame = clip->FrameOfLabel(FrameLabelOf(info->state))) {
            clip->GotoFrame(*frame, false);
        }
    }
}

}  // namespace flash
