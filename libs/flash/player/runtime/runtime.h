#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "flash/avm1/host.h"
#include "flash/avm1/vm.h"
#include "flash/media/movie_sound.h"
#include "flash/player/player.h"
#include "flash/swf/movie.h"
#include "runtime/page_openings.h"

namespace flash {

class DisplayObject;
class KeyboardInput;
class MouseInput;
class MovieClip;
class MovieData;
class NetStreamScript;
class ScriptEngine;
class SoundScript;

// The state of one player: its levels, the queue of scripts and the clock. It drives its script
// machine through ScriptEngine and is the host the AVM1 interpreter runs against.
class Runtime final : public avm1::Host {
  public:
    explicit Runtime(const PlayerLimits& limits);
    ~Runtime() override;
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    void SetListener(PlayerListener* listener) { listener_ = listener; }
    const PlayerLimits& Limits() const { return limits_; }
    // The AVM1 interpreter, for the script classes and the display objects' script views.
    avm1::Vm& Vm() { return *vm_; }
    ScriptEngine& Scripts() { return *scripts_; }

    // Puts a movie on a level (replacing what was there) and enters its first frame.
    void Load(int level, std::shared_ptr<const swf::Movie> movie, const std::string& url,
              bool play);
    // Removes a level; level 0 removes every level.
    void Unload(int level);
    MovieClip* LevelClip(int level) const;
    const std::map<int, std::unique_ptr<MovieClip>>& Levels() const { return levels_; }

    // One tick of the frame clock.
    void Advance();
    // Whether Advance() could change anything now (see Player::CanChange).
    bool CanChange();
    // Moves the clock on by whole frames that were not run (nothing could change in them).
    void PassIdleFrames(std::int64_t frames);
    // Runs what a control call left queued and frees what it removed.
    void Settle();
    // Before an input event: its scripts get a budget of their own.
    void BeginEvent();
    // Which pages the movie's getURL calls may open (only in answer to the user).
    PageOpenings& Pages() { return pages_; }
    double TimeMs() override { return timeMs_; }
    void SetRandomSeed(std::uint32_t seed) { random_.seed(seed); }
    double FrameRate() const;

    // For display objects. `container` is what will hold the new object.
    std::unique_ptr<DisplayObject> Instantiate(const std::shared_ptr<MovieData>& movie,
                                               std::uint16_t characterId,
                                               const DisplayObject& container);
    // An object a timeline or a button just put on the display list: clips start (see
    // ClipCreated), buttons show their up state.
    void ObjectPlaced(DisplayObject& object);
    // Queued scripts run lane by lane: init actions, then initialize events, construct events,
    // and last frame actions and the other events in the order they came.
    enum class Lane : std::uint8_t { Init, Initialize, Construct, Frame };
    void QueueActions(MovieClip& clip, const std::vector<std::uint8_t>& code, Lane lane);
    // Action bytes that run against `target` for as long as `owner` is on the stage (a
    // button's actions run on the timeline that holds the button).
    void QueueActionsFor(DisplayObject& owner, avm1::Clip& target,
                         const std::vector<std::uint8_t>& code, Lane lane);
    // object.name() for a clip or a button, when the method is there when its turn comes.
    void QueueMethod(DisplayObject& object, avm1::StringView name, Lane lane,
                     bool evenIfRemoved = false, std::vector<avm1::Value> args = {});
    // The clip actions (onClipEvent) of a clip for an event; `keyCode` picks the keyPress
    // handlers of one key.
    void QueueClipEvent(MovieClip& clip, std::uint32_t event, Lane lane, bool evenIfRemoved,
                        std::uint8_t keyCode = 0);
    // Broadcaster.broadcastMessage(event, args...) of a global broadcaster ("Mouse", "Key").
    void QueueBroadcast(avm1::StringView broadcaster, avm1::StringView event,
                        std::vector<avm1::Value> args = {});
    // Runs what is queued now (input events run their scripts at once, between frames).
    void RunQueued();
    // Every clip, newest first, level by level from the lowest: the order clips hear events.
    std::vector<MovieClip*> ClipsNewestFirst() const;
    // A clip made by its parent's timeline or a script: its initialize and construct events,
    // then (after `prepare`, which sets up its script object) its first frame.
    void ClipCreated(MovieClip& clip, const std::function<void(MovieClip&)>& prepare = {});
    // attachMovie: a new instance of a sprite at a display list depth of `parent`.
    MovieClip* AttachClip(MovieClip& parent, std::uint16_t spriteId, const avm1::String& name,
                          int depth, const std::function<void(MovieClip&)>& prepare);
    // createEmptyMovieClip: a clip with an empty timeline.
    MovieClip* CreateEmptyClip(MovieClip& parent, const avm1::String& name, int depth);
    // onClipEvent(load) and onLoad.
    void QueueLoadEvent(MovieClip& clip);
    // Takes an object off the stage; with `events`, the unload events of it and everything in
    // it run (innermost first) although they are gone.
    void Discard(std::unique_ptr<DisplayObject> object, bool events);
    avm1::String NextInstanceName();

    // Input, in stage twips of _level0.
    MouseInput& Mouse() { return *mouse_; }
    KeyboardInput& Keyboard() { return *keyboard_; }
    // The mouse position in an object's own twips.
    Point MouseIn(const DisplayObject& object) const;

    // An event sound of a movie by its character id (button sounds).
    void StartSound(const MovieData& movie, std::uint16_t soundId, const swf::SoundInfo& info);
    // False once scripts jumped too often in one frame (a goto loop); the jump is skipped.
    bool AllowGoto();
    void ObjectCreated() { ++liveObjects_; }
    void ObjectDestroyed() { --liveObjects_; }
    std::size_t LiveObjects() const { return liveObjects_; }
    void ReportError(const std::string& message);

    // Whether _level0's timeline starts again after its last frame.
    bool Looping() const { return looping_; }
    void SetLooping(bool loop) { looping_ = loop; }
    // Stage.showMenu (true unless a script set it false).
    bool ShowMenu();

    // Rendering quality, shared by the control (Quality2) and scripts (_quality).
    Quality QualityLevel() const { return quality_; }
    void SetQualityLevel(Quality quality) { quality_ = quality; }
    avm1::String QualityName() const;
    // "LOW", "MEDIUM", "HIGH", "BEST" in any case; other words are ignored.
    void SetQualityName(avm1::StringView name);

    // avm1::Host
    avm1::Clip* Level(int level) override;
    void Trace(const avm1::String& text) override;
    double Random() override;
    void GetUrl(const avm1::UrlRequest& request) override;
    void CloneSprite(avm1::Clip& source, const avm1::String& name, int depth) override;
    void RemoveSprite(avm1::Clip& clip) override;
    void StartDrag(avm1::Clip& clip, bool lockCenter, std::optional<avm1::DragRect> rect) override;
    void StopDrag() override;
    void ScriptError(const avm1::String& message) override;
    bool StopSlowScript() override;
    void StopSounds() override;

    // Where this player's sound goes (the process's mixer unless set); set before any sound
    // plays, or what plays stops.
    void SetSoundMixer(media::Mixer* mixer, bool decodeInBackground);
    // The player's sound, made at its first use.
    media::MovieSound& Sound();
    media::MovieSound* SoundIfAny() const { return sound_.get(); }
    // The player's volume, 0 to 1 (kept for a sound made later).
    void SetSoundVolume(double volume);
    double SoundVolume() const { return soundVolume_; }
    // The Sound class of scripts.
    SoundScript& SoundScripts() { return *soundScript_; }
    // The mixer this player's sound goes to, and whether sound decodes in the background
    // (false for headless runs, which must come out the same every time).
    media::Mixer& SoundMixer() const;
    bool DecodesInBackground() const { return decodeInBackground_; }
    // NetConnection, NetStream and Video.
    NetStreamScript& NetStreams() { return *netStreams_; }

  private:
    struct QueuedAction {
        DisplayObject* owner = nullptr;  // null for a broadcast
        avm1::Clip* target = nullptr;    // what the code runs against or whose method is called
        avm1::ActionBytes code;          // or, when null, a call of `method`
        int version = 0;
        avm1::String method;
        bool evenIfRemoved = false;
        avm1::String broadcaster;  // set for a broadcast of `method`
        std::vector<avm1::Value> args;
    };
    struct PendingLoad {
        int level;
        std::string url;
        std::string clipPath;  // loading into a clip: its target path
        avm1::Root loader;     // the MovieClipLoader that asked, if one did
    };
    struct LoadInit {
        avm1::Root loader;
        avm1::Root clip;  // the loaded clip's script object
    };

    void QueueEnterFrame(const std::vector<MovieClip*>& clips);
    void QueueUnload(DisplayObject& object);
    std::deque<QueuedAction>& LaneQueue(Lane lane);
    std::size_t QueuedCount() const;
    void RunActions();
    void EmptyGraveyard();
    void ReleaseScripts(DisplayObject& object);
    void LoadFromScript(const avm1::UrlRequest& request);
    // loadMovie into a clip: the movie's root takes the clip's place on its parent.
    MovieClip* LoadIntoClip(MovieClip& target, std::shared_ptr<const swf::Movie> movie,
                            const std::string& url, const std::string& query);
    // A MovieClipLoader event to the loader's listeners.
    void Broadcast(avm1::Object* loader, avm1::StringView event, std::vector<avm1::Value> args);
    void SendLoadInits();
    void ProcessPendingLoads();

    PlayerLimits limits_;
    PlayerListener* listener_ = nullptr;
    media::Mixer* mixer_ = nullptr;
    bool decodeInBackground_ = true;
    double soundVolume_ = 1;
    // Declared before the clips: they leave their streams as they go.
    std::unique_ptr<media::MovieSound> sound_;
    std::unique_ptr<ScriptEngine> scripts_;
    avm1::Vm* vm_ = nullptr;  // the AVM1 machine's interpreter, owned by scripts_
    // Holds script objects: goes before the interpreter.
    std::unique_ptr<SoundScript> soundScript_;
    std::unique_ptr<NetStreamScript> netStreams_;
    // Declared after the interpreter: clips go first.
    std::map<int, std::unique_ptr<MovieClip>> levels_;
    std::vector<std::unique_ptr<DisplayObject>> graveyard_;
    std::deque<QueuedAction> lanes_[4];
    std::vector<PendingLoad> pendingLoads_;
    std::vector<LoadInit> loadInits_;
    std::uint64_t frameActionStart_ = 0;
    bool actionBudgetSpent_ = false;
    int gotosThisFrame_ = 0;
    bool objectLimitReported_ = false;
    PageOpenings pages_;
    Quality quality_ = Quality::High;
    bool looping_ = true;
    double timeMs_ = 0;
    std::mt19937 random_{std::random_device{}()};
    std::size_t liveObjects_ = 0;
    std::uint64_t instanceCounter_ = 0;
    std::uint64_t clipSequence_ = 0;
    std::unique_ptr<MouseInput> mouse_;
    std::unique_ptr<KeyboardInput> keyboard_;
};

}  // namespace flash
