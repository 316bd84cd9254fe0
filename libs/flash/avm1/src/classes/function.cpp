// Function: call and apply.
#include <cmath>

#include "classes.h"
#include "interpreter.h"

namespace flash::avm1 {

std::vector<Value> ArgsFrom(std::span<const Value> args, std::size_t first) {
    if (first >= args.size()) {
        return {};
    }
    return std::vector<Value>(args.begin() + static_cast<std::ptrdiff_t>(first), args.end());
}

std::vector<Value> ListFrom(Interpreter& in, const Value& v, int version) {
    std::vector<Value> out;
    Object* o = v.AsObject();
    if (!o) {
        return out;
    }
    if (auto* a = dynamic_cast<ArrayObject*>(o)) {
        for (std::size_t i = 0; i < a->length(); ++i) {
            out.push_back(a->At(i));
        }
        return out;
    }
    double n = in.ToNumber(in.GetMember(o, u"length", version), version);
    if (!std::isfinite(n) || n <= 0) {
        return out;
    }
    auto count = static_cast<std::size_t>(std::min(n, 1e6));
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(in.GetMember(o, Ascii(std::to_string(i)), version));
    }
    return out;
}

namespace {

// Function(x) gives x; Function() a new object that inherits nothing.
Value Construct(CallContext& c) {
    return c.args.empty() ? Value::Obj(c.vm.New<Object>(nullptr)) : c.args[0];
}

// call and apply run a function on _global when given no object.
Value ThisArg(Interpreter& in, const Value& v) {
    return v.IsNullish() ? Value::Obj(in.globals().global) : v;
}

Value Call(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* f = c.This();
    if (!f || !in.IsFunction(c.thisValue)) {
        return Value();
    }
    std::vector<Value> args = ArgsFrom(c.args, 1);
    return in.CallFunction(f, ThisArg(in, c.Arg(0)), args, c.version);
}

Value Apply(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* f = c.This();
    if (!f || !in.IsFunction(c.thisValue)) {
        return Value();
    }
    std::vector<Value> args = ListFrom(in, c.Arg(1), c.version);
    return in.CallFunction(f, ThisArg(in, c.Arg(0)), args, c.version);
}

constexpr NativeMember kPrototype[] = {
    Method(u"call", Call, kDontEnum | kVersion6),
    Method(u"apply", Apply, kDontEnum | kVersion6),
};

}  // namespace

void InstallFunction(Interpreter& in, Globals& g) {
    MakeClass(in, u"Function", g.functionProto, Construct);
    DefineMembers(in.vm(), g.functionProto, kPrototype);
}

}  // namespace flash::avm1
