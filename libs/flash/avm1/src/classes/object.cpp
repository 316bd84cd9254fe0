// Object, and ASSetPropFlags (which _global lists right after Object).
#include "classes.h"
#include "flash/avm1/convert.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

Value Construct(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    if (!c.args.empty() && !c.args[0].IsNullish()) {
        return Value::Obj(in.ToObject(c.args[0], c.version));
    }
    if (c.construct && c.This()) {
        return c.thisValue;
    }
    return Value::Obj(in.NewObject());
}

Value ToString(CallContext& c) {
    Object* o = c.This();
    if (o && InterpreterOf(c.vm).IsFunction(c.thisValue)) {
        return Value::Str(u"[type Function]");
    }
    return Value::Str(u"[object Object]");
}

Value ToLocaleString(CallContext& c) {
    return Value::Str(InterpreterOf(c.vm).IsFunction(c.thisValue) ? u"[type Function]"
                                                                  : u"[object Object]");
}

Value ValueOf(CallContext& c) {
    return c.thisValue;
}

Value HasOwnProperty(CallContext& c) {
    Object* o = c.This();
    if (!o || c.args.empty()) {
        return Value::Bool(false);
    }
    String name = InterpreterOf(c.vm).ToString(c.args[0], c.version);
    if (o->GetNative(c.vm, name, c.version) ||
        (o->Proto() && NamesEqual(name, u"__proto__", c.version))) {
        return Value::Bool(true);
    }
    const Member* m = o->Members().Find(name, c.version >= 7);
    return Value::Bool(m && VisibleTo(m->attrs, c.version));
}

Value IsPrototypeOf(CallContext& c) {
    Object* self = c.This();
    Object* o = c.Arg(0).AsObject();
    for (int depth = 0; self && o && depth < 256; ++depth) {
        o = o->Proto();
        if (o == self) {
            return Value::Bool(true);
        }
    }
    return Value::Bool(false);
}

Value IsPropertyEnumerable(CallContext& c) {
    Object* o = c.This();
    if (!o) {
        return Value::Bool(false);
    }
    String name = InterpreterOf(c.vm).ToString(c.Arg(0), c.version);
    if (o->GetNative(c.vm, name, c.version)) {
        return Value::Bool(o->Class() == ObjectClass::Array);
    }
    const Member* m = o->Members().Find(name, c.version >= 7);
    return Value::Bool(m && !(m->attrs & kDontEnum) && VisibleTo(m->attrs, c.version));
}

Value AddProperty(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* o = c.This();
    if (!o || c.args.size() < 2) {
        return Value::Bool(false);
    }
    String name = in.ToString(c.args[0], c.version);
    Object* getter = in.IsFunction(c.args[1]) ? c.args[1].AsObject() : nullptr;
    const Value& setterValue = c.Arg(2);
    Object* setter = in.IsFunction(setterValue) ? setterValue.AsObject() : nullptr;
    if (name.empty() || !getter || (!setter && !setterValue.IsNull())) {
        return Value::Bool(false);
    }
    Member* m = o->Members().Find(name, c.version >= 7);
    if (!m) {
        m = &o->Members().Add(name, Value());
    }
    m->value = Value();
    m->getter = getter;
    m->setter = setter;
    return Value::Bool(true);
}

Value Watch(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* o = c.This();
    if (!o || c.args.size() < 2 || !in.IsFunction(c.args[1])) {
        return Value::Bool(false);
    }
    String name = in.ToString(c.args[0], c.version);
    for (Object::Watcher& w : o->Watchers()) {
        if (NamesEqual(w.name, name, c.version)) {
            w.callback = c.args[1].AsObject();
            w.userData = c.Arg(2);
            return Value::Bool(true);
        }
    }
    o->Watchers().push_back(Object::Watcher{name, c.args[1].AsObject(), c.Arg(2)});
    return Value::Bool(true);
}

Value Unwatch(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* o = c.This();
    if (!o || c.args.empty()) {
        return Value::Bool(false);
    }
    String name = in.ToString(c.args[0], c.version);
    auto& list = o->Watchers();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (NamesEqual(it->name, name, c.version)) {
            list.erase(it);
            return Value::Bool(true);
        }
    }
    return Value::Bool(false);
}

Value RegisterClass(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    if (c.args.size() < 2) {
        return Value::Bool(false);
    }
    String name = in.ToString(c.args[0], c.version);
    c.vm.Define(in.globals().classRegistry, name, c.args[1].IsObject() ? c.args[1] : Value::Null());
    return Value::Bool(true);
}

// The names ASSetPropFlags applies to: null for all, a comma list, or an array.
std::vector<String> PropNames(Interpreter& in, const Value& v, int version) {
    std::vector<String> names;
    if (v.AsObject()) {
        for (const Value& e : ListFrom(in, v, version)) {
            names.push_back(in.ToString(e, version));
        }
        return names;
    }
    String s = in.ToString(v, version);
    std::size_t start = 0;
    while (start <= s.size()) {
        std::size_t comma = s.find(u',', start);
        if (comma == String::npos) {
            comma = s.size();
        }
        names.push_back(s.substr(start, comma - start));
        start = comma + 1;
    }
    return names;
}

Value AsSetPropFlags(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* o = c.Arg(0).AsObject();
    if (!o || c.args.size() < 3) {
        return Value();
    }
    auto set = static_cast<std::uint16_t>(ToUint32(in.ToNumber(c.args[2], c.version)));
    auto clear = static_cast<std::uint16_t>(
        c.args.size() > 3 ? ToUint32(in.ToNumber(c.args[3], c.version)) : 0);
    auto apply = [&](Member& m) { m.attrs = static_cast<std::uint16_t>((m.attrs & ~clear) | set); };
    auto* array = dynamic_cast<ArrayObject*>(o);
    auto applyElement = [&](ArrayObject::Slot& e) {
        e.attrs = static_cast<std::uint16_t>((e.attrs & ~clear) | set);
    };
    if (c.args[1].IsNull()) {
        o->Members().ForEach(apply);
        if (array) {
            for (ArrayObject::Slot& e : array->slots()) {
                if (e.present) {
                    applyElement(e);
                }
            }
        }
    } else {
        for (const String& name : PropNames(in, c.args[1], c.version)) {
            if (Member* m = o->Members().Find(name, c.version >= 7)) {
                apply(*m);
            } else if (auto index = ArrayIndex(name); array && index && array->Has(*index)) {
                applyElement(array->slots()[*index]);
            }
        }
    }
    return Value();
}

constexpr NativeMember kPrototype[] = {
    Method(u"toString", ToString),
    Method(u"toLocaleString", ToLocaleString),
    Method(u"valueOf", ValueOf),
    Method(u"hasOwnProperty", HasOwnProperty, kDontEnum | kVersion6),
    Method(u"isPrototypeOf", IsPrototypeOf, kDontEnum | kVersion6),
    Method(u"isPropertyEnumerable", IsPropertyEnumerable, kDontEnum | kVersion6),
    Method(u"addProperty", AddProperty),
    Method(u"watch", Watch),
    Method(u"unwatch", Unwatch),
};

constexpr NativeMember kStatics[] = {
    Method(u"registerClass", RegisterClass),
};

constexpr NativeMember kGlobals[] = {
    Method(u"ASSetPropFlags", AsSetPropFlags),
};

}  // namespace

void InstallObject(Interpreter& in, Globals& g) {
    Object* ctor = MakeClass(in, u"Object", g.objectProto, Construct);
    DefineMembers(in.vm(), g.objectProto, kPrototype);
    DefineMembers(in.vm(), ctor, kStatics);
    DefineMembers(in.vm(), g.global, kGlobals);
}

}  // namespace flash::avm1
