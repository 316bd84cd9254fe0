// Video: attachVideo, clear, the decoded width and height, smoothing and deblocking.
#include <cmath>
#include "display/video_object.h"
#include "flash/avm1/native_member.h"
#include "flash/media/flv_playback.h"
#include "script/script_classes.h"

namespace flash {

using avm1::CallContext;
using avm1::Value;

// Defined with the NetStream class.
std::shared_ptr<VideoFeed> FeedOf(avm1::Object* stream);

namespace {

VideoObject* VideoOf(CallContext& c) {
    avm1::Object* self = c.This();
    avm1::Clip* clip = self != nullptr ? self->AsClip() : nullptr;
    return dynamic_cast<VideoObject*>(clip);
}

Value AttachVideo(CallContext& c) {
    if (VideoObject* video = VideoOf(c)) {
        video->Attach(FeedOf(c.Arg(0).AsObject()));
    }
    return Value();
}

Value Clear(CallContext& c) {
    if (VideoObject* video = VideoOf(c)) {
        video->Clear();
    }
    return Value();
}

Value Width(CallContext& c) {
    VideoObject* video = VideoOf(c);
    return Value::Number(video != nullptr ? video->DecodedWidth() : 0);
}

Value Height(CallContext& c) {
    VideoObject* video = VideoOf(c);
    return Value::Number(video != nullptr ? video->DecodedHeight() : 0);
}

Value Smoothing(CallContext& c) {
    VideoObject* video = VideoOf(c);
    return Value::Bool(video != nullptr && video->Smoothing());
}

Value SetSmoothing(CallContext& c) {
    if (VideoObject* video = VideoOf(c)) {
        video->SetSmoothing(c.vm.ToNumber(c.Arg(0), c.version) != 0 || c.Arg(0).AsBool());
    }
    return Value();
}

Value Deblocking(CallContext& c) {
    VideoObject* video = VideoOf(c);
    return Value::Number(video != nullptr ? video->Deblocking() : 0);
}

Value SetDeblocking(CallContext& c) {
    if (VideoObject* video = VideoOf(c)) {
        const double level = c.vm.ToNumber(c.Arg(0), c.version);
        video->SetDeblocking(std::isfinite(level) ? static_cast<int>(level) : 0);
    }
    return Value();
}

constexpr avm1::NativeMember kMembers[] = {
    avm1::Method(u"attachVideo", &AttachVideo),
    avm1::Method(u"clear", &Clear),
    avm1::Accessor(u"width", &Width),
    avm1::Accessor(u"height", &Height),
    avm1::Accessor(u"smoothing", &Smoothing, &SetSmoothing),
    avm1::Accessor(u"deblocking", &Deblocking, &SetDeblocking),
};

// Videos come from the library: scripts cannot make one with new.
Value Construct(CallContext&) {
    return Value();
}

}  // namespace

void InstallVideo(avm1::Vm& vm) {
    avm1::Object* global = vm.Global();
    if (global->Members().Find(u"Video", true) != nullptr) {
        return;
    }
    avm1::Object* ctor = vm.NewFunction(&Construct);
    avm1::Object* proto = vm.NewObject();
    vm.Define(ctor, u"prototype", Value::Obj(proto), avm1::kDontEnum);
    vm.Define(proto, u"constructor", Value::Obj(ctor), avm1::kDontEnum);
    avm1::DefineMembers(vm, proto, kMembers);
    vm.Define(global, u"Video", Value::Obj(ctor), avm1::kDontEnum);
}

}  // namespace flash
