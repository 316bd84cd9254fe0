// NetStream: play, pause, resume, togglePause, seek, close, setBufferTime, the time and buffer
// figures, and the status and script data handlers. The streams themselves are tracked here.
#include "script/net_stream.h"

#include <algorithm>
#include <cmath>

#include "display/movie_clip.h"
#include "display/video_object.h"
#include "flash/avm1/native_member.h"
#include "flash/media/flv_playback.h"
#include "runtime/movie_data.h"
#include "runtime/movie_source.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

using avm1::CallContext;
using avm1::Value;

// What a NetStream object holds beyond its members, hung on it under a hidden name.
struct NetStreamState final : public avm1::Object {
    NetStreamState() : Object(nullptr, avm1::ObjectClass::Host) {}

    std::shared_ptr<VideoFeed> feed = std::make_shared<VideoFeed>();
    double bufferTime = 0.1;
};

namespace {

constexpr char16_t kStateMember[] = u"__netStream";

NetStreamState* StateOf(avm1::Object* object) {
    if (object == nullptr) {
        return nullptr;
    }
    const avm1::Member* m = object->Members().Find(kStateMember, true);
    return m != nullptr ? dynamic_cast<NetStreamState*>(m->value.AsObject()) : nullptr;
}

NetStreamState* StateOf(CallContext& c) {
    return StateOf(c.This());
}

NetStreamScript& ScriptOf(CallContext& c) {
    return RuntimeOf(c).NetStreams();
}

media::FlvPlayback* PlaybackOf(CallContext& c) {
    NetStreamState* s = StateOf(c);
    return s != nullptr ? s->feed->playback.get() : nullptr;
}

// Script data as script values: objects and ECMA arrays as objects, strict arrays as arrays.
Value ToValue(avm1::Vm& vm, const media::AmfValue& v, int version) {
    using T = media::AmfValue::Type;
    switch (v.type) {
        case T::Number:
        case T::Date:
            return Value::Number(v.number);
        case T::Boolean:
            return Value::Bool(v.boolean);
        case T::String:
            return Value::Str(avm1::FromUtf8(v.string));
        case T::Null:
            return Value::Null();
        case T::Object:
        case T::EcmaArray: {
            avm1::Object* o = vm.NewObject();
            for (const media::AmfMember& m : v.members) {
                vm.Set(o, avm1::FromUtf8(m.name), ToValue(vm, m.value, version), version);
            }
            return Value::Obj(o);
        }
        case T::StrictArray: {
            std::vector<Value> elements;
            elements.reserve(v.elements.size());
            for (const media::AmfValue& e : v.elements) {
                elements.push_back(ToValue(vm, e, version));
            }
            return Value::Obj(vm.NewArray(elements));
        }
        case T::Undefined:
            break;
    }
    return Value();
}

Value Construct(CallContext& c) {
    avm1::Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    avm1::Object* held = c.vm.Adopt(std::make_unique<NetStreamState>());
    c.vm.Define(self, kStateMember, Value::Obj(held), avm1::kDontEnum);
    return Value();
}

Value Play(CallContext& c) {
    NetStreamState* s = StateOf(c);
    if (s == nullptr) {
        return Value();
    }
    Runtime& runtime = ScriptOf(c).GetRuntime();
    MovieClip* root = runtime.LevelClip(0);
    const std::string base = root != nullptr ? root->Movie().Url() : std::string();
    const std::string url = ResolveMovieUrl(avm1::ToUtf8(c.vm.ToString(c.Arg(0), c.version)), base);
    const std::optional<std::string> path = LocalPath(url);
    media::FlvPlayback::Options options;
    // Headless runs wait for the decoding, so each frame shows the same whatever the machine.
    options.waitForWorker = !runtime.DecodesInBackground();
    // A network address has no file: the opener says so and the stream reports it not found.
    media::SourceOpener opener =
        path ? media::FileOpener(*path) : media::SourceOpener([](std::string* error) {
            if (error != nullptr) {
                *error = "only local files are played";
            }
            return std::unique_ptr<media::ByteSource>();
        });
    s->feed->playback =
        std::make_shared<media::FlvPlayback>(std::move(opener), runtime.SoundMixer(), options);
    s->feed->playback->SetBufferTime(s->bufferTime);
    s->feed->playback->SetVolume(runtime.SoundVolume());
    ScriptOf(c).Track(c.This(), s);
    return Value();
}

// pause() toggles, pause(flag) pauses or resumes.
Value Pause(CallContext& c) {
    if (media::FlvPlayback* p = PlaybackOf(c)) {
        p->SetPaused(c.args.empty() || c.Arg(0).IsUndefined()
                         ? !p->Paused()
                         : c.vm.ToNumber(c.Arg(0), c.version) != 0 || c.Arg(0).AsBool());
    }
    return Value();
}

Value TogglePause(CallContext& c) {
    if (media::FlvPlayback* p = PlaybackOf(c)) {
        p->SetPaused(!p->Paused());
    }
    return Value();
}

Value Resume(CallContext& c) {
    if (media::FlvPlayback* p = PlaybackOf(c)) {
        p->SetPaused(false);
    }
    return Value();
}

Value Seek(CallContext& c) {
    if (media::FlvPlayback* p = PlaybackOf(c)) {
        p->Seek(c.vm.ToNumber(c.Arg(0), c.version));
    }
    return Value();
}

Value Close(CallContext& c) {
    NetStreamState* s = StateOf(c);
    if (s != nullptr && s->feed->playback) {
        ScriptOf(c).Untrack(s);
        // The Videos keep the last picture; the stream stops.
        s->feed->playback->SetPaused(true);
    }
    return Value();
}

Value SetBufferTime(CallContext& c) {
    NetStreamState* s = StateOf(c);
    if (s != nullptr) {
        const double t = c.vm.ToNumber(c.Arg(0), c.version);
        s->bufferTime = std::isfinite(t) ? std::max(0.0, t) : 0.0;
        if (s->feed->playback) {
            s->feed->playback->SetBufferTime(s->bufferTime);
        }
    }
    return Value();
}

template <typename F>
Value Figure(CallContext& c, F&& figure) {
    media::FlvPlayback* p = PlaybackOf(c);
    return Value::Number(p != nullptr ? figure(*p) : 0.0);
}

Value Time(CallContext& c) {
    return Figure(c, [](const media::FlvPlayback& p) { return p.Time(); });
}
Value BufferLength(CallContext& c) {
    return Figure(c, [](const media::FlvPlayback& p) { return p.BufferLength(); });
}
Value BytesLoaded(CallContext& c) {
    return Figure(c, [](const media::FlvPlayback& p) { return double(p.BytesLoaded()); });
}
Value BytesTotal(CallContext& c) {
    return Figure(c, [](const media::FlvPlayback& p) { return double(p.BytesTotal()); });
}
Value CurrentFps(CallContext& c) {
    return Figure(c, [](const media::FlvPlayback& p) { return p.CurrentFps(); });
}
Value LiveDelay(CallContext&) {
    return Value::Number(0);  // local files are not live
}
Value BufferTime(CallContext& c) {
    NetStreamState* s = StateOf(c);
    return Value::Number(s != nullptr ? s->bufferTime : 0.1);
}

constexpr avm1::NativeMember kMembers[] = {
    avm1::Method(u"play", &Play),
    avm1::Method(u"pause", &Pause),
    avm1::Method(u"togglePause", &TogglePause),
    avm1::Method(u"resume", &Resume),
    avm1::Method(u"seek", &Seek),
    avm1::Method(u"close", &Close),
    avm1::Method(u"setBufferTime", &SetBufferTime),
    avm1::Method(u"getBytesLoaded", &BytesLoaded),
    avm1::Method(u"getBytesTotal", &BytesTotal),
    avm1::Accessor(u"time", &Time),
    avm1::Accessor(u"bufferLength", &BufferLength),
    avm1::Accessor(u"bufferTime", &BufferTime),
    avm1::Accessor(u"bytesLoaded", &BytesLoaded),
    avm1::Accessor(u"bytesTotal", &BytesTotal),
    avm1::Accessor(u"currentFps", &CurrentFps),
    avm1::Accessor(u"liveDelay", &LiveDelay),
};

// An info object as onStatus gets it.
Value Info(avm1::Vm& vm, const media::FlvEvent& e, int version) {
    avm1::Object* info = vm.NewObject();
    vm.Set(info, u"code", Value::Str(avm1::FromUtf8(e.code)), version);
    vm.Set(info, u"level", Value::Str(avm1::FromUtf8(e.level)), version);
    if (e.details >= 0) {
        vm.Set(info, u"details", Value::Number(e.details), version);
    }
    return Value::Obj(info);
}

}  // namespace

std::shared_ptr<VideoFeed> FeedOf(avm1::Object* stream) {
    NetStreamState* s = StateOf(stream);
    return s != nullptr ? s->feed : nullptr;
}

void InstallNetStream(avm1::Vm& vm) {
    avm1::Object* global = vm.Global();
    if (global->Members().Find(u"NetStream", true) != nullptr) {
        return;
    }
    avm1::Object* ctor = vm.NewFunction(&Construct, 1);
    avm1::Object* proto = vm.NewObject();
    vm.Define(ctor, u"prototype", Value::Obj(proto), avm1::kDontEnum);
    vm.Define(proto, u"constructor", Value::Obj(ctor), avm1::kDontEnum);
    avm1::DefineMembers(vm, proto, kMembers);
    vm.Define(global, u"NetStream", Value::Obj(ctor), avm1::kDontEnum);
}

NetStreamScript::NetStreamScript(Runtime& runtime) : runtime_(runtime) {}

NetStreamScript::~NetStreamScript() = default;

void NetStreamScript::Track(avm1::Object* stream, NetStreamState* state) {
    if (std::none_of(streams_.begin(), streams_.end(),
                     [state](const Tracked& t) { return t.state == state; })) {
        streams_.push_back({avm1::Root(stream), state});
    }
}

void NetStreamScript::Untrack(NetStreamState* state) {
    std::erase_if(streams_, [state](const Tracked& t) { return t.state == state; });
}

bool NetStreamScript::Pending() const {
    return std::any_of(streams_.begin(), streams_.end(), [](const Tracked& t) {
        return t.state->feed->playback && t.state->feed->playback->Active();
    });
}

void NetStreamScript::Dispatch() {
    MovieClip* root = runtime_.LevelClip(0);
    const int version = root != nullptr ? root->SwfVersion() : 7;
    const double seconds = 1.0 / runtime_.FrameRate();
    avm1::Vm& vm = runtime_.Vm();
    // A handler may play, close or make streams: walk a copy.
    const std::vector<Tracked> streams = streams_;
    for (const Tracked& t : streams) {
        std::shared_ptr<media::FlvPlayback> playback = t.state->feed->playback;
        if (!playback) {
            continue;
        }
        playback->SetVolume(runtime_.SoundVolume());
        playback->Tick(seconds);
        for (const media::FlvEvent& e : playback->TakeEvents()) {
            // A stream played from a file reports no pauses to ActionScript 2 handlers.
            if (e.code == "NetStream.Pause.Notify" || e.code == "NetStream.Unpause.Notify") {
                continue;
            }
            avm1::Object* self = t.object.get();
            if (e.kind == media::FlvEvent::Kind::Script) {
                const Value arg = ToValue(vm, e.value, version);
                vm.CallMethod(self, avm1::FromUtf8(e.handler), std::span(&arg, 1), version);
                continue;
            }
            const Value info = Info(vm, e, version);
            if (e.level == "error" && !vm.IsFunction(vm.Get(self, u"onStatus", version))) {
                // Errors nobody handles go to System.onStatus.
                if (avm1::Object* system = vm.Get(vm.Global(), u"System", version).AsObject()) {
                    vm.CallMethod(system, u"onStatus", std::span(&info, 1), version);
                }
                continue;
            }
            vm.CallMethod(self, u"onStatus", std::span(&info, 1), version);
        }
    }
}

void NetStreamScript::Reset() {
    for (const Tracked& t : streams_) {
        t.state->feed->playback.reset();
    }
    streams_.clear();
}

void NetStreamScript::VideoPlaced(VideoObject& video) {
    avm1::Vm& vm = runtime_.Vm();
    const avm1::Member* ctor = vm.Global()->Members().Find(u"Video", true);
    avm1::Object* object = ctor != nullptr ? ctor->value.AsObject() : nullptr;
    if (avm1::Object* proto = object ? vm.Get(object, u"prototype", 7).AsObject() : nullptr) {
        vm.ObjectOf(video)->SetProto(proto);
    }
}

}  // namespace flash
