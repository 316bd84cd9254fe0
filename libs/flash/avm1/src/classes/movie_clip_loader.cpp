// MovieClipLoader: loadClip and unloadClip through the host's URL requests; a broadcaster whose
// first listener is itself.
#include <cmath>

#include "classes.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

Value Construct(CallContext& c) {
    if (Object* self = c.This()) {
        // The loader hears its own events first.
        ArrayObject* list = InterpreterOf(c.vm).NewArray();
        list->Push(c.vm, c.thisValue);
        c.vm.Define(self, u"_listeners", Value::Obj(list), kDontEnum);
    }
    return c.thisValue;
}

// loadClip(url, target) and unloadClip(target): target is a clip, a path or a level.
Value Load(CallContext& c, const Value& url, const Value& target) {
    Interpreter& in = InterpreterOf(c.vm);
    UrlRequest req;
    req.url = url.IsUndefined() ? String() : in.ToString(url, c.version);
    req.loadTarget = true;
    req.loader = url.IsUndefined() ? nullptr : c.This();
    if (target.IsNumber()) {
        double level = target.AsNumber();
        if (!(level >= 0 && level < 16000)) {
            return Value::Bool(false);
        }
        req.targetLevel = static_cast<int>(level);
        req.target = u"_level" + in.ToString(Value::Number(std::trunc(level)), c.version);
    } else {
        Clip* clip = nullptr;
        if (Object* o = target.AsObject()) {
            clip = o->AsClip();
        } else if (target.IsString()) {
            clip = in.ResolveTargetPath(target.AsString(), in.host().Level(0), c.version);
        }
        if (!clip) {
            return Value::Bool(false);
        }
        req.target = in.DotPath(*clip);
        if (clip->Parent()) {
            req.targetClip = clip;
        } else {
            req.targetLevel = clip->LevelNumber();
        }
    }
    in.host().GetUrl(req);
    return Value::Bool(true);
}

Value LoadClip(CallContext& c) {
    return Load(c, c.Arg(0), c.Arg(1));
}

Value UnloadClip(CallContext& c) {
    return Load(c, Value(), c.Arg(0));
}

// getProgress(target): {bytesLoaded, bytesTotal} of a clip, a path or a level; both undefined
// when no such clip is there, and undefined itself for anything that names no clip.
Value GetProgress(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    const Value& target = c.Arg(0);
    Clip* clip = nullptr;
    if (target.IsNumber()) {
        double level = target.AsNumber();
        clip = level >= 0 && level < 16000 ? in.host().Level(static_cast<int>(level)) : nullptr;
    } else if (target.IsString()) {
        clip = in.ResolveTargetPath(target.AsString(), in.host().Level(0), c.version);
    } else if (Object* o = target.AsObject(); o != nullptr && o->AsClip() != nullptr) {
        clip = o->AsClip();
    } else {
        return Value();
    }
    Object* progress = c.vm.NewObject();
    c.vm.Set(progress, u"bytesLoaded", clip ? Value::Number(clip->BytesLoaded()) : Value(),
             c.version);
    c.vm.Set(progress, u"bytesTotal", clip ? Value::Number(clip->BytesTotal()) : Value(),
             c.version);
    return Value::Obj(progress);
}

constexpr NativeMember kPrototype[] = {
    Method(u"loadClip", LoadClip),
    Method(u"unloadClip", UnloadClip),
    Method(u"getProgress", GetProgress),
};

}  // namespace

void InstallMovieClipLoader(Interpreter& in, Globals& g) {
    Object* proto = in.vm().New<Object>(g.objectProto);
    MakeClass(in, u"MovieClipLoader", proto, Construct);
    DefineMembers(in.vm(), proto, kPrototype);
    AddBroadcasterMethods(in, proto, kDontEnum);
}

}  // namespace flash::avm1
