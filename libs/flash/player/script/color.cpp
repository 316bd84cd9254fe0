// Color: new Color(target) colours a clip through its colour transform (setRGB, getRGB,
// setTransform, getTransform).
#include <cmath>

#include "display/movie_clip.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Method;
using avm1::Value;

double Number(CallContext& c, std::size_t i) {
    return c.vm.ToNumber(c.Arg(i), c.version);
}

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

constexpr avm1::NativeMember kPrototype[] = {
    Method(u"setRGB", ColorSetRgb),
    Method(u"getRGB", ColorGetRgb),
    Method(u"setTransform", ColorSetTransform),
    Method(u"getTransform", ColorGetTransform),
};

}  // namespace

void InstallColor(avm1::Vm& vm) {
    avm1::Object* global = vm.Global();
    if (global->Members().Find(u"Color", true) != nullptr) {
        return;
    }
    avm1::Object* color = vm.NewFunction(ColorConstruct, 1);
    avm1::Object* proto = vm.NewObject();
    vm.Define(color, u"prototype", Value::Obj(proto), avm1::kDontEnum);
    vm.Define(proto, u"constructor", Value::Obj(color), avm1::kDontEnum);
    avm1::DefineMembers(vm, proto, kPrototype);
    vm.Define(global, u"Color", Value::Obj(color), avm1::kDontEnum);
}

}  // namespace flash
