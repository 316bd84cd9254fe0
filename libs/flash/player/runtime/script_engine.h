#pragma once

#include <cstdint>
#include <span>

#include "flash/avm1/host.h"
#include "flash/avm1/value.h"

namespace flash {

// The machine that runs a movie's scripts, as the runtime drives it. The runtime keeps the
// display list, the queue of scripts and the clock; the machine runs what the queue hands it,
// keeps its own timers and objects, and counts its work for the frame budget. The AVM1 machine
// (script/avm1_engine.h) is the one there is; another machine would implement this beside it.
class ScriptEngine {
  public:
    virtual ~ScriptEngine() = default;

    // An action block queued for `target` (frame, init, clip event and button actions).
    virtual void RunCode(const avm1::ActionBytes& code, avm1::Clip& target, int version) = 0;
    // target[name](args) when the target's object has such a function (events such as
    // onEnterFrame or onPress).
    virtual void CallHandler(avm1::Clip& target, avm1::StringView name,
                             std::span<const avm1::Value> args, int version) = 0;
    // broadcaster.broadcastMessage(event, args...) of a global broadcaster ("Mouse", "Key").
    virtual void Broadcast(avm1::StringView broadcaster, avm1::StringView event,
                           std::span<const avm1::Value> args, int version) = 0;

    // Timers (setInterval, setTimeout) due at the runtime's time; whether any is pending.
    virtual void RunTimers() = 0;
    virtual bool HasTimers() const = 0;
    // Instructions run so far, for the frame budget.
    virtual std::uint64_t WorkDone() const = 0;

    // Whether a clip's object or its prototypes have onEnterFrame (so every tick may change
    // something).
    virtual bool HandlesEnterFrame(avm1::Clip& clip) = 0;
    // Whether a clip's object or its prototypes have a member of this name (any case).
    virtual bool HasHandler(avm1::Clip& clip, avm1::StringView name) = 0;
    // A display object left for good: its script object lets go of it.
    virtual void ObjectRemoved(avm1::Clip& clip) = 0;
    // Stage.showMenu (true unless a script set it false).
    virtual bool ShowMenu(int version) = 0;
};

}  // namespace flash
