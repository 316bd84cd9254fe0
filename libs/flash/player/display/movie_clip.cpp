#include "display/movie_clip.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "display/display_properties.h"
#include "flash/avm1/convert.h"
#include "input/shape_hits.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"
#include "script/sound.h"

namespace flash {

MovieClip::MovieClip(Runtime& runtime, std::shared_ptr<MovieData> movie, std::uint16_t characterId,
                     const Timeline& timeline)
    : DisplayObject(runtime, std::move(movie), characterId), timeline_(&timeline) {}

MovieClip::~MovieClip() {
    if (media::MovieSound* sound = GetRuntime().SoundIfAny()) {
        sound->RemoveStream(this);
    }
}

Rect MovieClip::LocalBounds() const {
    Rect bounds = drawing_.Bounds();
    for (const auto& [depth, child] : children_) {
        bounds = UnionBounds(bounds, child->BoundsInParent());
    }
    return bounds;
}

bool MovieClip::InsideMasks(int depth, Point local) const {
    for (const auto& [maskDepth, mask] : children_) {
        if (maskDepth >= depth) {
            break;
        }
        if (mask->ClipDepth() >= depth) {
            std::optional<Matrix> inverse = mask->GetMatrix().Inverted();
            if (!inverse || !mask->HitsPoint(inverse->Apply(local))) {
                return false;
            }
        }
    }
    return true;
}

bool MovieClip::HitsPoint(Point local) const {
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        const DisplayObject& child = *it->second;
        if (!child.Visible() || child.ClipDepth() > 0) {
            continue;
        }
        std::optional<Matrix> inverse = child.GetMatrix().Inverted();
        if (inverse && child.HitsPoint(inverse->Apply(local)) && InsideMasks(it->first, local)) {
            return true;
        }
    }
    return !drawing_.Empty() && ShapeHits(*drawing_.Shape(), local);
}

void MovieClip::ForEachChild(const std::function<void(DisplayObject&)>& visit) const {
    for (const auto& [depth, child] : children_) {
        visit(*child);
    }
}

DisplayObject* MovieClip::ChildAt(int depth) const {
    auto it = children_.find(depth);
    return it == children_.end() ? nullptr : it->second.get();
}

DisplayObject* MovieClip::Insert(std::unique_ptr<DisplayObject> object, int depth) {
    RemoveAt(depth);
    object->SetDepth(depth);
    object->SetContainer(this);
    DisplayObject* raw = object.get();
    children_[depth] = std::move(object);
    return raw;
}

void MovieClip::RemoveAt(int depth) {
    auto it = children_.find(depth);
    if (it == children_.end()) {
        return;
    }
    std::unique_ptr<DisplayObject> object = std::move(it->second);
    children_.erase(it);
    GetRuntime().Discard(std::move(object), true);
}

void MovieClip::SwapDepth(int a, int b) {
    if (a == b) {
        return;
    }
    auto take = [this](int depth) {
        std::unique_ptr<DisplayObject> object;
        if (auto it = children_.find(depth); it != children_.end()) {
            object = std::move(it->second);
            children_.erase(it);
        }
        return object;
    };
    std::unique_ptr<DisplayObject> first = take(a);
    std::unique_ptr<DisplayObject> second = take(b);
    for (auto* entry : {&first, &second}) {
        if (*entry) {
            int depth = entry == &first ? b : a;
            (*entry)->SetDepth(depth);
            (*entry)->SetPlaceFrame(-1);
            children_[depth] = std::move(*entry);
        }
    }
}

void MovieClip::RemoveAll() {
    while (!children_.empty()) {
        RemoveAt(children_.begin()->first);
    }
}

int MovieClip::FrameCount() const {
    return std::max(1, timeline_->FrameCount());
}

void MovieClip::EnterFirstFrame() {
    if (currentFrame_ >= 0) {
        return;
    }
    currentFrame_ = 0;
    bool root = Container() == nullptr;
    if (!root) {
        GetRuntime().QueueLoadEvent(*this);
    }
    if (timeline_->FrameCount() > 0) {
        ExecuteFrame(0);
    }
    if (root) {
        // A level's onLoad comes after its first frame's actions, so they can set it.
        GetRuntime().QueueLoadEvent(*this);
    }
}

void MovieClip::Tick() {
    if (Removed()) {
        return;
    }
    if (currentFrame_ < 0) {
        // A level's first frame comes with the first tick after loading, playing or not.
        EnterFirstFrame();
        return;
    }
    if (!playing_) {
        return;
    }
    int count = timeline_->FrameCount();
    if (count <= 1) {
        return;
    }
    int next = currentFrame_ + 1;
    if (next >= count) {
        if (level_ == 0 && !GetRuntime().Looping()) {
            // The control's menu turned looping off: the movie stops at its end.
            playing_ = false;
        } else if (timeline_->Complete()) {
            GoTo(0);
        }
        return;
    }
    currentFrame_ = next;
    ExecuteFrame(next);
}

void MovieClip::GoTo(int frame) {
    int count = timeline_->FrameCount();
    if (count == 0) {
        return;
    }
    frame = std::clamp(frame, 0, count - 1);
    if (frame == currentFrame_) {
        return;
    }
    bool rebuild = currentFrame_ < 0 || frame < currentFrame_;
    int from = rebuild ? 0 : currentFrame_ + 1;
    currentFrame_ = frame;
    // Clips the jump makes enter their first frame before the target frame's actions queue.
    ApplyFrames(from, frame, rebuild);
    RunFrameScripts(from, frame);
    // The stream leaves off where it was; the frame jumped to sounds as if entered, its
    // stream block starting the stream again there.
    StopStream();
    for (const auto& tag : timeline_->Frame(frame).tags) {
        PlayFrameSound(tag, frame);
    }
}

void MovieClip::SetPlaying(bool playing) {
    if (playing_ && !playing) {
        StopStream();
    }
    playing_ = playing;
}

void MovieClip::StopStream() {
    if (media::MovieSound* sound = GetRuntime().SoundIfAny()) {
        sound->StopStream(this);
    }
}

void MovieClip::PlayFrameSound(const swf::Tag& tag, int frame) {
    if (const auto* start = std::get_if<swf::StartSound>(&tag)) {
        // StartSound2 names an ActionScript 3 class: nothing this player plays.
        if (!start->className.empty()) {
            return;
        }
        const swf::Character* c = Movie().Character(start->soundId);
        const auto* sound = c ? std::get_if<std::shared_ptr<const swf::Sound>>(c) : nullptr;
        if (sound != nullptr) {
            GetRuntime().Sound().StartSound(*sound, start->info, this,
                                            GetRuntime().SoundScripts().ClipMix(*this));
        }
    } else if (const auto* head = std::get_if<swf::SoundStreamHead>(&tag)) {
        GetRuntime().Sound().StreamHead(this, *head, GetRuntime().FrameRate());
    } else if (const auto* block = std::get_if<swf::SoundStreamBlock>(&tag)) {
        if (playing_) {
            GetRuntime().Sound().StreamBlock(this, frame, *block);
        }
    }
}

bool MovieClip::Replaceable(std::uint16_t id) const {
    const swf::Character* c = Movie().Character(id);
    return c != nullptr && IsReplaceable(*c);
}

DepthState MovieClip::StateOf(const DisplayObject& child) const {
    DepthState s;
    s.characterId = child.CharacterId();
    s.placeFrame = child.PlaceFrame();
    s.instance = &child;
    s.placedBy = child.PlacedBy();
    s.matrix = child.GetMatrix();
    s.colorTransform = child.GetColorTransform();
    s.ratio = child.Ratio();
    s.clipDepth = child.ClipDepth();
    return s;
}

void MovieClip::ExecuteFrame(int frame) {
    auto replaceable = [this](std::uint16_t id) { return Replaceable(id); };
    for (const auto& tag : timeline_->Frame(frame).tags) {
        if (Removed()) {
            return;
        }
        if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
            GetRuntime().QueueActions(*this, action->actions, Runtime::Lane::Frame);
            continue;
        }
        if (const auto* init = std::get_if<swf::DoInitAction>(&tag)) {
            if (Movie().TakeInitActions(init->spriteId)) {
                GetRuntime().QueueActions(*this, init->actions, Runtime::Lane::Init);
            }
            continue;
        }
        DepthMap state;
        int depth = -1;
        if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
            depth = place->depth;
        } else if (const auto* remove = std::get_if<swf::RemoveObject>(&tag)) {
            depth = remove->depth;
        } else {
            PlayFrameSound(tag, frame);
            continue;
        }
        if (DisplayObject* child = ChildAt(depth); child && child->PlacedByTimeline()) {
            state.emplace(depth, StateOf(*child));
        }
        ApplyDisplayTag(tag, frame, state, replaceable, placeOrder_);
        ReconcileDepth(depth, state);
    }
}

void MovieClip::ApplyFrames(int from, int to, bool rebuild) {
    DepthMap state;
    if (!rebuild) {
        // Start from what the timeline put on the display list, so moves merge into it.
        for (const auto& [depth, child] : children_) {
            if (child->PlacedByTimeline()) {
                state.emplace(depth, StateOf(*child));
            }
        }
    }
    auto replaceable = [this](std::uint16_t id) { return Replaceable(id); };
    ApplyDisplayTags(*timeline_, from, to, state, replaceable, placeOrder_);
    Reconcile(state, rebuild);
}

void MovieClip::ReconcileDepth(int depth, const DepthMap& state) {
    auto it = state.find(depth);
    DisplayObject* existing = ChildAt(depth);
    if (existing != nullptr && existing->PlacedByTimeline() &&
        (it == state.end() || it->second.instance != existing)) {
        RemoveAt(depth);
        existing = nullptr;
    }
    if (it == state.end()) {
        return;
    }
    if (existing == nullptr) {
        Create(it->second, depth);
    } else if (existing->PlacedByTimeline()) {
        UpdateFrom(*existing, it->second);
    }
}

void MovieClip::Reconcile(DepthMap& state, bool rebuild) {
    // Take off what the timeline no longer has there.
    std::vector<int> gone;
    for (const auto& [depth, child] : children_) {
        if (!child->PlacedByTimeline()) {
            continue;
        }
        auto it = state.find(depth);
        bool keep = false;
        if (it != state.end()) {
            const DepthState& s = it->second;
            keep = rebuild ? (s.placeFrame == child->PlaceFrame() &&
                              s.characterId == child->CharacterId())
                           : s.instance == child.get();
        }
        if (!keep) {
            gone.push_back(depth);
        }
    }
    for (int depth : gone) {
        RemoveAt(depth);
    }
    // Update what stays, make what is new, in the order the timeline placed it.
    std::vector<std::pair<int, const DepthState*>> placed;
    placed.reserve(state.size());
    for (const auto& [depth, s] : state) {
        placed.emplace_back(depth, &s);
    }
    std::stable_sort(placed.begin(), placed.end(), [](const auto& x, const auto& y) {
        return x.second->order < y.second->order;
    });
    for (const auto& [depth, s] : placed) {
        if (Removed()) {
            return;
        }
        DisplayObject* existing = ChildAt(depth);
        if (existing == nullptr) {
            Create(*s, depth);
        } else if (existing->PlacedByTimeline()) {
            UpdateFrom(*existing, *s);
        }
    }
}

void MovieClip::Create(const DepthState& state, int depth) {
    std::unique_ptr<DisplayObject> object =
        GetRuntime().Instantiate(SharedMovie(), state.characterId, *this);
    if (!object) {
        return;
    }
    object->SetPlaceFrame(state.placeFrame);
    object->SetPlacedBy(state.placedBy);
    UpdateFrom(*object, state);
    if (!state.name) {
        object->SetInstanceName(GetRuntime().NextInstanceName());
    }
    DisplayObject* raw = Insert(std::move(object), depth);
    GetRuntime().ObjectPlaced(*raw);
}

void MovieClip::UpdateFrom(DisplayObject& object, const DepthState& s) {
    if (object.CharacterId() != s.characterId) {
        if (auto* graphic = dynamic_cast<GraphicObject*>(&object)) {
            if (const swf::Character* c = Movie().Character(s.characterId)) {
                graphic->SetCharacter(s.characterId, *c);
            }
        }
    }
    if (!object.ScriptTransformed()) {
        if (s.matrixChanged) {
            object.SetMatrix(s.matrix);
        }
        if (s.colorChanged) {
            object.SetColorTransform(s.colorTransform);
        }
    }
    if (s.ratioChanged) {
        object.SetRatio(s.ratio);
    }
    if (s.nameChanged && s.name) {
        object.SetInstanceName(Movie().ScriptText(*s.name));
    }
    if (s.clipDepthChanged) {
        object.SetClipDepth(s.clipDepth);
    }
    if (s.visible) {
        object.SetVisible(*s.visible);
    }
}

void MovieClip::RunFrameScripts(int from, int to) {
    MovieData& movie = Movie();
    for (int frame = std::max(from, 0); frame <= to; ++frame) {
        for (const auto& tag : timeline_->Frame(frame).tags) {
            if (const auto* init = std::get_if<swf::DoInitAction>(&tag)) {
                if (movie.TakeInitActions(init->spriteId)) {
                    GetRuntime().QueueActions(*this, init->actions, Runtime::Lane::Init);
                }
            }
        }
    }
    for (const auto& tag : timeline_->Frame(to).tags) {
        if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
            GetRuntime().QueueActions(*this, action->actions, Runtime::Lane::Frame);
        }
    }
}

int MovieClip::SwfVersion() const {
    return Movie().Version();
}

avm1::Clip* MovieClip::Parent() {
    return Container() != nullptr ? Container()->ScriptClip() : nullptr;
}

avm1::Clip* MovieClip::ChildByName(avm1::StringView name, bool caseSensitive) {
    for (const auto& [depth, child] : children_) {
        avm1::Clip* clip = child->ScriptClip();
        const avm1::String& childName = child->InstanceName();
        if (clip == nullptr && childName.empty()) {
            continue;
        }
        if (caseSensitive ? childName == name : avm1::FoldCase(childName) == avm1::FoldCase(name)) {
            // A named shape, bitmap or static text has no object of its own: script sees
            // the clip holding it.
            return clip != nullptr ? clip : this;
        }
    }
    return nullptr;
}

std::vector<avm1::Clip*> MovieClip::Children() {
    std::vector<avm1::Clip*> out;
    for (const auto& [depth, child] : children_) {
        if (avm1::Clip* clip = child->ScriptClip()) {
            out.push_back(clip);
        }
    }
    return out;
}

void MovieClip::GotoFrame(int frame, bool play) {
    if (!GetRuntime().AllowGoto()) {
        return;
    }
    // The play state first, so that the frame jumped to knows whether its stream plays.
    SetPlaying(play);
    GoTo(frame);
}

bool MovieClip::GotoLabel(avm1::StringView label, bool play) {
    std::optional<int> frame = timeline_->FrameOfLabel(label);
    if (!frame) {
        return false;
    }
    GotoFrame(*frame, play);
    return true;
}

std::optional<int> MovieClip::FrameOfLabel(avm1::StringView label) const {
    return timeline_->FrameOfLabel(label);
}

avm1::Value MovieClip::GetProperty(avm1::Property property) {
    switch (property) {
        case avm1::Property::CurrentFrame:
            return avm1::Value::Number(CurrentFrame() + 1);
        case avm1::Property::TotalFrames:
        case avm1::Property::FramesLoaded:
            return avm1::Value::Number(TotalFrames());
        case avm1::Property::DropTarget:
            return avm1::Value::Str(dropTarget_);
        default:
            return GetDisplayProperty(*this, property);
    }
}

void MovieClip::SetProperty(avm1::Property property, const avm1::Value& value) {
    SetDisplayProperty(*this, property, value);
}

}  // namespace flash
