#pragma once

// The Sound class of scripts: attachSound, loadSound, start, stop, volume, pan and transform,
// duration and position, onSoundComplete and onLoad.
//
// A Sound object names its clip by path and finds it again at each call, so it follows a clip
// that was removed and made again under the same name; without a target it controls the
// player's whole sound. Volume and transform belong to the clip (every Sound object of a clip
// shares them) and apply to the sounds started for it, timeline sounds included.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "flash/avm1/object.h"
#include "flash/avm1/vm.h"
#include "flash/media/movie_sound.h"

namespace flash {

class MovieClip;
class Runtime;
struct SoundNatives;

class SoundScript {
  public:
    explicit SoundScript(Runtime& runtime) : runtime_(runtime) {}
    SoundScript(const SoundScript&) = delete;
    SoundScript& operator=(const SoundScript&) = delete;

    // Once per tick: onLoad of the sounds loaded and onSoundComplete of those that ended.
    void Dispatch();
    // Whether a loaded sound or a playing Sound object still has an event to send.
    bool Pending() const { return !loaded_.empty() || !voices_.empty(); }
    // Forgets the global transform and the objects of what played (a new movie on level 0).
    void Reset();
    // The sound transform of a clip (the identity when scripts never set one).
    media::SoundMix ClipMix(MovieClip& clip);

    // The volume and the transform (ll, lr, rr, rl) in percent, as scripts see them.
    struct Transform {
        double volume = 100;
        double ll = 100, lr = 0, rr = 100, rl = 0;
        media::SoundMix Mix() const;
    };

  private:
    struct Loaded {
        avm1::Root sound;
        bool ok;
        bool id3;  // the file had an ID3 tag: onID3 first
    };

    static constexpr int kLoadRounds = 16;
    void DispatchLoads(avm1::Vm& vm, const std::vector<Loaded>& loaded, int version);

    Runtime& runtime_;
    Transform global_;
    // The objects of playing voices, kept for their onSoundComplete.
    std::map<media::MovieSound::VoiceId, avm1::Root> voices_;
    std::vector<Loaded> loaded_;

    friend struct SoundNatives;
};

}  // namespace flash
