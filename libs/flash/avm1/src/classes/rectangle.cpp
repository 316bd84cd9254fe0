// flash.geom.Rectangle: x, y, width and height as plain members; the edges, corners and size
// as properties; containment, intersection and union.
#include <algorithm>

#include "flash/avm1/geom_values.h"
#include "geom.h"

namespace flash::avm1 {

namespace {

struct Box {
    double x = 0, y = 0, w = 0, h = 0;
    bool Empty() const { return !(w > 0 && h > 0); }
};

Box BoxOf(CallContext& c, const Value& v) {
    return {NumberMember(c, v, u"x"), NumberMember(c, v, u"y"), NumberMember(c, v, u"width"),
            NumberMember(c, v, u"height")};
}

void SetBox(CallContext& c, const Box& b) {
    Object* self = c.This();
    if (self == nullptr) {
        return;
    }
    Interpreter& in = InterpreterOf(c.vm);
    in.SetMember(self, u"x", Value::Number(b.x), c.version);
    in.SetMember(self, u"y", Value::Number(b.y), c.version);
    in.SetMember(self, u"width", Value::Number(b.w), c.version);
    in.SetMember(self, u"height", Value::Number(b.h), c.version);
}

void SetMember(CallContext& c, StringView name, double v) {
    if (Object* self = c.This()) {
        InterpreterOf(c.vm).SetMember(self, name, Value::Number(v), c.version);
    }
}

double Arg(CallContext& c, std::size_t i) {
    return InterpreterOf(c.vm).ToNumber(c.Arg(i), c.version);
}

Value NewBox(CallContext& c, const Box& b) {
    return NewGeomRectangle(c.vm, b.x, b.y, b.w, b.h, c.version);
}

Value Construct(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    const char16_t* names[] = {u"x", u"y", u"width", u"height"};
    for (std::size_t i = 0; i < 4; ++i) {
        in.SetMember(self, names[i], c.args.empty() ? Value::Number(0) : c.Arg(i), c.version);
    }
    return Value();
}

Value Left(CallContext& c) {
    return Value::Number(BoxOf(c, c.thisValue).x);
}
Value SetLeft(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    const double left = Arg(c, 0);
    SetMember(c, u"width", b.w + b.x - left);
    SetMember(c, u"x", left);
    return Value();
}
Value Top(CallContext& c) {
    return Value::Number(BoxOf(c, c.thisValue).y);
}
Value SetTop(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    const double top = Arg(c, 0);
    SetMember(c, u"height", b.h + b.y - top);
    SetMember(c, u"y", top);
    return Value();
}
Value Right(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    return Value::Number(b.x + b.w);
}
Value SetRight(CallContext& c) {
    SetMember(c, u"width", Arg(c, 0) - BoxOf(c, c.thisValue).x);
    return Value();
}
Value Bottom(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    return Value::Number(b.y + b.h);
}
Value SetBottom(CallContext& c) {
    SetMember(c, u"height", Arg(c, 0) - BoxOf(c, c.thisValue).y);
    return Value();
}
Value TopLeft(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    return NewGeomPoint(c.vm, b.x, b.y, c.version);
}
Value SetTopLeft(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    const double x = NumberMember(c, c.Arg(0), u"x"), y = NumberMember(c, c.Arg(0), u"y");
    SetBox(c, {x, y, b.w + b.x - x, b.h + b.y - y});
    return Value();
}
Value BottomRight(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    return NewGeomPoint(c.vm, b.x + b.w, b.y + b.h, c.version);
}
Value SetBottomRight(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    SetMember(c, u"width", NumberMember(c, c.Arg(0), u"x") - b.x);
    SetMember(c, u"height", NumberMember(c, c.Arg(0), u"y") - b.y);
    return Value();
}
Value Size(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    return NewGeomPoint(c.vm, b.w, b.h, c.version);
}
Value SetSize(CallContext& c) {
    SetMember(c, u"width", NumberMember(c, c.Arg(0), u"x"));
    SetMember(c, u"height", NumberMember(c, c.Arg(0), u"y"));
    return Value();
}

Value Clone(CallContext& c) {
    return NewBox(c, BoxOf(c, c.thisValue));
}

bool Contains(const Box& b, double x, double y) {
    return x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h;
}

Value ContainsFn(CallContext& c) {
    return Value::Bool(Contains(BoxOf(c, c.thisValue), Arg(c, 0), Arg(c, 1)));
}
Value ContainsPoint(CallContext& c) {
    return Value::Bool(Contains(BoxOf(c, c.thisValue), NumberMember(c, c.Arg(0), u"x"),
                                NumberMember(c, c.Arg(0), u"y")));
}
Value ContainsRectangle(CallContext& c) {
    Box a = BoxOf(c, c.thisValue), b = BoxOf(c, c.Arg(0));
    return Value::Bool(b.x >= a.x && b.y >= a.y && b.x + b.w <= a.x + a.w &&
                       b.y + b.h <= a.y + a.h);
}
Value Equals(CallContext& c) {
    if (c.Arg(0).AsObject() == nullptr) {
        return Value::Bool(false);
    }
    Box a = BoxOf(c, c.thisValue), b = BoxOf(c, c.Arg(0));
    return Value::Bool(a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h);
}
Value Inflate(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    const double dx = Arg(c, 0), dy = Arg(c, 1);
    SetBox(c, {b.x - dx, b.y - dy, b.w + 2 * dx, b.h + 2 * dy});
    return Value();
}
Value InflatePoint(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    const double dx = NumberMember(c, c.Arg(0), u"x"), dy = NumberMember(c, c.Arg(0), u"y");
    SetBox(c, {b.x - dx, b.y - dy, b.w + 2 * dx, b.h + 2 * dy});
    return Value();
}

Box Intersect(const Box& a, const Box& b) {
    const double x0 = std::max(a.x, b.x), y0 = std::max(a.y, b.y);
    const double x1 = std::min(a.x + a.w, b.x + b.w), y1 = std::min(a.y + a.h, b.y + b.h);
    if (!(x1 > x0 && y1 > y0)) {
        return {};
    }
    return {x0, y0, x1 - x0, y1 - y0};
}

Value Intersection(CallContext& c) {
    return NewBox(c, Intersect(BoxOf(c, c.thisValue), BoxOf(c, c.Arg(0))));
}
Value Intersects(CallContext& c) {
    return Value::Bool(!Intersect(BoxOf(c, c.thisValue), BoxOf(c, c.Arg(0))).Empty());
}
Value IsEmpty(CallContext& c) {
    return Value::Bool(BoxOf(c, c.thisValue).Empty());
}
Value Offset(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    SetMember(c, u"x", b.x + Arg(c, 0));
    SetMember(c, u"y", b.y + Arg(c, 1));
    return Value();
}
Value OffsetPoint(CallContext& c) {
    Box b = BoxOf(c, c.thisValue);
    SetMember(c, u"x", b.x + NumberMember(c, c.Arg(0), u"x"));
    SetMember(c, u"y", b.y + NumberMember(c, c.Arg(0), u"y"));
    return Value();
}
Value SetEmpty(CallContext& c) {
    SetBox(c, {});
    return Value();
}
Value Union(CallContext& c) {
    Box a = BoxOf(c, c.thisValue), b = BoxOf(c, c.Arg(0));
    if (a.Empty()) {
        return NewBox(c, b);
    }
    if (b.Empty()) {
        return NewBox(c, a);
    }
    const double x0 = std::min(a.x, b.x), y0 = std::min(a.y, b.y);
    const double x1 = std::max(a.x + a.w, b.x + b.w), y1 = std::max(a.y + a.h, b.y + b.h);
    return NewBox(c, {x0, y0, x1 - x0, y1 - y0});
}

Value ToString(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    String s = u"(";
    AppendField(c, s, u"x", in.GetMember(c.thisValue, u"x", c.version));
    s += u", ";
    AppendField(c, s, u"y", in.GetMember(c.thisValue, u"y", c.version));
    s += u", ";
    AppendField(c, s, u"w", in.GetMember(c.thisValue, u"width", c.version));
    s += u", ";
    AppendField(c, s, u"h", in.GetMember(c.thisValue, u"height", c.version));
    s += u")";
    return Value::Str(std::move(s));
}

constexpr NativeMember kPrototype[] = {
    Accessor(u"left", Left, SetLeft),
    Accessor(u"top", Top, SetTop),
    Accessor(u"right", Right, SetRight),
    Accessor(u"bottom", Bottom, SetBottom),
    Accessor(u"topLeft", TopLeft, SetTopLeft),
    Accessor(u"bottomRight", BottomRight, SetBottomRight),
    Accessor(u"size", Size, SetSize),
    Method(u"clone", Clone),
    Method(u"contains", ContainsFn),
    Method(u"containsPoint", ContainsPoint),
    Method(u"containsRectangle", ContainsRectangle),
    Method(u"equals", Equals),
    Method(u"inflate", Inflate),
    Method(u"inflatePoint", InflatePoint),
    Method(u"intersection", Intersection),
    Method(u"intersects", Intersects),
    Method(u"isEmpty", IsEmpty),
    Method(u"offset", Offset),
    Method(u"offsetPoint", OffsetPoint),
    Method(u"setEmpty", SetEmpty),
    Method(u"toString", ToString),
    Method(u"union", Union),
};

}  // namespace

Value NewGeomRectangle(Vm& vm, double x, double y, double width, double height, int version) {
    const Value args[] = {Value::Number(x), Value::Number(y), Value::Number(width),
                          Value::Number(height)};
    return NewGeom(vm, u"Rectangle", args, version);
}

void InstallRectangle(Interpreter& in, Globals& g) {
    Object* proto = in.NewObject();
    Object* ctor = MakeClass(in, u"", proto, Construct);
    DefineMembers(in.vm(), proto, kPrototype);
    in.vm().Define(GeomPackage(in, g), u"Rectangle", Value::Obj(ctor), kDontEnum);
}

}  // namespace flash::avm1
