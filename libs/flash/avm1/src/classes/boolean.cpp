// Boolean: toString and valueOf.
#include <optional>

#include "classes.h"
#include "flash/avm1/convert.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

Value Call(CallContext& c) {
    return c.args.empty() ? Value() : Value::Bool(ToBoolean(c.args[0], c.version));
}

Value Construct(CallContext& c) {
    bool b = !c.args.empty() && ToBoolean(c.args[0], c.version);
    return Value::Obj(InterpreterOf(c.vm).ToObject(Value::Bool(b), c.version));
}

std::optional<bool> ThisBool(CallContext& c) {
    if (c.thisValue.IsBool()) {
        return c.thisValue.AsBool();
    }
    Object* o = c.This();
    if (o && o->Class() == ObjectClass::BoxedBoolean) {
        return o->Primitive().AsBool();
    }
    return std::nullopt;
}

Value ToString(CallContext& c) {
    auto b = ThisBool(c);
    return b ? Value::Str(*b ? u"true" : u"false") : Value();
}

Value ValueOf(CallContext& c) {
    auto b = ThisBool(c);
    return b ? Value::Bool(*b) : Value();
}

constexpr NativeMember kPrototype[] = {
    Method(u"toString", ToString),
    Method(u"valueOf", ValueOf),
};

}  // namespace

void InstallBoolean(Interpreter& in, Globals& g) {
    MakeClass(in, u"Boolean", g.booleanProto, Call, Construct);
    DefineMembers(in.vm(), g.booleanProto, kPrototype);
}

}  // namespace flash::avm1
