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
#include "runtime/stage_view.h"

namespace flash {

class DataLoads;
class DisplayObject;
class KeyboardInput;
class MouseInput;
class MovieClip;
class MovieData;
class NetStreamScript;
class ScriptEngine;
class SharedObjects;
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

    // A movie's data with the libraries its ImportAssets tags name loaded and bound; a library
    // that cannot be read leaves its symbols absent.
    std::shared_ptr<MovieData> NewMovieData(std::shared_ptr<const swf::Movie> movie,
                                            const std::string& url);
    // `clip`'s timeline reached an ImportAssets tag: the library's init actions run on the clip.
    void QueueImportInits(MovieClip& clip, const swf::ImportAssets& tag);

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
    // Whether a clip has onClipEvent(unload) or an onUnload member: taken off the timeline, it
    // waits below the timeline's depths until that ran.
    bool HasUnloadHandler(MovieClip& clip);
    // The unload events of a clip moved out of the way, then its removal.
    void QueueUnloadThenRemove(MovieClip& clip);
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
    // The corner getBounds gives for a clip with nothing in it: 0x7FFFFFF twips until code of
    // SWF 8 or later asks for bounds once, 0x8000000 from then on.
    bool InvalidBoundsRounded() const { return invalidBoundsRounded_; }
    void RoundInvalidBounds() { invalidBoundsRounded_ = true; }

    // Rendering quality, shared by the control (Quality2) and scripts (_quality).
    Quality QualityLevel() const { return quality_; }
    void SetQualityLevel(Quality quality) { quality_ = quality; }
    avm1::String QualityName() const;
    // "LOW", "MEDIUM", "HIGH", "BEST" in any case; other words are ignored.
    void SetQualityName(avm1::StringView name);
    // The movie-wide _focusrect: whether keyboard focus is framed in yellow.
    bool FocusRectOn() const { return focusRect_; }
    void SetFocusRectOn(bool on) { focusRect_ = on; }

    // avm1::Host
    avm1::Clip* Level(int level) override;
    void Trace(const avm1::String& text) override;
    double Random() override;
    void GetUrl(const avm1::UrlRequest& request) override;
    void LoadData(const avm1::DataRequest& request) override;
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
    // Loads of LoadVars, XML and loadVariables.
    DataLoads& Loads() { return *dataLoads_; }
    // The view Stage and System.capabilities see; the player sets it (not owned).
    StageView& View() { return *view_; }
    void SetView(StageView* view) { view_ = view ? view : &fixedView_; }
    // SharedObject's open objects and their store.
    SharedObjects& SharedObjectStore() { return *sharedObjects_; }
    // Tells the host of a load a movie asked for.
    void ReportLoad(const LoadRequest& request);

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
        bool finishRemoval = false;  // takes `owner` off its parent, its unload events done
        // Object.registerClass of the clip's symbol: its prototype, then its constructor.
        enum class ClassStep : std::uint8_t { None, Bind, Construct } classStep = ClassStep::None;
    };
    struct PendingLoad {
        int level;
        std::string url;
        std::string clipPath;  // loading into a clip: its target path
        avm1::Root loader;     // the MovieClipLoader that asked, if one did
        avm1::Root target;     // the clip's script object, found again by path once it is gone
    };
    struct LoadInit {
        avm1::Root loader;
        avm1::Root clip;  // the loaded clip's script object
    };

    void BindImports(MovieData& data, int depth);
    std::shared_ptr<MovieData> LoadLibrary(const std::string& url, int depth);
    void QueueClassStep(MovieClip& clip, QueuedAction::ClassStep step);
    void RunClassStep(const QueuedAction& action);
    void QueueEnterFrame(const std::vector<MovieClip*>& clips);
    void QueueUnload(DisplayObject& object);
    std::deque<QueuedAction>& LaneQueue(Lane lane);
    std::size_t QueuedCount() const;
    void RunActions();
    void EmptyGraveyard();
    void ReleaseScripts(DisplayObject& object);
    void LoadFromScript(const avm1::UrlRequest& request);
    // loadMovie into a clip: the clip shows the movie from its first frame; its name, depth,
    // transform and clip events stay, its content and variables go.
    MovieClip* LoadIntoClip(MovieClip& target, std::shared_ptr<const swf::Movie> movie,
                            const std::string& url, const std::string& query);
    void ClearScriptObject(MovieClip& clip);
    void SetQueryVariables(MovieClip& clip, std::string_view query);
    // The clip a pending load goes into, null when it is gone; `level` loads have none.
    MovieClip* LoadTarget(const PendingLoad& load);
    // The movie of a file: a movie, or an image shown as a one-frame movie of `version`.
    struct LoadedFile {
        std::shared_ptr<const swf::Movie> movie;
        std::size_t bytes = 0;
        bool image = false;
    };
    LoadedFile ReadLoadedFile(const std::string& path, int version);
    void LoadFailed(const PendingLoad& load, MovieClip* target);
    // Reads a pending load's file and shows it in its clip or level.
    void LoadFile(const PendingLoad& load, MovieClip* target);
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
    std::unique_ptr<DataLoads> dataLoads_;
    std::unique_ptr<SharedObjects> sharedObjects_;
    FixedStageView fixedView_;
    StageView* view_ = &fixedView_;
    // Declared after the interpreter: clips go first.
    std::map<int, std::unique_ptr<MovieClip>> levels_;
    std::vector<std::unique_ptr<DisplayObject>> graveyard_;
    std::deque<QueuedAction> lanes_[4];
    std::vector<PendingLoad> pendingLoads_;
    // Loaded libraries by address, shared by the movies that import them.
    std::map<std::string, std::weak_ptr<MovieData>> libraries_;
    std::vector<std::string> librariesLoading_;
    std::vector<LoadInit> loadInits_;
    std::uint64_t frameActionStart_ = 0;
    bool actionBudgetSpent_ = false;
    int gotosThisFrame_ = 0;
    bool objectLimitReported_ = false;
    PageOpenings pages_;
    Quality quality_ = Quality::High;
    bool focusRect_ = true;
    bool looping_ = true;
    bool invalidBoundsRounded_ = false;
    double timeMs_ = 0;
    std::mt19937 random_{std::random_device{}()};
    std::size_t liveObjects_ = 0;
    std::uint64_t instanceCounter_ = 0;
    std::uint64_t clipSequence_ = 0;
    std::unique_ptr<MouseInput> mouse_;
    std::unique_ptr<KeyboardInput> keyboard_;
};

}  // namespace flash
