// ASnative, ASSetNative and ASSetNativeAccessor: the built-ins by their native table ids
// (a class number and a method number), as AS2 class files reach them.
#include <cmath>
#include <limits>

#include "classes.h"
#include "flash/avm1/convert.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

// Where a native id's function lives among the built-ins.
struct NativeId {
    std::uint16_t major;
    std::uint16_t minor;
    const char16_t* owner;  // a dotted path from _global
    const char16_t* name;
};

constexpr std::uint16_t kMath = 200;

constexpr NativeId kIds[] = {
    {100, 0, u"", u"escape"},
    {100, 1, u"", u"unescape"},
    {100, 2, u"", u"parseInt"},
    {100, 3, u"", u"parseFloat"},
    {101, 0, u"Object.prototype", u"watch"},
    {101, 1, u"Object.prototype", u"unwatch"},
    {101, 2, u"Object.prototype", u"addProperty"},
    {101, 3, u"Object.prototype", u"valueOf"},
    {101, 4, u"Object.prototype", u"toString"},
    {101, 5, u"Object.prototype", u"hasOwnProperty"},
    {101, 6, u"Object.prototype", u"isPrototypeOf"},
    {101, 7, u"Object.prototype", u"isPropertyEnumerable"},
    {101, 8, u"Object", u"registerClass"},
    {101, 10, u"Function.prototype", u"call"},
    {101, 11, u"Function.prototype", u"apply"},
    {103, 0, u"Date.prototype", u"getFullYear"},
    {103, 1, u"Date.prototype", u"getYear"},
    {103, 2, u"Date.prototype", u"getMonth"},
    {103, 3, u"Date.prototype", u"getDate"},
    {103, 4, u"Date.prototype", u"getDay"},
    {103, 5, u"Date.prototype", u"getHours"},
    {103, 6, u"Date.prototype", u"getMinutes"},
    {103, 7, u"Date.prototype", u"getSeconds"},
    {103, 8, u"Date.prototype", u"getMilliseconds"},
    {103, 9, u"Date.prototype", u"setFullYear"},
    {103, 10, u"Date.prototype", u"setMonth"},
    {103, 11, u"Date.prototype", u"setDate"},
    {103, 12, u"Date.prototype", u"setHours"},
    {103, 13, u"Date.prototype", u"setMinutes"},
    {103, 14, u"Date.prototype", u"setSeconds"},
    {103, 15, u"Date.prototype", u"setMilliseconds"},
    {103, 16, u"Date.prototype", u"getTime"},
    {103, 17, u"Date.prototype", u"setTime"},
    {103, 18, u"Date.prototype", u"getTimezoneOffset"},
    {103, 19, u"Date.prototype", u"toString"},
    {103, 20, u"Date.prototype", u"setYear"},
    {103, 128, u"Date.prototype", u"getUTCFullYear"},
    {103, 129, u"Date.prototype", u"getUTCYear"},
    {103, 130, u"Date.prototype", u"getUTCMonth"},
    {103, 131, u"Date.prototype", u"getUTCDate"},
    {103, 132, u"Date.prototype", u"getUTCDay"},
    {103, 133, u"Date.prototype", u"getUTCHours"},
    {103, 134, u"Date.prototype", u"getUTCMinutes"},
    {103, 135, u"Date.prototype", u"getUTCSeconds"},
    {103, 136, u"Date.prototype", u"getUTCMilliseconds"},
    {103, 137, u"Date.prototype", u"setUTCFullYear"},
    {103, 138, u"Date.prototype", u"setUTCMonth"},
    {103, 139, u"Date.prototype", u"setUTCDate"},
    {103, 140, u"Date.prototype", u"setUTCHours"},
    {103, 141, u"Date.prototype", u"setUTCMinutes"},
    {103, 142, u"Date.prototype", u"setUTCSeconds"},
    {103, 143, u"Date.prototype", u"setUTCMilliseconds"},
    {103, 257, u"Date", u"UTC"},
    {106, 0, u"Number.prototype", u"valueOf"},
    {106, 1, u"Number.prototype", u"toString"},
    {107, 0, u"Boolean.prototype", u"valueOf"},
    {107, 1, u"Boolean.prototype", u"toString"},
    {kMath, 0, u"Math", u"abs"},
    {kMath, 1, u"Math", u"min"},
    {kMath, 2, u"Math", u"max"},
    {kMath, 3, u"Math", u"sin"},
    {kMath, 4, u"Math", u"cos"},
    {kMath, 5, u"Math", u"atan2"},
    {kMath, 6, u"Math", u"tan"},
    {kMath, 7, u"Math", u"exp"},
    {kMath, 8, u"Math", u"log"},
    {kMath, 9, u"Math", u"sqrt"},
    {kMath, 10, u"Math", u"round"},
    {kMath, 11, u"Math", u"random"},
    {kMath, 12, u"Math", u"floor"},
    {kMath, 13, u"Math", u"ceil"},
    {kMath, 14, u"Math", u"atan"},
    {kMath, 15, u"Math", u"asin"},
    {kMath, 16, u"Math", u"acos"},
    {kMath, 17, u"Math", u"pow"},
    {kMath, 18, u"", u"isNaN"},
    {kMath, 19, u"", u"isFinite"},
    {251, 1, u"String.prototype", u"valueOf"},
    {251, 2, u"String.prototype", u"toString"},
    {251, 3, u"String.prototype", u"toUpperCase"},
    {251, 4, u"String.prototype", u"toLowerCase"},
    {251, 5, u"String.prototype", u"charAt"},
    {251, 6, u"String.prototype", u"charCodeAt"},
    {251, 7, u"String.prototype", u"concat"},
    {251, 8, u"String.prototype", u"indexOf"},
    {251, 9, u"String.prototype", u"lastIndexOf"},
    {251, 10, u"String.prototype", u"slice"},
    {251, 11, u"String.prototype", u"substring"},
    {251, 12, u"String.prototype", u"split"},
    {251, 13, u"String.prototype", u"substr"},
    {251, 14, u"String", u"fromCharCode"},
    {252, 1, u"Array.prototype", u"push"},
    {252, 2, u"Array.prototype", u"pop"},
    {252, 3, u"Array.prototype", u"concat"},
    {252, 4, u"Array.prototype", u"shift"},
    {252, 5, u"Array.prototype", u"unshift"},
    {252, 6, u"Array.prototype", u"slice"},
    {252, 7, u"Array.prototype", u"join"},
    {252, 8, u"Array.prototype", u"splice"},
    {252, 9, u"Array.prototype", u"toString"},
    {252, 10, u"Array.prototype", u"sort"},
    {252, 11, u"Array.prototype", u"reverse"},
    {252, 12, u"Array.prototype", u"sortOn"},
};

constexpr std::uint32_t Key(std::uint32_t major, std::uint32_t minor) {
    return major << 16 | (minor & 0xFFFF);
}

// An own member's plain value, without getters or watchers.
Object* OwnObject(Object* o, StringView name) {
    const Member* m = o ? o->Members().Find(name, true) : nullptr;
    return m && !m->IsAccessor() ? m->value.AsObject() : nullptr;
}

Object* OwnerOf(Globals& g, StringView path) {
    Object* o = g.global;
    while (o && !path.empty()) {
        std::size_t dot = path.find(u'.');
        o = OwnObject(o, path.substr(0, dot));
        path = dot == StringView::npos ? StringView() : path.substr(dot + 1);
    }
    return o;
}

// Taken from the built-ins as they stand at the first use.
void IndexNatives(Globals& g) {
    g.nativesIndexed = true;
    for (const NativeId& id : kIds) {
        auto* f = dynamic_cast<NativeFunction*>(OwnObject(OwnerOf(g, id.owner), id.name));
        if (f) {
            g.natives.emplace(Key(id.major, id.minor),
                              Globals::NativeEntry{f->fn(), f->constructFn()});
        }
    }
}

// A method number Math does not have still converts its first two arguments.
Value UnknownMath(CallContext& c) {
    for (std::size_t i = 0; i < c.args.size() && i < 2; ++i) {
        InterpreterOf(c.vm).ToNumber(c.args[i], c.version);
    }
    return Value::Number(std::numeric_limits<double>::quiet_NaN());
}

Value Nothing(CallContext&) {
    return Value();
}

// A new function object running the native of that id; ids without one do nothing.
Object* NativeFor(Interpreter& in, double major, double minor) {
    Globals& g = in.globals();
    if (!g.nativesIndexed) {
        IndexNatives(g);
    }
    const auto a = static_cast<std::uint32_t>(ToInt32(major));
    const auto b = static_cast<std::uint32_t>(ToInt32(minor));
    auto it = g.natives.find(Key(a, b));
    if (it != g.natives.end()) {
        return MakeNative(in, it->second.fn, it->second.construct);
    }
    return MakeNative(in, a == kMath ? UnknownMath : Nothing);
}

Value AsNative(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    if (c.args.size() < 2) {
        return Value();
    }
    double major = in.ToNumber(c.args[0], c.version);
    double minor = in.ToNumber(c.args[1], c.version);
    return Value::Obj(NativeFor(in, major, minor));
}

// One name of a native list: a leading version digit hides the member from older movies.
struct NativeName {
    StringView name;
    std::uint16_t attrs = 0;
};

NativeName ParseNativeName(StringView s) {
    if (s.size() >= 2 && s[0] == u'1' && s[1] == u'0') {
        return {s.substr(2), kVersion10};
    }
    if (s.empty()) {
        return {s, 0};
    }
    switch (s[0]) {
        case u'1':
            return {s.substr(1), 0};
        case u'6':
            return {s.substr(1), kVersion6};
        case u'7':
            return {s.substr(1), kVersion7};
        case u'8':
            return {s.substr(1), kVersion8};
        case u'9':
            return {s.substr(1), kVersion9};
        default:
            return {s, 0};
    }
}

// Calls `each(name, first, position)` for the comma list of names; `first` is the fourth
// argument, the number of the first name. Empty names take a number too.
template <typename F>
void ForEachNativeName(Interpreter& in, CallContext& c, F&& each) {
    String list = in.ToString(c.args[2], c.version);
    double first = c.args.size() > 3 ? in.ToNumber(c.args[3], c.version) : 0;
    first = std::isfinite(first) ? std::trunc(first) : 0;
    double position = 0;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t comma = list.find(u',', start);
        if (comma == String::npos) {
            comma = list.size();
        }
        NativeName n = ParseNativeName(StringView(list).substr(start, comma - start));
        if (!n.name.empty()) {
            each(n, first, position);
        }
        position += 1;
        start = comma + 1;
    }
}

double MajorOf(Interpreter& in, CallContext& c) {
    return in.ToNumber(c.args[1], c.version);
}

// An existing member keeps its flags and takes the new function.
Value AsSetNative(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* o = c.Arg(0).AsObject();
    if (!o || c.args.size() < 3) {
        return Value();
    }
    const double major = MajorOf(in, c);
    ForEachNativeName(in, c, [&](const NativeName& n, double first, double position) {
        Value fn = Value::Obj(NativeFor(in, major, first + position));
        if (Member* m = o->Members().Find(n.name, c.version >= 7)) {
            m->value = fn;
            m->getter = m->setter = nullptr;
        } else {
            o->Members().Add(n.name, fn, n.attrs);
        }
    });
    return Value();
}

// Each name takes a getter and a setter, two numbers in a row.
Value AsSetNativeAccessor(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* o = c.Arg(0).AsObject();
    if (!o || c.args.size() < 3) {
        return Value();
    }
    const double major = MajorOf(in, c);
    ForEachNativeName(in, c, [&](const NativeName& n, double first, double position) {
        const double number = first + 2 * position;
        Member* m = o->Members().Find(n.name, c.version >= 7);
        if (!m) {
            m = &o->Members().Add(n.name, Value());
        }
        m->value = Value();
        m->getter = NativeFor(in, major, number);
        m->setter = NativeFor(in, major, number + 1);
        m->attrs = n.attrs;
    });
    return Value();
}

constexpr NativeMember kGlobals[] = {
    Method(u"ASnative", AsNative),
    Method(u"ASSetNative", AsSetNative),
    Method(u"ASSetNativeAccessor", AsSetNativeAccessor),
};

}  // namespace

void InstallAsNative(Interpreter& in, Globals& g) {
    DefineMembers(in.vm(), g.global, kGlobals);
}

}  // namespace flash::avm1
