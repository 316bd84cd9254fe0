// MovieClip: the methods that work on the display list (attachMovie, createEmptyMovieClip,
// depths, bounds, coordinates, hit tests, bytes, loadMovie). The interpreter makes the class
// and answers the timeline methods itself (avm1/src/classes/movie_clip.cpp).
#include <algorithm>
#include <cmath>

#include "display/movie_clip.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Method;
using avm1::Value;

MovieClip* ThisClip(CallContext& c) {
    avm1::Object* o = c.This();
    return o != nullptr ? dynamic_cast<MovieClip*>(o->AsClip()) : nullptr;
}

// A clip named by a value: a clip's object, or a target path relative to `base`.
MovieClip* ClipOf(CallContext& c, const Value& v, MovieClip& base) {
    if (avm1::Object* o = v.AsObject()) {
        return dynamic_cast<MovieClip*>(o->AsClip());
    }
    if (v.IsString()) {
        return dynamic_cast<MovieClip*>(c.vm.ResolveTarget(v.AsString(), &base, c.version));
    }
    return nullptr;
}

// Any display object named by a value (clip, button or text field).
DisplayObject* DisplayOf(CallContext& c, const Value& v, MovieClip& base) {
    avm1::Clip* clip = nullptr;
    if (avm1::Object* o = v.AsObject()) {
        clip = o->AsClip();
    } else if (v.IsString()) {
        clip = c.vm.ResolveTarget(v.AsString(), &base, c.version);
    }
    return dynamic_cast<DisplayObject*>(clip);
}

double Number(CallContext& c, std::size_t i) {
    return c.vm.ToNumber(c.Arg(i), c.version);
}

Value ObjectOf(CallContext& c, MovieClip* clip) {
    return clip != nullptr ? Value::Obj(c.vm.ObjectOf(*clip)) : Value();
}

// From the object's own twips to the stage's (its level's root space).
Matrix ToStage(const DisplayObject& object) {
    return object.ToStage();
}

// Script depth <-> display list depth.
constexpr int kDepthOffset = 16384;
constexpr double kMaxScriptDepth = 2130690045;

std::optional<int> ListDepth(double scriptDepth) {
    if (!std::isfinite(scriptDepth) || scriptDepth < -kDepthOffset ||
        scriptDepth > kMaxScriptDepth) {
        return std::nullopt;
    }
    return static_cast<int>(std::trunc(scriptDepth)) + kDepthOffset;
}

void CopyMembers(CallContext& c, const Value& from, MovieClip& to) {
    avm1::Object* source = from.AsObject();
    if (source == nullptr) {
        return;
    }
    avm1::Object* target = c.vm.ObjectOf(to);
    std::vector<std::pair<avm1::String, Value>> members;
    source->Members().ForEach([&](const avm1::Member& m) {
        if (!m.IsAccessor()) {
            members.emplace_back(m.name, m.value);
        }
    });
    for (const auto& [name, value] : members) {
        c.vm.Set(target, name, value, c.version);
    }
}

Value AttachMovie(CallContext& c) {
    MovieClip* parent = ThisClip(c);
    if (parent == nullptr || c.args.size() < 3) {
        return Value();
    }
    avm1::String linkage = c.vm.ToString(c.Arg(0), c.version);
    avm1::String name = c.vm.ToString(c.Arg(1), c.version);
    std::optional<int> depth = ListDepth(Number(c, 2));
    std::optional<std::uint16_t> id = parent->Movie().ExportedId(linkage);
    if (!depth || !id) {
        return Value();
    }
    MovieClip* clip = parent->GetRuntime().AttachClip(
        *parent, *id, name, *depth, [&](MovieClip& made) { CopyMembers(c, c.Arg(3), made); });
    return ObjectOf(c, clip);
}

Value CreateEmptyMovieClip(CallContext& c) {
    MovieClip* parent = ThisClip(c);
    if (parent == nullptr || c.args.size() < 2) {
        return Value();
    }
    std::optional<int> depth = ListDepth(Number(c, 1));
    if (!depth) {
        return Value();
    }
    MovieClip* clip =
        parent->GetRuntime().CreateEmptyClip(*parent, c.vm.ToString(c.Arg(0), c.version), *depth);
    return ObjectOf(c, clip);
}

Value GetDepth(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    return clip ? Value::Number(clip->Depth() - kDepthOffset) : Value();
}

Value SwapDepths(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    MovieClip* parent = clip ? clip->ParentClip() : nullptr;
    if (parent == nullptr || c.args.empty()) {
        return Value();
    }
    std::optional<int> depth;
    if (c.Arg(0).IsObject() || c.Arg(0).IsString()) {
        DisplayObject* other = DisplayOf(c, c.Arg(0), *parent);
        if (other != nullptr && other->ParentClip() == parent) {
            depth = other->Depth();
        }
    } else {
        depth = ListDepth(Number(c, 0));
    }
    if (depth) {
        parent->SwapDepth(clip->Depth(), *depth);
    }
    return Value();
}

Value GetNextHighestDepth(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    if (clip == nullptr) {
        return Value();
    }
    int highest = -1;
    for (const auto& [depth, child] : clip->DisplayList()) {
        highest = std::max(highest, depth - kDepthOffset);
    }
    return Value::Number(highest + 1);
}

Value GetInstanceAtDepth(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    std::optional<int> depth = ListDepth(Number(c, 0));
    if (clip == nullptr || !depth) {
        return Value();
    }
    DisplayObject* child = clip->ChildAt(*depth);
    return ObjectOf(c, child != nullptr ? child->AsClip() : nullptr);
}

// The corner of the bounds of a clip with nothing in it, in twips.
std::int32_t InvalidBoundsCorner(MovieClip& clip, int version, bool ownSpace) {
    Runtime& runtime = clip.GetRuntime();
    MovieClip* root = runtime.LevelClip(0);
    bool late = version >= 8 || (root != nullptr && root->SwfVersion() >= 8);
    // Measured in its own space the clip gives the corner as it was before this call.
    bool rounded = runtime.InvalidBoundsRounded();
    if (late) {
        runtime.RoundInvalidBounds();
    }
    return (ownSpace ? rounded : runtime.InvalidBoundsRounded()) ? 0x8000000 : 0x7FFFFFF;
}

Value GetBounds(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    if (clip == nullptr) {
        return Value();
    }
    // Without an argument the clip's own space.
    Matrix m;
    MovieClip* space = clip;
    if (!c.args.empty()) {
        space = ClipOf(c, c.Arg(0), *clip);
        if (space == nullptr) {
            return Value();
        }
        std::optional<Matrix> inverse = ToStage(*space).Inverted();
        if (!inverse) {
            return Value();
        }
        m = *inverse * ToStage(*clip);
    }
    Rect local = clip->LocalBounds();
    avm1::Object* box = c.vm.NewObject();
    Rect b;
    if (local.empty()) {
        std::int32_t corner = InvalidBoundsCorner(*clip, c.version, space == clip);
        b = Rect{corner, corner, corner, corner};
    } else {
        b = m.Apply(local);
    }
    c.vm.Set(box, u"xMin", Value::Number(b.xmin / 20.0), c.version);
    c.vm.Set(box, u"xMax", Value::Number(b.xmax / 20.0), c.version);
    c.vm.Set(box, u"yMin", Value::Number(b.ymin / 20.0), c.version);
    c.vm.Set(box, u"yMax", Value::Number(b.ymax / 20.0), c.version);
    return Value::Obj(box);
}

// Moves a point object ({x, y} in pixels) between the clip's space and the stage's.
Value TransformPoint(CallContext& c, bool toGlobal) {
    MovieClip* clip = ThisClip(c);
    avm1::Object* point = c.Arg(0).AsObject();
    if (clip == nullptr || point == nullptr) {
        return Value();
    }
    Matrix m = ToStage(*clip);
    std::optional<Matrix> inverse = m.Inverted();
    if (!toGlobal && !inverse) {
        return Value();
    }
    double x = c.vm.ToNumber(c.vm.Get(point, u"x", c.version), c.version) * 20.0;
    double y = c.vm.ToNumber(c.vm.Get(point, u"y", c.version), c.version) * 20.0;
    Point p = (toGlobal ? m : *inverse).Apply(Point{x, y});
    c.vm.Set(point, u"x", Value::Number(p.x / 20.0), c.version);
    c.vm.Set(point, u"y", Value::Number(p.y / 20.0), c.version);
    return Value();
}

Value HitTest(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    if (clip == nullptr || c.args.empty()) {
        return Value::Bool(false);
    }
    Rect mine = ToStage(*clip).Apply(clip->LocalBounds());
    if (mine.empty()) {
        return Value::Bool(false);
    }
    if (c.args.size() >= 2) {
        double x = Number(c, 0) * 20.0;
        double y = Number(c, 1) * 20.0;
        if (avm1::ToBoolean(c.Arg(2), c.version)) {
            // With the shape flag the point must fall on what the clip shows.
            std::optional<Matrix> inverse = ToStage(*clip).Inverted();
            return Value::Bool(inverse && clip->HitsPoint(inverse->Apply(Point{x, y})));
        }
        return Value::Bool(x >= mine.xmin && x <= mine.xmax && y >= mine.ymin && y <= mine.ymax);
    }
    MovieClip* other = ClipOf(c, c.Arg(0), *clip);
    if (other == nullptr) {
        return Value::Bool(false);
    }
    Rect theirs = ToStage(*other).Apply(other->LocalBounds());
    return Value::Bool(!theirs.empty() && mine.xmin <= theirs.xmax && theirs.xmin <= mine.xmax &&
                       mine.ymin <= theirs.ymax && theirs.ymin <= mine.ymax);
}

Value BytesLoaded(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    return clip ? Value::Number(clip->BytesLoaded()) : Value();
}

Value BytesTotal(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    return clip ? Value::Number(clip->BytesTotal()) : Value();
}

Value SwfVersion(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    if (clip == nullptr) {
        return Value();
    }
    // An image has no movie version.
    return Value::Number(clip->Movie().IsImage() ? -1 : clip->SwfVersion());
}

// loadMovie and unloadMovie of a clip: a load between frames, as the global functions ask.
Value LoadMovie(CallContext& c, bool unload) {
    MovieClip* clip = ThisClip(c);
    if (clip == nullptr) {
        return Value();
    }
    avm1::UrlRequest request;
    request.url = unload ? avm1::String() : c.vm.ToString(c.Arg(0), c.version);
    request.target = c.vm.DotPath(*clip);
    request.loadTarget = true;
    request.source = clip;
    if (clip->ParentClip() == nullptr) {
        request.targetLevel = clip->Level();
    } else {
        request.targetClip = clip;
    }
    c.vm.host().GetUrl(request);
    return Value();
}

Value LocalToGlobal(CallContext& c) {
    return TransformPoint(c, true);
}

Value GlobalToLocal(CallContext& c) {
    return TransformPoint(c, false);
}

Value LoadMovieFn(CallContext& c) {
    return LoadMovie(c, false);
}

Value UnloadMovie(CallContext& c) {
    return LoadMovie(c, true);
}

constexpr avm1::NativeMember kPrototype[] = {
    Method(u"attachMovie", AttachMovie),
    Method(u"createEmptyMovieClip", CreateEmptyMovieClip),
    Method(u"getDepth", GetDepth),
    Method(u"swapDepths", SwapDepths),
    Method(u"getNextHighestDepth", GetNextHighestDepth),
    Method(u"getInstanceAtDepth", GetInstanceAtDepth),
    Method(u"getBounds", GetBounds),
    Method(u"getRect", GetBounds),
    Method(u"localToGlobal", LocalToGlobal),
    Method(u"globalToLocal", GlobalToLocal),
    Method(u"hitTest", HitTest),
    Method(u"getBytesLoaded", BytesLoaded),
    Method(u"getBytesTotal", BytesTotal),
    Method(u"getSWFVersion", SwfVersion),
    Method(u"loadMovie", LoadMovieFn),
    Method(u"unloadMovie", UnloadMovie),
};

}  // namespace

void InstallMovieClip(avm1::Vm& vm) {
    avm1::DefineMembers(vm, vm.MovieClipPrototype(), kPrototype);
    InstallMovieClipDrawing(vm);
    InstallMovieClipData(vm);
    // Clips take the mouse and show the hand until a script says otherwise.
    AddInteractiveDefaults(vm, vm.MovieClipPrototype());
}

}  // namespace flash
