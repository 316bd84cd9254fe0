// AsBroadcaster: listeners kept in _listeners, told of events by broadcastMessage. Also the
// player's broadcasters Key, Mouse and Stage, made here so that _global lists them where Flash
// does; the runtime adds their methods (player/script) and sends their events.
#include "classes.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

ArrayObject* Listeners(Interpreter& in, Object* self, int version, bool create) {
    auto* list = dynamic_cast<ArrayObject*>(in.GetMember(self, u"_listeners", version).AsObject());
    if (!list && create) {
        list = in.NewArray();
        in.vm().Define(self, u"_listeners", Value::Obj(list), kDontEnum);
    }
    return list;
}

bool RemoveListener(Interpreter& in, ArrayObject* list, const Value& listener, int version) {
    for (std::size_t i = 0; i < list->length(); ++i) {
        if (in.LooseEquals(list->At(i), listener, version)) {
            list->slots().erase(list->slots().begin() + static_cast<std::ptrdiff_t>(i));
            return true;
        }
    }
    return false;
}

Value AddListener(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* self = c.This();
    if (!self) {
        return Value::Bool(false);
    }
    ArrayObject* list = Listeners(in, self, c.version, true);
    RemoveListener(in, list, c.Arg(0), c.version);
    list->Push(c.vm, c.Arg(0));
    return Value::Bool(true);
}

Value RemoveListenerFn(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* self = c.This();
    ArrayObject* list = self ? Listeners(in, self, c.version, false) : nullptr;
    return Value::Bool(list && RemoveListener(in, list, c.Arg(0), c.version));
}

Value BroadcastMessage(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* self = c.This();
    ArrayObject* list = self ? Listeners(in, self, c.version, false) : nullptr;
    if (!list || c.args.empty()) {
        return Value();
    }
    String name = in.ToString(c.args[0], c.version);
    std::vector<Value> args(c.args.begin() + 1, c.args.end());
    std::vector<Value> listeners;
    for (std::size_t i = 0; i < list->length(); ++i) {
        listeners.push_back(list->At(i));
    }
    for (const Value& l : listeners) {
        // A listener whose clip was removed hears nothing more.
        if (Object* o = l.AsObject(); o && o->Class() == ObjectClass::Clip && !o->AsClip()) {
            continue;
        }
        Value fn = name.empty() ? l : in.GetMember(l, name, c.version);
        if (in.IsFunction(fn)) {
            in.CallFunction(fn.AsObject(), l, args, c.version);
        }
    }
    return Value::Bool(true);
}

Value Initialize(CallContext& c) {
    Object* o = c.Arg(0).AsObject();
    if (o) {
        InitializeBroadcaster(InterpreterOf(c.vm), o);
    }
    return Value();
}

constexpr std::uint16_t kHidden = kDontEnum | kDontDelete;

constexpr NativeMember kStatics[] = {
    Method(u"initialize", Initialize, kHidden),
};

}  // namespace

void AddBroadcasterMethods(Interpreter& in, Object* o, std::uint16_t attrs) {
    Globals& g = in.globals();
    in.vm().Define(o, u"addListener", Value::Obj(g.addListener), attrs);
    in.vm().Define(o, u"removeListener", Value::Obj(g.removeListener), attrs);
    in.vm().Define(o, u"broadcastMessage", Value::Obj(g.broadcastMessage), attrs);
}

void InitializeBroadcaster(Interpreter& in, Object* o) {
    in.vm().Define(o, u"_listeners", Value::Obj(in.NewArray()), kDontEnum);
    AddBroadcasterMethods(in, o, kDontEnum);
}

void InstallAsBroadcaster(Interpreter& in, Globals& g) {
    Object* proto = in.vm().New<Object>(g.objectProto);
    Object* ctor =
        MakeClass(in, u"AsBroadcaster", proto, [](CallContext& c) -> Value { return c.thisValue; });
    // One function of each, shared by every broadcaster.
    g.addListener = MakeNative(in, AddListener);
    g.removeListener = MakeNative(in, RemoveListenerFn);
    g.broadcastMessage = MakeNative(in, BroadcastMessage);
    AddBroadcasterMethods(in, ctor, kHidden);
    DefineMembers(in.vm(), ctor, kStatics);
}

void InstallPlayerBroadcasters(Interpreter& in, Globals& g) {
    for (StringView name : {u"Key", u"Mouse", u"Stage"}) {
        Object* o = in.vm().New<Object>(g.objectProto);
        InitializeBroadcaster(in, o);
        in.vm().Define(g.global, name, Value::Obj(o), kDontEnum);
    }
}

}  // namespace flash::avm1
