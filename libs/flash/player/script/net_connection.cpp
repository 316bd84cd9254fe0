// NetConnection: connect(null) for local files (streams play from files); any other address
// is refused as Flash refuses a server it cannot reach.
#include "flash/avm1/native_member.h"
#include "script/script_classes.h"

namespace flash {

using avm1::CallContext;
using avm1::Value;

namespace {

avm1::Object* Info(avm1::Vm& vm, const char16_t* code, const char16_t* level) {
    avm1::Object* info = vm.NewObject();
    vm.Set(info, u"code", Value::Str(code), 7);
    vm.Set(info, u"level", Value::Str(level), 7);
    return info;
}

Value Construct(CallContext& c) {
    if (avm1::Object* self = c.This()) {
        c.vm.Set(self, u"isConnected", Value::Bool(false), c.version);
    }
    return Value();
}

Value Connect(CallContext& c) {
    avm1::Object* self = c.This();
    if (self == nullptr) {
        return Value::Bool(false);
    }
    const bool local = c.Arg(0).IsNullish();
    c.vm.Set(self, u"isConnected", Value::Bool(local), c.version);
    c.vm.Set(self, u"uri",
             local ? Value::Str(u"null") : Value::Str(c.vm.ToString(c.Arg(0), c.version)),
             c.version);
    const Value info = Value::Obj(local ? Info(c.vm, u"NetConnection.Connect.Success", u"status")
                                        : Info(c.vm, u"NetConnection.Connect.Failed", u"error"));
    c.vm.CallMethod(self, u"onStatus", std::span(&info, 1), c.version);
    return Value::Bool(local);
}

Value Close(CallContext& c) {
    if (avm1::Object* self = c.This()) {
        c.vm.Set(self, u"isConnected", Value::Bool(false), c.version);
    }
    return Value();
}

// Remote calls need a server.
Value Call(CallContext&) {
    return Value::Bool(false);
}

constexpr avm1::NativeMember kMethods[] = {
    avm1::Method(u"connect", &Connect),
    avm1::Method(u"close", &Close),
    avm1::Method(u"call", &Call),
};

}  // namespace

void InstallNetConnection(avm1::Vm& vm) {
    avm1::Object* global = vm.Global();
    if (global->Members().Find(u"NetConnection", true) != nullptr) {
        return;
    }
    avm1::Object* ctor = vm.NewFunction(&Construct);
    avm1::Object* proto = vm.NewObject();
    vm.Define(ctor, u"prototype", Value::Obj(proto), avm1::kDontEnum);
    vm.Define(proto, u"constructor", Value::Obj(ctor), avm1::kDontEnum);
    avm1::DefineMembers(vm, proto, kMethods);
    vm.Define(global, u"NetConnection", Value::Obj(ctor), avm1::kDontEnum);
}

}  // namespace flash
