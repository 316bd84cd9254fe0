#pragma once

#include <map>
#include <memory>
#include <vector>

#include "display/display_object.h"
#include "display/drawing.h"
#include "display/timeline_state.h"
#include "flash/avm1/host.h"

namespace flash {

class Timeline;

// A timeline with a display list: a sprite instance, or the root of a level. It is the
// display object scripts see as a MovieClip.
class MovieClip final : public DisplayObject, public avm1::Clip {
  public:
    using ChildMap = std::map<int, std::unique_ptr<DisplayObject>>;

    MovieClip(Runtime& runtime, std::shared_ptr<MovieData> movie, std::uint16_t characterId,
              const Timeline& timeline);
    ~MovieClip() override;

    DisplayKind GetDisplayKind() const override { return DisplayKind::Clip; }
    avm1::Clip* ScriptClip() override { return this; }
    Rect LocalBounds() const override;
    bool HitsPoint(Point local) const override;
    void ForEachChild(const std::function<void(DisplayObject&)>& visit) const override;
    // Whether a point in this clip's twips lies inside every mask that covers `depth`.
    bool InsideMasks(int depth, Point local) const;

    // When the clip was made, for the order of events: newer clips hear them first.
    std::uint64_t Sequence() const { return sequence_; }
    void SetSequence(std::uint64_t sequence) { sequence_ = sequence; }

    // The root of _levelN.
    void SetLevel(int level) { level_ = level; }
    int Level() const { return level_; }

    // What scripts drew into the clip; drawn under its display list.
    Drawing& DrawnContent() { return drawing_; }
    const Drawing& DrawnContent() const { return drawing_; }

    // The display list, by depth.
    const ChildMap& DisplayList() const { return children_; }
    DisplayObject* ChildAt(int depth) const;
    // Puts an object at a depth; whatever was there is removed first.
    DisplayObject* Insert(std::unique_ptr<DisplayObject> object, int depth);
    // Takes the object at a depth off the display list (it goes to the runtime's graveyard).
    void RemoveAt(int depth);
    void RemoveAll();
    // swapDepths: exchanges what two depths hold (either may be empty). What moved belongs
    // to scripts from then on: the timeline no longer places or removes it.
    void SwapDepth(int a, int b);

    // Frame 0 just after the clip was made: builds its display list and queues its load
    // event and actions.
    void EnterFirstFrame();
    // One tick of the clock: the next frame while playing, the first again after the last.
    void Tick();
    // Shows a frame (clamped to the timeline), rebuilding the display list as the timeline
    // has it there, and queues that frame's actions.
    void GoTo(int frame);
    bool Playing() const { return playing_; }
    // Stopping also stops the timeline's stream sound; its event sounds play on.
    void SetPlaying(bool playing);
    // 0-based; -1 before the first frame was entered.
    int Frame() const { return currentFrame_; }
    int FrameCount() const;

    // avm1::Clip
    int SwfVersion() const override;
    avm1::Clip* Parent() override;
    int LevelNumber() const override { return level_; }
    avm1::String Name() const override { return InstanceName(); }
    avm1::Clip* ChildByName(avm1::StringView name, bool caseSensitive) override;
    std::vector<avm1::Clip*> Children() override;
    void Play() override { SetPlaying(true); }
    void Stop() override { SetPlaying(false); }
    void GotoFrame(int frame, bool play) override;
    bool GotoLabel(avm1::StringView label, bool play) override;
    int CurrentFrame() const override { return currentFrame_ < 0 ? 0 : currentFrame_; }
    int TotalFrames() const override { return FrameCount(); }
    std::optional<int> FrameOfLabel(avm1::StringView label) const override;
    avm1::Value GetProperty(avm1::Property property) override;
    void SetProperty(avm1::Property property, const avm1::Value& value) override;
    void SetName(const avm1::String& name) override { SetInstanceName(name); }

    // _droptarget: where the clip was last dropped while dragged (a slash path).
    void SetDropTarget(avm1::String target) { dropTarget_ = std::move(target); }

  private:
    // The tags of one frame in their order: display changes at once (a new clip enters its
    // first frame right away), actions queued as they come.
    void ExecuteFrame(int frame);
    // The sound tags of a frame: event sounds start, the stream takes the frame's block while
    // the timeline plays.
    void PlayFrameSound(const swf::Tag& tag, int frame);
    void StopStream();
    // Applies the display tags of frames [from, to] and brings the display list in line.
    void ApplyFrames(int from, int to, bool rebuild);
    void Reconcile(DepthMap& state, bool rebuild);
    void ReconcileDepth(int depth, const DepthMap& state);
    DepthState StateOf(const DisplayObject& child) const;
    bool Replaceable(std::uint16_t id) const;
    void Create(const DepthState& state, int depth);
    void UpdateFrom(DisplayObject& object, const DepthState& state);
    void RunFrameScripts(int from, int to);

    const Timeline* timeline_;
    ChildMap children_;
    Drawing drawing_;
    int currentFrame_ = -1;
    bool playing_ = true;
    int level_ = -1;
    std::uint64_t placeOrder_ = 0;
    std::uint64_t sequence_ = 0;
    avm1::String dropTarget_;
};

}  // namespace flash
