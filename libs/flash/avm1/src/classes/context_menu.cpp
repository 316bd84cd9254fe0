// ContextMenu and ContextMenuItem: the menu a movie puts on a clip, button or text field
// (their `menu`), with its built-in items to show or hide and its own items and callbacks.
#include "classes.h"
#include "flash/avm1/convert.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

constexpr const char16_t* kBuiltInItems[] = {u"print", u"forward_back", u"rewind", u"loop",
                                             u"play",  u"quality",      u"zoom",   u"save"};

Object* Proto(CallContext& c, StringView className) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* ctor = in.GetMember(c.vm.Global(), className, c.version).AsObject();
    Object* proto = ctor ? in.GetMember(ctor, u"prototype", c.version).AsObject() : nullptr;
    return proto ? proto : in.globals().objectProto;
}

Value MenuConstruct(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    in.SetMember(self, u"onSelect", c.Arg(0), c.version);
    Object* builtIn = in.NewObject();
    for (const char16_t* name : kBuiltInItems) {
        in.SetMember(builtIn, name, Value::Bool(true), c.version);
    }
    in.SetMember(self, u"builtInItems", Value::Obj(builtIn), c.version);
    in.SetMember(self, u"customItems", Value::Obj(in.NewArray()), c.version);
    return Value();
}

Value HideBuiltInItems(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* builtIn = in.GetMember(c.thisValue, u"builtInItems", c.version).AsObject();
    if (builtIn != nullptr) {
        for (const char16_t* name : kBuiltInItems) {
            in.SetMember(builtIn, name, Value::Bool(false), c.version);
        }
    }
    return Value();
}

// A new item with the same caption, callback and flags.
Value CopyItem(Interpreter& in, const Value& item, CallContext& c) {
    Object* copy = in.vm().New<Object>(Proto(c, u"ContextMenuItem"));
    for (const char16_t* name :
         {u"caption", u"onSelect", u"separatorBefore", u"enabled", u"visible"}) {
        in.SetMember(copy, name, in.GetMember(item, name, c.version), c.version);
    }
    return Value::Obj(copy);
}

Value MenuCopy(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* copy = in.vm().New<Object>(Proto(c, u"ContextMenu"));
    in.SetMember(copy, u"onSelect", in.GetMember(c.thisValue, u"onSelect", c.version), c.version);
    Object* builtIn = in.NewObject();
    Value from = in.GetMember(c.thisValue, u"builtInItems", c.version);
    for (const char16_t* name : kBuiltInItems) {
        in.SetMember(builtIn, name, in.GetMember(from, name, c.version), c.version);
    }
    in.SetMember(copy, u"builtInItems", Value::Obj(builtIn), c.version);
    Object* items = in.NewArray();
    std::vector<Value> list =
        ListFrom(in, in.GetMember(c.thisValue, u"customItems", c.version), c.version);
    for (const Value& item : list) {
        Value arg = CopyItem(in, item, c);
        in.vm().CallMethod(items, u"push", std::span(&arg, 1), c.version);
    }
    in.SetMember(copy, u"customItems", Value::Obj(items), c.version);
    return Value::Obj(copy);
}

Value ItemConstruct(CallContext& c) {
    Object* self = c.This();
    if (self == nullptr) {
        return Value();
    }
    Interpreter& in = InterpreterOf(c.vm);
    auto flag = [&](std::size_t i, bool fallback) {
        return c.args.size() > i ? Value::Bool(ToBoolean(c.args[i], c.version))
                                 : Value::Bool(fallback);
    };
    in.SetMember(self, u"caption", c.Arg(0), c.version);
    in.SetMember(self, u"onSelect", c.Arg(1), c.version);
    in.SetMember(self, u"separatorBefore", flag(2, false), c.version);
    in.SetMember(self, u"enabled", flag(3, true), c.version);
    in.SetMember(self, u"visible", flag(4, true), c.version);
    return Value();
}

Value ItemCopy(CallContext& c) {
    return CopyItem(InterpreterOf(c.vm), c.thisValue, c);
}

constexpr NativeMember kMenu[] = {
    Method(u"copy", MenuCopy),
    Method(u"hideBuiltInItems", HideBuiltInItems),
};

constexpr NativeMember kItem[] = {
    Method(u"copy", ItemCopy),
};

}  // namespace

void InstallContextMenu(Interpreter& in, Globals& g) {
    Vm& vm = in.vm();
    Object* menu = vm.New<Object>(g.objectProto);
    MakeClass(in, u"ContextMenu", menu, MenuConstruct);
    DefineMembers(vm, menu, kMenu);
    Object* item = vm.New<Object>(g.objectProto);
    MakeClass(in, u"ContextMenuItem", item, ItemConstruct);
    DefineMembers(vm, item, kItem);
}

}  // namespace flash::avm1
