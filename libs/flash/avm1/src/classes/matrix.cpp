// flash.geom.Matrix: a, b, c, d, tx and ty as plain members and the affine operations on
// them (concat, invert, rotate, scale, translate, createBox, createGradientBox, points).
#include <cmath>

#include "flash/avm1/geom_values.h"
#include "geom.h"

namespace flash::avm1 {

namespace {

constexpr const char16_t* kFields[] = {u"a", u"b", u"c", u"d", u"tx", u"ty"};

GeomMatrix Read(CallContext& c, const Value& v) {
    return {NumberMember(c, v, u"a"), NumberMember(c, v, u"b"),  NumberMember(c, v, u"c"),
            NumberMember(c, v, u"d"), NumberMember(c, v, u"tx"), NumberMember(c, v, u"ty")};
}

void Write(CallContext& c, const GeomMatrix& m) {
    Object* self = c.This();
    if (self == nullptr) {
        return;
    }
    const double values[] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
    for (std::size_t i = 0; i < 6; ++i) {
        InterpreterOf(c.vm).SetMember(self, kFields[i], Value::Number(values[i]), c.version);
    }
}

// `m` followed by `n`.
GeomMatrix Then(const GeomMatrix& m, const GeomMatrix& n) {
    return {m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d,          m.c * n.a + m.d * n.c,
            m.c * n.b + m.d * n.d, m.tx * n.a + m.ty * n.c + n.tx, m.tx * n.b + m.ty * n.d + n.ty};
}

double Arg(CallContext& c, std::size_t i, double fallback) {
    return c.args.size() > i ? InterpreterOf(c.vm).ToNumber(c.Arg(i), c.version) : fallback;
}

GeomMatrix Box(double sx, double sy, double r, double tx, double ty) {
    return {sx * std::cos(r), sy * std::sin(r), -sx * std::sin(r), sy * std::cos(r), tx, ty};
}

Value Construct(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    if (c.args.empty()) {
        Write(c, GeomMatrix{});
        return Value();
    }
    for (std::size_t i = 0; i < 6; ++i) {
        InterpreterOf(c.vm).SetMember(self, kFields[i], c.Arg(i), c.version);
    }
    return Value();
}

Value Clone(CallContext& c) {
    return NewGeomMatrix(c.vm, Read(c, c.thisValue), c.version);
}

Value Concat(CallContext& c) {
    Write(c, Then(Read(c, c.thisValue), Read(c, c.Arg(0))));
    return Value();
}

Value CreateBox(CallContext& c) {
    Write(c, Box(Arg(c, 0, NAN), Arg(c, 1, NAN), Arg(c, 2, 0), Arg(c, 3, 0), Arg(c, 4, 0)));
    return Value();
}

// The gradient square (1638.4 pixels wide) fitted to a box of w x h at tx, ty.
Value CreateGradientBox(CallContext& c) {
    const double w = Arg(c, 0, NAN), h = Arg(c, 1, NAN);
    Write(c, Box(w / 1638.4, h / 1638.4, Arg(c, 2, 0), Arg(c, 3, 0) + w / 2, Arg(c, 4, 0) + h / 2));
    return Value();
}

Value TransformPoint(CallContext& c, bool translate) {
    const GeomMatrix m = Read(c, c.thisValue);
    const double x = NumberMember(c, c.Arg(0), u"x"), y = NumberMember(c, c.Arg(0), u"y");
    const double tx = translate ? m.tx : 0, ty = translate ? m.ty : 0;
    return NewGeomPoint(c.vm, m.a * x + m.c * y + tx, m.b * x + m.d * y + ty, c.version);
}

Value TransformPointFn(CallContext& c) {
    return TransformPoint(c, true);
}

Value DeltaTransformPoint(CallContext& c) {
    return TransformPoint(c, false);
}

Value Identity(CallContext& c) {
    Write(c, GeomMatrix{});
    return Value();
}

// A singular matrix becomes the identity.
Value Invert(CallContext& c) {
    const GeomMatrix m = Read(c, c.thisValue);
    const double det = m.a * m.d - m.b * m.c;
    if (det == 0 || !std::isfinite(det)) {
        Write(c, GeomMatrix{});
        return Value();
    }
    Write(c, {m.d / det, -m.b / det, -m.c / det, m.a / det, (m.c * m.ty - m.d * m.tx) / det,
              (m.b * m.tx - m.a * m.ty) / det});
    return Value();
}

Value Rotate(CallContext& c) {
    const double r = Arg(c, 0, NAN);
    Write(c,
          Then(Read(c, c.thisValue), {std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0}));
    return Value();
}

Value Scale(CallContext& c) {
    Write(c, Then(Read(c, c.thisValue), {Arg(c, 0, NAN), 0, 0, Arg(c, 1, NAN), 0, 0}));
    return Value();
}

Value Translate(CallContext& c) {
    GeomMatrix m = Read(c, c.thisValue);
    m.tx += Arg(c, 0, NAN);
    m.ty += Arg(c, 1, NAN);
    Write(c, m);
    return Value();
}

Value ToString(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    String s = u"(";
    for (std::size_t i = 0; i < 6; ++i) {
        if (i > 0) {
            s += u", ";
        }
        AppendField(c, s, kFields[i], in.GetMember(c.thisValue, kFields[i], c.version));
    }
    s += u")";
    return Value::Str(std::move(s));
}

constexpr NativeMember kPrototype[] = {
    Method(u"clone", Clone),
    Method(u"concat", Concat),
    Method(u"createBox", CreateBox),
    Method(u"createGradientBox", CreateGradientBox),
    Method(u"deltaTransformPoint", DeltaTransformPoint),
    Method(u"identity", Identity),
    Method(u"invert", Invert),
    Method(u"rotate", Rotate),
    Method(u"scale", Scale),
    Method(u"toString", ToString),
    Method(u"transformPoint", TransformPointFn),
    Method(u"translate", Translate),
};

}  // namespace

Value NewGeomMatrix(Vm& vm, const GeomMatrix& m, int version) {
    const Value args[] = {Value::Number(m.a), Value::Number(m.b),  Value::Number(m.c),
                          Value::Number(m.d), Value::Number(m.tx), Value::Number(m.ty)};
    return NewGeom(vm, u"Matrix", args, version);
}

std::optional<GeomMatrix> GeomMatrixOf(Vm& vm, const Value& v, int version) {
    Object* o = v.AsObject();
    if (o == nullptr) {
        return std::nullopt;
    }
    Interpreter& in = InterpreterOf(vm);
    double values[6];
    for (std::size_t i = 0; i < 6; ++i) {
        Value field = in.GetMember(o, kFields[i], version);
        if (field.IsUndefined()) {
            return std::nullopt;
        }
        values[i] = in.ToNumber(field, version);
    }
    return GeomMatrix{values[0], values[1], values[2], values[3], values[4], values[5]};
}

void InstallMatrix(Interpreter& in, Globals& g) {
    Object* proto = in.NewObject();
    Object* ctor = MakeClass(in, u"", proto, Construct);
    DefineMembers(in.vm(), proto, kPrototype);
    in.vm().Define(GeomPackage(in, g), u"Matrix", Value::Obj(ctor), kDontEnum);
}

}  // namespace flash::avm1
