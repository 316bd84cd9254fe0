// flash.geom.Point: x and y as plain members, the vector methods, distance, interpolate and
// polar.
#include <cmath>

#include "flash/avm1/geom_values.h"
#include "geom.h"

namespace flash::avm1 {

namespace {

double X(CallContext& c, const Value& p) {
    return NumberMember(c, p, u"x");
}
double Y(CallContext& c, const Value& p) {
    return NumberMember(c, p, u"y");
}

Value Construct(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    const bool none = c.args.empty();
    in.SetMember(self, u"x", none ? Value::Number(0) : c.Arg(0), c.version);
    in.SetMember(self, u"y", none ? Value::Number(0) : c.Arg(1), c.version);
    return Value();
}

Value Length(CallContext& c) {
    return Value::Number(std::hypot(X(c, c.thisValue), Y(c, c.thisValue)));
}

Value Add(CallContext& c) {
    return NewGeomPoint(c.vm, X(c, c.thisValue) + X(c, c.Arg(0)),
                        Y(c, c.thisValue) + Y(c, c.Arg(0)), c.version);
}

Value Subtract(CallContext& c) {
    return NewGeomPoint(c.vm, X(c, c.thisValue) - X(c, c.Arg(0)),
                        Y(c, c.thisValue) - Y(c, c.Arg(0)), c.version);
}

Value Clone(CallContext& c) {
    return NewGeomPoint(c.vm, X(c, c.thisValue), Y(c, c.thisValue), c.version);
}

Value Equals(CallContext& c) {
    Object* other = c.Arg(0).AsObject();
    Interpreter& in = InterpreterOf(c.vm);
    Object* ctor = c.This() != nullptr
                       ? in.GetMember(c.thisValue, u"constructor", c.version).AsObject()
                       : nullptr;
    if (other == nullptr || ctor == nullptr || !in.InstanceOf(other, ctor, c.version)) {
        return Value::Bool(false);
    }
    return Value::Bool(X(c, c.thisValue) == X(c, c.Arg(0)) && Y(c, c.thisValue) == Y(c, c.Arg(0)));
}

Value Normalize(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    const double x = X(c, c.thisValue), y = Y(c, c.thisValue);
    const double length = std::hypot(x, y);
    if (length > 0) {
        const double scale = InterpreterOf(c.vm).ToNumber(c.Arg(0), c.version) / length;
        InterpreterOf(c.vm).SetMember(self, u"x", Value::Number(x * scale), c.version);
        InterpreterOf(c.vm).SetMember(self, u"y", Value::Number(y * scale), c.version);
    }
    return Value();
}

Value Offset(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    const double dx = in.ToNumber(c.Arg(0), c.version), dy = in.ToNumber(c.Arg(1), c.version);
    in.SetMember(self, u"x", Value::Number(X(c, c.thisValue) + dx), c.version);
    in.SetMember(self, u"y", Value::Number(Y(c, c.thisValue) + dy), c.version);
    return Value();
}

Value ToString(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    String s = u"(";
    AppendField(c, s, u"x", in.GetMember(c.thisValue, u"x", c.version));
    s += u", ";
    AppendField(c, s, u"y", in.GetMember(c.thisValue, u"y", c.version));
    s += u")";
    return Value::Str(std::move(s));
}

Value Distance(CallContext& c) {
    return Value::Number(
        std::hypot(X(c, c.Arg(0)) - X(c, c.Arg(1)), Y(c, c.Arg(0)) - Y(c, c.Arg(1))));
}

// The point at `f` of the way from the second point to the first.
Value Interpolate(CallContext& c) {
    const double f = InterpreterOf(c.vm).ToNumber(c.Arg(2), c.version);
    const double x0 = X(c, c.Arg(0)), y0 = Y(c, c.Arg(0));
    const double x1 = X(c, c.Arg(1)), y1 = Y(c, c.Arg(1));
    return NewGeomPoint(c.vm, x1 + f * (x0 - x1), y1 + f * (y0 - y1), c.version);
}

Value Polar(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    const double length = in.ToNumber(c.Arg(0), c.version);
    const double angle = in.ToNumber(c.Arg(1), c.version);
    return NewGeomPoint(c.vm, length * std::cos(angle), length * std::sin(angle), c.version);
}

constexpr NativeMember kPrototype[] = {
    Accessor(u"length", Length),     Method(u"add", Add),
    Method(u"subtract", Subtract),   Method(u"equals", Equals),
    Method(u"normalize", Normalize), Method(u"offset", Offset),
    Method(u"clone", Clone),         Method(u"toString", ToString),
};

constexpr NativeMember kStatics[] = {
    Method(u"distance", Distance),
    Method(u"interpolate", Interpolate),
    Method(u"polar", Polar),
};

}  // namespace

Value NewGeomPoint(Vm& vm, double x, double y, int version) {
    const Value args[] = {Value::Number(x), Value::Number(y)};
    return NewGeom(vm, u"Point", args, version);
}

void InstallPoint(Interpreter& in, Globals& g) {
    Object* proto = in.NewObject();
    Object* ctor = MakeClass(in, u"", proto, Construct);
    DefineMembers(in.vm(), ctor, kStatics);
    DefineMembers(in.vm(), proto, kPrototype);
    in.vm().Define(GeomPackage(in, g), u"Point", Value::Obj(ctor), kDontEnum);
}

}  // namespace flash::avm1
