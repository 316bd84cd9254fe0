// Number: its constants, toString with a radix and valueOf.
#include <limits>
#include <optional>

#include "classes.h"
#include "flash/avm1/convert.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

Value Call(CallContext& c) {
    return Value::Number(c.args.empty() ? 0 : InterpreterOf(c.vm).ToNumber(c.args[0], c.version));
}

Value Construct(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    double n = c.args.empty() ? 0 : in.ToNumber(c.args[0], c.version);
    return Value::Obj(in.ToObject(Value::Number(n), c.version));
}

std::optional<double> ThisNumber(CallContext& c) {
    if (c.thisValue.IsNumber()) {
        return c.thisValue.AsNumber();
    }
    Object* o = c.This();
    if (o && o->Class() == ObjectClass::BoxedNumber) {
        return o->Primitive().AsNumber();
    }
    return std::nullopt;
}

Value ToString(CallContext& c) {
    auto n = ThisNumber(c);
    if (!n) {
        return Value();
    }
    int radix = 10;
    if (!c.Arg(0).IsUndefined()) {
        double r = InterpreterOf(c.vm).ToNumber(c.args[0], c.version);
        radix = IntOf(r, 10);
    }
    return Value::Str(NumberToRadixString(*n, radix));
}

Value ValueOf(CallContext& c) {
    auto n = ThisNumber(c);
    return n ? Value::Number(*n) : Value();
}

constexpr NativeMember kStatics[] = {
    // Flash's constant is the 15-digit text of the largest double, read back.
    Constant(u"MAX_VALUE", 1.79769313486231e+308),
    Constant(u"MIN_VALUE", std::numeric_limits<double>::denorm_min()),
    Constant(u"NaN", std::numeric_limits<double>::quiet_NaN()),
    Constant(u"POSITIVE_INFINITY", std::numeric_limits<double>::infinity()),
    Constant(u"NEGATIVE_INFINITY", -std::numeric_limits<double>::infinity()),
};

constexpr NativeMember kPrototype[] = {
    Method(u"toString", ToString),
    Method(u"valueOf", ValueOf),
};

}  // namespace

void InstallNumber(Interpreter& in, Globals& g) {
    Object* ctor = MakeClass(in, u"Number", g.numberProto, Call, Construct);
    DefineMembers(in.vm(), ctor, kStatics);
    DefineMembers(in.vm(), g.numberProto, kPrototype);
}

}  // namespace flash::avm1
