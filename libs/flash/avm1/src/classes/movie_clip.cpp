// MovieClip: the methods the interpreter answers through the Clip and Host interfaces (the
// timeline, dragging, duplicating and removing). The runtime adds the ones that need the
// display list (player/script/movie_clip.cpp).
#include <algorithm>
#include <cmath>

#include "classes.h"
#include "flash/avm1/convert.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

Clip* ClipOf(CallContext& c) {
    Object* o = c.This();
    return o ? o->AsClip() : nullptr;
}

Value Construct(CallContext& c) {
    return c.thisValue;
}

Value Play(CallContext& c) {
    if (Clip* clip = ClipOf(c)) {
        clip->Play();
    }
    return Value();
}

Value Stop(CallContext& c) {
    if (Clip* clip = ClipOf(c)) {
        clip->Stop();
    }
    return Value();
}

Value NextFrame(CallContext& c) {
    if (Clip* clip = ClipOf(c)) {
        clip->GotoFrame(clip->CurrentFrame() + 1, false);
    }
    return Value();
}

Value PrevFrame(CallContext& c) {
    if (Clip* clip = ClipOf(c)) {
        if (clip->CurrentFrame() > 0) {
            clip->GotoFrame(clip->CurrentFrame() - 1, false);
        } else {
            clip->Stop();
        }
    }
    return Value();
}

// gotoAndPlay and gotoAndStop: the last argument is a frame number or a label.
Value GotoFrame(CallContext& c, bool play) {
    Clip* clip = ClipOf(c);
    if (!clip || c.args.empty()) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    const Value& f = c.args.back();
    if (f.IsString()) {
        double n = StringToNumber(f.AsString(), 7);
        if (std::isfinite(n)) {
            if (n >= 1) {
                clip->GotoFrame(static_cast<int>(std::min(n, 2147483647.0)) - 1, play);
            }
        } else {
            clip->GotoLabel(f.AsString(), play);
        }
        return Value();
    }
    double n = in.ToNumber(f, c.version);
    if (std::isfinite(n) && n >= 1) {
        clip->GotoFrame(static_cast<int>(std::min(std::trunc(n), 2147483647.0)) - 1, play);
    }
    return Value();
}

Value GotoAndPlay(CallContext& c) {
    return GotoFrame(c, true);
}

Value GotoAndStop(CallContext& c) {
    return GotoFrame(c, false);
}

Value StartDrag(CallContext& c) {
    Clip* clip = ClipOf(c);
    if (!clip) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    bool lock = ToBoolean(c.Arg(0), c.version);
    std::optional<DragRect> rect;
    if (c.args.size() >= 5) {
        rect = DragRect{in.ToNumber(c.args[1], c.version), in.ToNumber(c.args[2], c.version),
                        in.ToNumber(c.args[3], c.version), in.ToNumber(c.args[4], c.version)};
    }
    c.vm.host().StartDrag(*clip, lock, rect);
    return Value();
}

Value StopDrag(CallContext& c) {
    c.vm.host().StopDrag();
    return Value();
}

Value DuplicateMovieClip(CallContext& c) {
    Clip* clip = ClipOf(c);
    if (!clip || c.args.size() < 2) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    String name = in.ToString(c.args[0], c.version);
    double depth = in.ToNumber(c.args[1], c.version);
    c.vm.host().CloneSprite(*clip, name,
                            std::isfinite(depth)
                                ? static_cast<int>(std::clamp(depth, -2147483648.0, 2147483647.0))
                                : 0);
    Clip* parent = clip->Parent();
    Clip* made = parent ? parent->ChildByName(name, c.version >= 7) : nullptr;
    return made ? Value::Obj(c.vm.ObjectOf(*made)) : Value();
}

Value RemoveMovieClip(CallContext& c) {
    if (Clip* clip = ClipOf(c)) {
        c.vm.host().RemoveSprite(*clip);
    }
    return Value();
}

constexpr NativeMember kPrototype[] = {
    Method(u"play", Play),
    Method(u"stop", Stop),
    Method(u"nextFrame", NextFrame),
    Method(u"prevFrame", PrevFrame),
    Method(u"gotoAndPlay", GotoAndPlay),
    Method(u"gotoAndStop", GotoAndStop),
    Method(u"startDrag", StartDrag),
    Method(u"stopDrag", StopDrag),
    Method(u"duplicateMovieClip", DuplicateMovieClip),
    Method(u"removeMovieClip", RemoveMovieClip),
};

}  // namespace

void InstallMovieClip(Interpreter& in, Globals& g) {
    MakeClass(in, u"MovieClip", g.movieClipProto, Construct);
    DefineMembers(in.vm(), g.movieClipProto, kPrototype);
}

}  // namespace flash::avm1
