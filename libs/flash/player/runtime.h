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
#include "flash/player.h"
#include "flash/swf/movie.h"

namespace flash {

class DisplayObject;
class MovieClip;
class MovieData;
class SoundScript;

// The state of one player: its levels, the script interpreter and the queue of actions, the
// clock. It is the host the interpreter runs against.
class Runtime final : public avm1::Host {
  public:
    explicit Runtime(const PlayerLimits& limits);
    ~Runtime() override;
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    void SetListener(PlayerListener* listener) { listener_ = listener; }
    const PlayerLimits& Limits() const { return limits_; }
    avm1::Vm& Vm() { return *vm_; }

    // Puts a movie on a level (replacing what was there) and enters its first frame.
    void Load(int level, std::shared_ptr<const swf::Movie> movie, const std::string& url,
              bool play);
    // Removes a level; level 0 removes every level.
    void Unload(int level);
    MovieClip* LevelClip(int level) const;
    const std::map<int, std::unique_ptr<MovieClip>>& Levels() const { return levels_; }

    // One tick of the frame clock.
    void Advance();
    // Runs what a control call left queued and frees what it removed.
    void Settle();
    double TimeMs() override { return timeMs_; }
    void SetRandomSeed(std::uint32_t seed) { random_.seed(seed); }
    double FrameRate() const;

    // For display objects.
    std::unique_ptr<DisplayObject> Instantiate(const std::shared_ptr<MovieData>& movie,
                                               std::uint16_t characterId, MovieClip& parent);
    // Queued scripts run lane by lane: init actions, then initialize events, construct events,
    // and last frame actions and the other events in the order they came.
    enum class Lane : std::uint8_t { Init, Initialize, Construct, Frame };
    void QueueActions(MovieClip& clip, const std::vector<std::uint8_t>& code, Lane lane);
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
    // False once scripts jumped too often in one frame (a goto loop); the jump is skipped.
    bool AllowGoto();
    void ObjectCreated() { ++liveObjects_; }
    void ObjectDestroyed() { --liveObjects_; }
    std::size_t LiveObjects() const { return liveObjects_; }
    void ReportError(const std::string& message);

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
    void ScriptError(const avm1::String& message) override;
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

  private:
    struct QueuedAction {
        MovieClip* clip;
        avm1::ActionBytes code;  // or, when null, a call of `method`
        int version;
        avm1::String method;
        bool evenIfRemoved = false;
    };
    struct PendingLoad {
        int level;
        std::string url;
    };

    std::vector<MovieClip*> ClipsNewestFirst() const;
    void QueueClipEvent(MovieClip& clip, std::uint32_t event, Lane lane, bool evenIfRemoved);
    void QueueMethod(MovieClip& clip, avm1::StringView name, Lane lane, bool evenIfRemoved);
    void QueueEnterFrame(const std::vector<MovieClip*>& clips);
    void QueueUnload(DisplayObject& object);
    std::deque<QueuedAction>& LaneQueue(Lane lane);
    std::size_t QueuedCount() const;
    void RunActions();
    void EmptyGraveyard();
    void ReleaseScripts(DisplayObject& object);
    void LoadFromScript(const avm1::UrlRequest& request);
    void ProcessPendingLoads();

    PlayerLimits limits_;
    PlayerListener* listener_ = nullptr;
    media::Mixer* mixer_ = nullptr;
    bool decodeInBackground_ = true;
    double soundVolume_ = 1;
    // Declared before the clips: they leave their streams as they go.
    std::unique_ptr<media::MovieSound> sound_;
    std::unique_ptr<avm1::Vm> vm_;
    // Holds script objects: goes before the interpreter.
    std::unique_ptr<SoundScript> soundScript_;
    // Declared after the interpreter: clips go first.
    std::map<int, std::unique_ptr<MovieClip>> levels_;
    std::vector<std::unique_ptr<DisplayObject>> graveyard_;
    std::deque<QueuedAction> lanes_[4];
    std::vector<PendingLoad> pendingLoads_;
    std::uint64_t frameActionStart_ = 0;
    bool actionBudgetSpent_ = false;
    int gotosThisFrame_ = 0;
    bool objectLimitReported_ = false;
    Quality quality_ = Quality::High;
    double timeMs_ = 0;
    std::mt19937 random_{std::random_device{}()};
    std::size_t liveObjects_ = 0;
    std::uint64_t instanceCounter_ = 0;
    std::uint64_t clipSequence_ = 0;
};

}  // namespace flash
