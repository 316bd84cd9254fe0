// Error: a message, a name and toString.
#include "classes.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

Value Construct(CallContext& c) {
    Object* self = c.This();
    if (self && !c.Arg(0).IsUndefined()) {
        c.vm.Set(self, u"message", c.args[0], c.version);
    }
    return c.thisValue;
}

Value ToString(CallContext& c) {
    return Value::Str(
        InterpreterOf(c.vm).ToString(c.vm.Get(c.This(), u"message", c.version), c.version));
}

constexpr NativeMember kPrototype[] = {
    Method(u"toString", ToString),
};

}  // namespace

void InstallError(Interpreter& in, Globals& g) {
    Object* proto = g.errorProto;
    MakeClass(in, u"Error", proto, Construct);
    in.vm().Define(proto, u"message", Value::Str(u"Error"), kDontEnum);
    in.vm().Define(proto, u"name", Value::Str(u"Error"), kDontEnum);
    DefineMembers(in.vm(), proto, kPrototype);
}

}  // namespace flash::avm1
