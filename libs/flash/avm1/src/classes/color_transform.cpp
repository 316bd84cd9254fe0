// flash.geom.ColorTransform: the multipliers and offsets as properties of the prototype over
// numbers the object holds, rgb, concat and toString.
#include <cmath>

#include "flash/avm1/convert.h"
#include "flash/avm1/geom_values.h"
#include "geom.h"

namespace flash::avm1 {

namespace {

class ColorTransformObject final : public Object {
  public:
    explicit ColorTransformObject(Object* proto) : Object(proto, ObjectClass::Host) {}
    GeomColor color;
};

ColorTransformObject* ThisColor(CallContext& c) {
    return dynamic_cast<ColorTransformObject*>(c.This());
}

Value Construct(CallContext& c) {
    Object* self = c.This();
    auto* made = c.vm.New<ColorTransformObject>(self != nullptr ? self->Proto() : nullptr);
    if (Value ctor = InterpreterOf(c.vm).GetMember(self, u"__constructor__", c.version);
        ctor.IsObject()) {
        c.vm.Define(made, u"__constructor__", ctor, kDontEnum);
    }
    double* slots[] = {&made->color.rMult, &made->color.gMult, &made->color.bMult,
                       &made->color.aMult, &made->color.rAdd,  &made->color.gAdd,
                       &made->color.bAdd,  &made->color.aAdd};
    for (std::size_t i = 0; i < 8 && i < c.args.size(); ++i) {
        *slots[i] = InterpreterOf(c.vm).ToNumber(c.args[i], c.version);
    }
    return Value::Obj(made);
}

template <double GeomColor::*Field>
Value Get(CallContext& c) {
    ColorTransformObject* self = ThisColor(c);
    return self != nullptr ? Value::Number(self->color.*Field) : Value();
}

template <double GeomColor::*Field>
Value Set(CallContext& c) {
    if (ColorTransformObject* self = ThisColor(c)) {
        self->color.*Field = InterpreterOf(c.vm).ToNumber(c.Arg(0), c.version);
    }
    return Value();
}

std::uint32_t Channel(double offset) {
    return static_cast<std::uint32_t>(ToInt32(offset)) & 0xFF;
}

Value GetRgb(CallContext& c) {
    ColorTransformObject* self = ThisColor(c);
    if (self == nullptr) {
        return Value();
    }
    const GeomColor& k = self->color;
    return Value::Number((Channel(k.rAdd) << 16) | (Channel(k.gAdd) << 8) | Channel(k.bAdd));
}

// Setting rgb makes the colour solid: offsets from the value, colour multipliers 0.
Value SetRgb(CallContext& c) {
    ColorTransformObject* self = ThisColor(c);
    if (self == nullptr) {
        return Value();
    }
    const std::uint32_t rgb = ToUint32(InterpreterOf(c.vm).ToNumber(c.Arg(0), c.version));
    GeomColor& k = self->color;
    k.rMult = k.gMult = k.bMult = 0;
    k.rAdd = (rgb >> 16) & 0xFF;
    k.gAdd = (rgb >> 8) & 0xFF;
    k.bAdd = rgb & 0xFF;
    return Value();
}

// This transform after `second`: the second's offsets go through this one's multipliers.
Value Concat(CallContext& c) {
    ColorTransformObject* self = ThisColor(c);
    auto* second = dynamic_cast<ColorTransformObject*>(c.Arg(0).AsObject());
    if (self == nullptr || second == nullptr) {
        return Value();
    }
    GeomColor& k = self->color;
    const GeomColor s = second->color;
    k.rAdd += k.rMult * s.rAdd;
    k.gAdd += k.gMult * s.gAdd;
    k.bAdd += k.bMult * s.bAdd;
    k.aAdd += k.aMult * s.aAdd;
    k.rMult *= s.rMult;
    k.gMult *= s.gMult;
    k.bMult *= s.bMult;
    k.aMult *= s.aMult;
    return Value();
}

Value ToString(CallContext& c) {
    ColorTransformObject* self = ThisColor(c);
    if (self == nullptr) {
        return Value();
    }
    const GeomColor& k = self->color;
    const std::pair<const char16_t*, double> fields[] = {
        {u"redMultiplier", k.rMult},   {u"greenMultiplier", k.gMult}, {u"blueMultiplier", k.bMult},
        {u"alphaMultiplier", k.aMult}, {u"redOffset", k.rAdd},        {u"greenOffset", k.gAdd},
        {u"blueOffset", k.bAdd},       {u"alphaOffset", k.aAdd}};
    String s = u"(";
    for (const auto& [name, value] : fields) {
        if (s.size() > 1) {
            s += u", ";
        }
        AppendField(c, s, name, Value::Number(value));
    }
    s += u")";
    return Value::Str(std::move(s));
}

constexpr std::uint16_t kShown = kDontDelete;

constexpr NativeMember kPrototype[] = {
    Accessor(u"alphaMultiplier", Get<&GeomColor::aMult>, Set<&GeomColor::aMult>, kShown),
    Accessor(u"redMultiplier", Get<&GeomColor::rMult>, Set<&GeomColor::rMult>, kShown),
    Accessor(u"greenMultiplier", Get<&GeomColor::gMult>, Set<&GeomColor::gMult>, kShown),
    Accessor(u"blueMultiplier", Get<&GeomColor::bMult>, Set<&GeomColor::bMult>, kShown),
    Accessor(u"alphaOffset", Get<&GeomColor::aAdd>, Set<&GeomColor::aAdd>, kShown),
    Accessor(u"redOffset", Get<&GeomColor::rAdd>, Set<&GeomColor::rAdd>, kShown),
    Accessor(u"greenOffset", Get<&GeomColor::gAdd>, Set<&GeomColor::gAdd>, kShown),
    Accessor(u"blueOffset", Get<&GeomColor::bAdd>, Set<&GeomColor::bAdd>, kShown),
    Accessor(u"rgb", GetRgb, SetRgb, kShown),
    Method(u"concat", Concat, 0),
    Method(u"toString", ToString, 0),
};

}  // namespace

Value NewGeomColorTransform(Vm& vm, const GeomColor& k, int version) {
    const Value args[] = {Value::Number(k.rMult), Value::Number(k.gMult), Value::Number(k.bMult),
                          Value::Number(k.aMult), Value::Number(k.rAdd),  Value::Number(k.gAdd),
                          Value::Number(k.bAdd),  Value::Number(k.aAdd)};
    return NewGeom(vm, u"ColorTransform", args, version);
}

std::optional<GeomColor> GeomColorOf(const Value& v) {
    if (auto* o = dynamic_cast<ColorTransformObject*>(v.AsObject())) {
        return o->color;
    }
    return std::nullopt;
}

void InstallColorTransform(Interpreter& in, Globals& g) {
    Object* proto = in.NewObject();
    Object* ctor = MakeClass(in, u"", proto, Construct);
    DefineMembers(in.vm(), proto, kPrototype);
    in.vm().Define(GeomPackage(in, g), u"ColorTransform", Value::Obj(ctor), kDontEnum);
}

}  // namespace flash::avm1
