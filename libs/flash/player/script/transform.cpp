// flash.geom.Transform: a clip's matrix and colour transform, alone and concatenated down
// from its level, and the stage pixels it covers; MovieClip.transform makes one per read.
#include <cmath>
#include <cstdint>

#include "display/movie_clip.h"
#include "flash/avm1/geom_values.h"
#include "flash/avm1/object.h"
#include "script/script_classes.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Value;

// Holds the clip's script object: a removed clip's object no longer answers for it.
class TransformObject final : public avm1::Object {
  public:
    TransformObject(avm1::Object* proto, avm1::Object* clip)
        : avm1::Object(proto, avm1::ObjectClass::Host), clip_(clip) {}
    DisplayObject* Target() const { return dynamic_cast<DisplayObject*>(clip_->AsClip()); }
    void TraceRefs(std::vector<avm1::Object*>& out) override { out.push_back(clip_); }

  private:
    avm1::Object* clip_;
};

DisplayObject* TargetOf(CallContext& c) {
    auto* self = dynamic_cast<TransformObject*>(c.This());
    return self != nullptr ? self->Target() : nullptr;
}

avm1::GeomMatrix ToScript(const Matrix& m) {
    return {m.a, m.b, m.c, m.d, m.tx / 20.0, m.ty / 20.0};
}

avm1::GeomColor ToScript(const ColorTransform& k) {
    return {k.rMult, k.gMult, k.bMult, k.aMult, k.rAdd, k.gAdd, k.bAdd, k.aAdd};
}

// Clips keep colour transforms as 16-bit numbers: multipliers in 1/256, offsets whole.
double Fixed16(double v, double scale) {
    if (!std::isfinite(v)) {
        return 0;
    }
    const auto whole = static_cast<std::int64_t>(std::fmod(std::trunc(v * scale), 65536.0));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(whole & 0xFFFF)) / scale;
}

ColorTransform FromScript(const avm1::GeomColor& k) {
    return {Fixed16(k.rMult, 256), Fixed16(k.gMult, 256), Fixed16(k.bMult, 256),
            Fixed16(k.aMult, 256), Fixed16(k.rAdd, 1),    Fixed16(k.gAdd, 1),
            Fixed16(k.bAdd, 1),    Fixed16(k.aAdd, 1)};
}

// `outer` over `inner` as the player chains them: offsets kept to 16 bits.
ColorTransform Chain(const ColorTransform& outer, const ColorTransform& inner) {
    auto offset = [](double mult, double add, double outerAdd) {
        return Fixed16(std::floor(mult * add) + outerAdd, 1);
    };
    return {outer.rMult * inner.rMult,
            outer.gMult * inner.gMult,
            outer.bMult * inner.bMult,
            outer.aMult * inner.aMult,
            offset(outer.rMult, inner.rAdd, outer.rAdd),
            offset(outer.gMult, inner.gAdd, outer.gAdd),
            offset(outer.bMult, inner.bAdd, outer.bAdd),
            offset(outer.aMult, inner.aAdd, outer.aAdd)};
}

ColorTransform Concatenated(const DisplayObject& object) {
    ColorTransform k = object.GetColorTransform();
    for (const DisplayObject* p = object.Container(); p != nullptr; p = p->Container()) {
        k = Chain(p->GetColorTransform(), k);
    }
    return k;
}

Value GetMatrix(CallContext& c) {
    DisplayObject* target = TargetOf(c);
    return target ? avm1::NewGeomMatrix(c.vm, ToScript(target->GetMatrix()), c.version) : Value();
}

void ApplyMatrix(CallContext& c, DisplayObject& target, const Value& v) {
    if (std::optional<avm1::GeomMatrix> m = avm1::GeomMatrixOf(c.vm, v, c.version)) {
        auto finite = [](double x) { return std::isfinite(x) ? x : 0.0; };
        target.SetMatrix(Matrix{finite(m->a), finite(m->b), finite(m->c), finite(m->d),
                                std::round(finite(m->tx) * 20.0),
                                std::round(finite(m->ty) * 20.0)});
        target.SetScriptTransformed();
    }
}

Value SetMatrix(CallContext& c) {
    if (DisplayObject* target = TargetOf(c)) {
        ApplyMatrix(c, *target, c.Arg(0));
    }
    return Value();
}

Value GetColorTransform(CallContext& c) {
    DisplayObject* target = TargetOf(c);
    return target
               ? avm1::NewGeomColorTransform(c.vm, ToScript(target->GetColorTransform()), c.version)
               : Value();
}

void ApplyColor(DisplayObject& target, const Value& v) {
    if (std::optional<avm1::GeomColor> k = avm1::GeomColorOf(v)) {
        target.SetColorTransform(FromScript(*k));
        target.SetScriptTransformed();
    }
}

Value SetColorTransform(CallContext& c) {
    if (DisplayObject* target = TargetOf(c)) {
        ApplyColor(*target, c.Arg(0));
    }
    return Value();
}

Value GetConcatenatedMatrix(CallContext& c) {
    DisplayObject* target = TargetOf(c);
    return target ? avm1::NewGeomMatrix(c.vm, ToScript(target->ToStage()), c.version) : Value();
}

Value GetConcatenatedColorTransform(CallContext& c) {
    DisplayObject* target = TargetOf(c);
    return target ? avm1::NewGeomColorTransform(c.vm, ToScript(Concatenated(*target)), c.version)
                  : Value();
}

// The stage pixels the object's bounds cover.
Value GetPixelBounds(CallContext& c) {
    DisplayObject* target = TargetOf(c);
    if (target == nullptr) {
        return Value();
    }
    const Rect local = target->LocalBounds();
    if (local.empty()) {
        return avm1::NewGeomRectangle(c.vm, 0, 0, 0, 0, c.version);
    }
    const Rect r = target->ToStage().Apply(local);
    return avm1::NewGeomRectangle(c.vm, r.xmin / 20.0, r.ymin / 20.0, r.width() / 20.0,
                                  r.height() / 20.0, c.version);
}

avm1::Object* TransformPrototype(avm1::Vm& vm) {
    avm1::Value flash = vm.Get(vm.Global(), u"flash", 8);
    avm1::Object* geom = vm.Get(flash.AsObject(), u"geom", 8).AsObject();
    avm1::Object* ctor = vm.Get(geom, u"Transform", 8).AsObject();
    return vm.Get(ctor, u"prototype", 8).AsObject();
}

Value NewTransform(CallContext& c, avm1::Object* clip) {
    if (clip == nullptr || dynamic_cast<DisplayObject*>(clip->AsClip()) == nullptr) {
        return Value();
    }
    return Value::Obj(c.vm.New<TransformObject>(TransformPrototype(c.vm), clip));
}

Value Construct(CallContext& c) {
    return NewTransform(c, c.Arg(0).AsObject());
}

Value ClipTransform(CallContext& c) {
    return NewTransform(c, c.This());
}

// clip.transform = another clip's transform copies its matrix and colour transform.
Value SetClipTransform(CallContext& c) {
    avm1::Object* self = c.This();
    auto* target = self != nullptr ? dynamic_cast<DisplayObject*>(self->AsClip()) : nullptr;
    auto* source = dynamic_cast<TransformObject*>(c.Arg(0).AsObject());
    DisplayObject* from = source != nullptr ? source->Target() : nullptr;
    if (target != nullptr && from != nullptr) {
        target->SetMatrix(from->GetMatrix());
        target->SetColorTransform(from->GetColorTransform());
        target->SetScriptTransformed();
    }
    return Value();
}

constexpr avm1::NativeMember kPrototype[] = {
    avm1::Accessor(u"matrix", GetMatrix, SetMatrix),
    avm1::Accessor(u"concatenatedMatrix", GetConcatenatedMatrix),
    avm1::Accessor(u"colorTransform", GetColorTransform, SetColorTransform),
    avm1::Accessor(u"concatenatedColorTransform", GetConcatenatedColorTransform),
    avm1::Accessor(u"pixelBounds", GetPixelBounds),
};

constexpr avm1::NativeMember kClip[] = {
    avm1::Accessor(u"transform", ClipTransform, SetClipTransform,
                   avm1::kDontEnum | avm1::kVersion8),
};

}  // namespace

void InstallTransform(avm1::Vm& vm) {
    avm1::Value flash = vm.Get(vm.Global(), u"flash", 8);
    avm1::Object* geom = vm.Get(flash.AsObject(), u"geom", 8).AsObject();
    if (geom == nullptr) {
        return;
    }
    avm1::Object* ctor = vm.NewConstructor(Construct, Construct);
    avm1::Object* proto = vm.Get(ctor, u"prototype", 8).AsObject();
    avm1::DefineMembers(vm, proto, kPrototype);
    vm.Define(geom, u"Transform", Value::Obj(ctor), avm1::kDontEnum);
    avm1::DefineMembers(vm, vm.MovieClipPrototype(), kClip);
}

}  // namespace flash
