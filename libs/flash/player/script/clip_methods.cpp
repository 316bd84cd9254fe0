#include "script/clip_methods.h"

#include <algorithm>
#include <cmath>

#include "display/movie_clip.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "runtime/movie_data.h"
#include "runtime/runtime.h"

namespace flash {

namespace {

using avm1::CallContext;
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
        MovieClip* other = ClipOf(c, c.Arg(0), *parent);
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

Value GetBounds(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    if (clip == nullptr) {
        return Value();
    }
    Matrix m = ToStage(*clip);
    if (!c.args.empty()) {
        MovieClip* space = ClipOf(c, c.Arg(0), *clip);
        if (space == nullptr) {
            return Value();
        }
        std::optional<Matrix> inverse = ToStage(*space).Inverted();
        if (!inverse) {
            return Value();
        }
        m = *inverse * m;
    } else {
        m = clip->GetMatrix().Inverted().value_or(Matrix()) * m;
    }
    Rect local = clip->LocalBounds();
    avm1::Object* box = c.vm.NewObject();
    Rect b = local.empty() ? Rect{6710886, 6710886, 6710886, 6710886} : m.Apply(local);
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

Value BytesTotal(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    return clip ? Value::Number(clip->Movie().Model().header.fileLength) : Value();
}

Value SwfVersion(CallContext& c) {
    MovieClip* clip = ThisClip(c);
    return clip ? Value::Number(clip->SwfVersion()) : Value();
}

// Color: new Color(target) colours a clip through its colour transform.
MovieClip* ColorTarget(CallContext& c) {
    avm1::Object* self = c.This();
    if (self == nullptr) {
        return nullptr;
    }
    Value target = c.vm.Get(self, u"__target", c.version);
    if (avm1::Object* o = target.AsObject()) {
        return dynamic_cast<MovieClip*>(o->AsClip());
    }
    if (target.IsString() || target.IsUndefined()) {
        avm1::Clip* root = c.vm.host().Level(0);
        auto* base = dynamic_cast<MovieClip*>(root);
        if (base == nullptr) {
            return nullptr;
        }
        if (target.IsUndefined()) {
            return base;
        }
        return dynamic_cast<MovieClip*>(c.vm.ResolveTarget(target.AsString(), base, c.version));
    }
    return nullptr;
}

Value ColorConstruct(CallContext& c) {
    if (avm1::Object* self = c.This()) {
        c.vm.Define(self, u"__target", c.Arg(0), avm1::kDontEnum);
    }
    return Value();
}

Value ColorSetRgb(CallContext& c) {
    MovieClip* clip = ColorTarget(c);
    if (clip == nullptr || c.args.empty()) {
        return Value();
    }
    std::uint32_t rgb = avm1::ToUint32(Number(c, 0));
    ColorTransform t = clip->GetColorTransform();
    t.rMult = t.gMult = t.bMult = 0;
    t.rAdd = (rgb >> 16) & 0xFF;
    t.gAdd = (rgb >> 8) & 0xFF;
    t.bAdd = rgb & 0xFF;
    clip->SetColorTransform(t);
    clip->SetScriptTransformed();
    return Value();
}

Value ColorGetRgb(CallContext& c) {
    MovieClip* clip = ColorTarget(c);
    if (clip == nullptr) {
        return Value();
    }
    const ColorTransform& t = clip->GetColorTransform();
    auto part = [](double v) {
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(v)) & 0xFF;
    };
    return Value::Number((part(t.rAdd) << 16) | (part(t.gAdd) << 8) | part(t.bAdd));
}

Value ColorSetTransform(CallContext& c) {
    MovieClip* clip = ColorTarget(c);
    avm1::Object* o = c.Arg(0).AsObject();
    if (clip == nullptr || o == nullptr) {
        return Value();
    }
    ColorTransform t = clip->GetColorTransform();
    struct Field {
        const char16_t* name;
        double* slot;
        double scale;
    } fields[] = {{u"ra", &t.rMult, 0.01}, {u"ga", &t.gMult, 0.01}, {u"ba", &t.bMult, 0.01},
                  {u"aa", &t.aMult, 0.01}, {u"rb", &t.rAdd, 1},     {u"gb", &t.gAdd, 1},
                  {u"bb", &t.bAdd, 1},     {u"ab", &t.aAdd, 1}};
    for (const auto& f : fields) {
        Value v = c.vm.Get(o, f.name, c.version);
        if (!v.IsUndefined()) {
            double n = c.vm.ToNumber(v, c.version);
            if (std::isfinite(n)) {
                *f.slot = n * f.scale;
            }
        }
    }
    clip->SetColorTransform(t);
    clip->SetScriptTransformed();
    return Value();
}

Value ColorGetTransform(CallContext& c) {
    MovieClip* clip = ColorTarget(c);
    if (clip == nullptr) {
        return Value();
    }
    const ColorTransform& t = clip->GetColorTransform();
    avm1::Object* o = c.vm.NewObject();
    c.vm.Set(o, u"ra", Value::Number(t.rMult * 100), c.version);
    c.vm.Set(o, u"rb", Value::Number(t.rAdd), c.version);
    c.vm.Set(o, u"ga", Value::Number(t.gMult * 100), c.version);
    c.vm.Set(o, u"gb", Value::Number(t.gAdd), c.version);
    c.vm.Set(o, u"ba", Value::Number(t.bMult * 100), c.version);
    c.vm.Set(o, u"bb", Value::Number(t.bAdd), c.version);
    c.vm.Set(o, u"aa", Value::Number(t.aMult * 100), c.version);
    c.vm.Set(o, u"ab", Value::Number(t.aAdd), c.version);
    return Value::Obj(o);
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

// Adds a native unless the interpreter already defines one of that name.
void AddMethod(avm1::Vm& vm, avm1::Object* proto, const char16_t* name, avm1::NativeFn fn) {
    if (proto->Members().Find(name, true) == nullptr) {
        vm.DefineNative(proto, name, std::move(fn));
    }
}

}  // namespace

void InstallClipMethods(avm1::Vm& vm) {
    avm1::Object* proto = vm.MovieClipPrototype();
    AddMethod(vm, proto, u"attachMovie", AttachMovie);
    AddMethod(vm, proto, u"createEmptyMovieClip", CreateEmptyMovieClip);
    AddMethod(vm, proto, u"getDepth", GetDepth);
    AddMethod(vm, proto, u"swapDepths", SwapDepths);
    AddMethod(vm, proto, u"getNextHighestDepth", GetNextHighestDepth);
    AddMethod(vm, proto, u"getInstanceAtDepth", GetInstanceAtDepth);
    AddMethod(vm, proto, u"getBounds", GetBounds);
    AddMethod(vm, proto, u"getRect", GetBounds);
    AddMethod(vm, proto, u"localToGlobal", [](CallContext& c) { return TransformPoint(c, true); });
    AddMethod(vm, proto, u"globalToLocal", [](CallContext& c) { return TransformPoint(c, false); });
    AddMethod(vm, proto, u"hitTest", HitTest);
    AddMethod(vm, proto, u"getBytesLoaded", BytesTotal);
    AddMethod(vm, proto, u"getBytesTotal", BytesTotal);
    AddMethod(vm, proto, u"getSWFVersion", SwfVersion);
    AddMethod(vm, proto, u"loadMovie", [](CallContext& c) { return LoadMovie(c, false); });
    AddMethod(vm, proto, u"unloadMovie", [](CallContext& c) { return LoadMovie(c, true); });

    avm1::Object* global = vm.Global();
    if (global->Members().Find(u"Color", true) == nullptr) {
        avm1::Object* color = vm.NewFunction(ColorConstruct, 1);
        avm1::Object* colorProto = vm.NewObject();
        vm.Define(color, u"prototype", Value::Obj(colorProto), avm1::kDontEnum);
        vm.Define(colorProto, u"constructor", Value::Obj(color), avm1::kDontEnum);
        vm.DefineNative(colorProto, u"setRGB", ColorSetRgb);
        vm.DefineNative(colorProto, u"getRGB", ColorGetRgb);
        vm.DefineNative(colorProto, u"setTransform", ColorSetTransform);
        vm.DefineNative(colorProto, u"getTransform", ColorGetTransform);
        vm.Define(global, u"Color", Value::Obj(color), avm1::kDontEnum);
    }
}

}  // namespace flash
