#pragma once

// The streams of NetStream objects (the classes NetConnection, NetStream and Video are in
// their own files). A NetStream plays an FLV file through the media library's playback; a
// Video on the stage shows what the stream it is attached to shows. Streams move on once per
// tick, and their status and script data reach onStatus, onMetaData, onCuePoint and the other
// handlers then.

#include <memory>
#include <vector>

#include "flash/avm1/object.h"
#include "flash/avm1/vm.h"

namespace flash {

class Runtime;
class VideoObject;
struct NetStreamState;

class NetStreamScript {
  public:
    explicit NetStreamScript(Runtime& runtime);
    ~NetStreamScript();
    NetStreamScript(const NetStreamScript&) = delete;
    NetStreamScript& operator=(const NetStreamScript&) = delete;

    // Once per tick: every stream moves on and tells its handlers what happened.
    void Dispatch();
    // Whether a stream may change something at the next tick.
    bool Pending() const;
    // A new movie on level 0: every stream stops.
    void Reset();
    // A Video put on the stage: scripts see it with Video's methods.
    void VideoPlaced(VideoObject& video);

    // The streams' side (net_stream.cpp).
    Runtime& GetRuntime() { return runtime_; }
    // A stream that plays is kept, with its object, until it is closed.
    void Track(avm1::Object* stream, NetStreamState* state);
    void Untrack(NetStreamState* state);

  private:
    struct Tracked {
        avm1::Root object;
        NetStreamState* state;
    };

    Runtime& runtime_;
    std::vector<Tracked> streams_;
};

}  // namespace flash
