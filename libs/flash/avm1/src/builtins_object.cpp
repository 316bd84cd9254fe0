// Object, Function, Error, the global functions and the MovieClip methods the interpreter
// answers from the Clip interface.
#include <cmath>
#include <limits>

#include "flash/avm1/convert.h"
#include "globals.h"
#include "interpreter.h"
#include "timers.h"

namespace flash::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::vector<Value> ArgsFrom(std::span<const Value> args, std::size_t first) {
    if (first >= args.size()) {
        return {};
    }
    return std::vector<Value>(args.begin() + static_cast<std::ptrdiff_t>(first), args.end());
}

// The elements of an array-like value, for apply.
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

// call and apply run a function on _global when given no object.
Value ThisArg(Interpreter& in, const Value& v) {
    return v.IsNullish() ? Value::Obj(in.globals().global) : v;
}

bool IsDigitOf(char16_t c, int radix, int& d) {
    if (c >= u'0' && c <= u'9') {
        d = c - u'0';
    } else if (c >= u'a' && c <= u'z') {
        d = c - u'a' + 10;
    } else if (c >= u'A' && c <= u'Z') {
        d = c - u'A' + 10;
    } else {
        return false;
    }
    return d < radix;
}

bool IsWhite(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

double ParseInt(const String& s, const Value& radixArg, Interpreter& in, int version) {
    std::size_t i = 0;
    while (i < s.size() && IsWhite(s[i])) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i] == u'-';
        ++i;
    }
    int radix = 10;
    if (!radixArg.IsUndefined()) {
        double r = in.ToNumber(radixArg, version);
        if (!std::isfinite(r) || r < 2 || r > 36) {
            return kNaN;
        }
        radix = static_cast<int>(r);
        if (radix == 16 && i + 1 < s.size() && s[i] == u'0' &&
            (s[i + 1] == u'x' || s[i + 1] == u'X')) {
            i += 2;
        }
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        radix = 16;
        i += 2;
    } else if (i + 1 < s.size() && s[i] == u'0') {
        // Octal when every digit is one
        bool octal = true;
        for (std::size_t k = i; k < s.size() && !IsWhite(s[k]); ++k) {
            if (s[k] < u'0' || s[k] > u'7') {
                octal = s[k] >= u'0' && s[k] <= u'9' ? false : octal;
                if (s[k] < u'0' || s[k] > u'9') {
                    break;
                }
            }
        }
        radix = octal ? 8 : 10;
    }
    double v = 0;
    bool any = false;
    int d = 0;
    while (i < s.size() && IsDigitOf(s[i], radix, d)) {
        v = v * radix + d;
        any = true;
        ++i;
    }
    if (!any) {
        return kNaN;
    }
    return negative ? -v : v;
}

// parseFloat as Flash reads it: points after the first are skipped, and an exponent is read
// only when there was a single point; the exponent wraps at 32 bits.
double ParseFloat(const String& s) {
    std::size_t i = 0;
    while (i < s.size() && IsWhite(s[i])) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) {
        negative = s[i] == u'-';
        ++i;
    }
    double mantissa = 0;
    long long scale = 0;  // power of ten applied to the mantissa
    bool digits = false;
    bool dot = false;
    bool extraDot = false;
    for (; i < s.size(); ++i) {
        char16_t c = s[i];
        if (c >= u'0' && c <= u'9') {
            mantissa = mantissa * 10 + (c - u'0');
            digits = true;
            if (dot) {
                --scale;
            }
        } else if (c == u'.') {
            extraDot = dot;
            dot = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return kNaN;
    }
    if (!extraDot && i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        std::size_t k = i + 1;
        bool negExp = false;
        if (k < s.size() && (s[k] == u'-' || s[k] == u'+')) {
            negExp = s[k] == u'-';
            ++k;
        }
        std::uint32_t exponent = 0;
        bool expDigits = false;
        while (k < s.size() && s[k] >= u'0' && s[k] <= u'9') {
            exponent = exponent * 10 + static_cast<std::uint32_t>(s[k] - u'0');
            expDigits = true;
            ++k;
        }
        if (expDigits) {
            auto e = static_cast<std::int32_t>(exponent);  // wraps as Flash's does
            scale += negExp ? -static_cast<long long>(e) : e;
        }
    }
    double value = mantissa;
    if (scale < 0) {
        value /= std::pow(10.0, static_cast<double>(-scale));
    } else if (scale > 0) {
        value *= std::pow(10.0, static_cast<double>(scale));
    }
    return negative ? -value : value;
}

String Escape(const String& s) {
    static const char* kHex = "0123456789ABCDEF";
    String out;
    std::string utf8 = ToUtf8(s);
    for (unsigned char c : utf8) {
        if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
            out.push_back(c);
        } else {
            out.push_back(u'%');
            out.push_back(static_cast<char16_t>(kHex[c >> 4]));
            out.push_back(static_cast<char16_t>(kHex[c & 15]));
        }
    }
    return out;
}

String Unescape(const String& s, int version) {
    std::string bytes;
    auto hex = [](char16_t c) -> int {
        if (c >= u'0' && c <= u'9') {
            return c - u'0';
        }
        if (c >= u'a' && c <= u'f') {
            return c - u'a' + 10;
        }
        if (c >= u'A' && c <= u'F') {
            return c - u'A' + 10;
        }
        return -1;
    };
    String out;
    auto flush = [&]() {
        if (!bytes.empty()) {
            out += version >= 6 ? FromUtf8(bytes) : FromLatin1(bytes);
            bytes.clear();
        }
    };
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == u'%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
            bytes.push_back(static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2])));
            i += 2;
        } else {
            flush();
            out.push_back(s[i]);
        }
    }
    flush();
    return out;
}

// The names ASSetPropFlags applies to: null for all, a comma list, or an array.
std::vector<String> PropNames(Interpreter& in, const Value& v, int version) {
    std::vector<String> names;
    if (Object* o = v.AsObject()) {
        for (const Value& e : ListFrom(in, v, version)) {
            names.push_back(in.ToString(e, version));
        }
        (void)o;
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

}  // namespace

void InstallObject(Interpreter& setup, Globals& g) {
    Vm& vm = setup.vm();
    Object* proto = g.objectProto;
    Object* ctor = MakeClass(setup, g, u"Object", proto,
                             [](CallContext& c) -> Value {
                                 Interpreter& in = InterpreterOf(c.vm);
                                 if (!c.args.empty() && !c.args[0].IsNullish()) {
                                     return Value::Obj(in.ToObject(c.args[0], c.version));
                                 }
                                 if (c.construct && c.This()) {
                                     return c.thisValue;
                                 }
                                 return Value::Obj(in.NewObject());
                             },
                             {});
    Method(setup, proto, u"toString", [](CallContext& c) -> Value {
        Object* o = c.This();
        if (o && InterpreterOf(c.vm).IsFunction(c.thisValue)) {
            return Value::Str(u"[type Function]");
        }
        return Value::Str(u"[object Object]");
    });
    Method(setup, proto, u"toLocaleString", [](CallContext& c) -> Value {
        return Value::Str(InterpreterOf(c.vm).IsFunction(c.thisValue) ? u"[type Function]"
                                                                      : u"[object Object]");
    });
    Method(setup, proto, u"valueOf", [](CallContext& c) -> Value { return c.thisValue; });
    Method(
        setup, proto, u"hasOwnProperty",
        [](CallContext& c) -> Value {
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
        },
        kDontEnum | kVersion6);
    Method(
        setup, proto, u"isPrototypeOf",
        [](CallContext& c) -> Value {
            Object* self = c.This();
            Object* o = c.Arg(0).AsObject();
            for (int depth = 0; self && o && depth < 256; ++depth) {
                o = o->Proto();
                if (o == self) {
                    return Value::Bool(true);
                }
            }
            return Value::Bool(false);
        },
        kDontEnum | kVersion6);
    Method(
        setup, proto, u"isPropertyEnumerable",
        [](CallContext& c) -> Value {
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
        },
        kDontEnum | kVersion6);
    Method(setup, proto, u"addProperty", [](CallContext& c) -> Value {
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
    });
    Method(setup, proto, u"watch", [](CallContext& c) -> Value {
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
    });
    Method(setup, proto, u"unwatch", [](CallContext& c) -> Value {
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
    });
    Method(setup, ctor, u"registerClass", [&g](CallContext& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        if (c.args.size() < 2) {
            return Value::Bool(false);
        }
        String name = in.ToString(c.args[0], c.version);
        c.vm.Define(g.classRegistry, name, c.args[1].IsObject() ? c.args[1] : Value::Null());
        return Value::Bool(true);
    });
    vm.Define(g.global, u"ASSetPropFlags",
              Value::Obj(MakeNative(
                  setup,
                  [](CallContext& c) -> Value {
                      Interpreter& in = InterpreterOf(c.vm);
                      Object* o = c.Arg(0).AsObject();
                      if (!o || c.args.size() < 3) {
                          return Value();
                      }
                      auto set =
                          static_cast<std::uint16_t>(ToUint32(in.ToNumber(c.args[2], c.version)));
                      auto clear = static_cast<std::uint16_t>(
                          c.args.size() > 3 ? ToUint32(in.ToNumber(c.args[3], c.version)) : 0);
                      auto apply = [&](Member& m) {
                          m.attrs = static_cast<std::uint16_t>((m.attrs & ~clear) | set);
                      };
                      if (c.args[1].IsNull()) {
                          o->Members().ForEach(apply);
                      } else {
                          for (const String& name : PropNames(in, c.args[1], c.version)) {
                              if (Member* m = o->Members().Find(name, c.version >= 7)) {
                                  apply(*m);
                              }
                          }
                      }
                      return Value();
                  })),
              kDontEnum);
}

void InstallFunction(Interpreter& setup, Globals& g) {
    Object* proto = g.functionProto;
    // Function(x) gives x; Function() a new object that inherits nothing.
    MakeClass(setup, g, u"Function", proto, [](CallContext& c) -> Value {
        return c.args.empty() ? Value::Obj(c.vm.New<Object>(nullptr)) : c.args[0];
    });
    Method(
        setup, proto, u"call",
        [](CallContext& c) -> Value {
            Interpreter& in = InterpreterOf(c.vm);
            Object* f = c.This();
            if (!f || !in.IsFunction(c.thisValue)) {
                return Value();
            }
            std::vector<Value> args = ArgsFrom(c.args, 1);
            return in.CallFunction(f, ThisArg(in, c.Arg(0)), args, c.version);
        },
        kDontEnum | kVersion6);
    Method(
        setup, proto, u"apply",
        [](CallContext& c) -> Value {
            Interpreter& in = InterpreterOf(c.vm);
            Object* f = c.This();
            if (!f || !in.IsFunction(c.thisValue)) {
                return Value();
            }
            std::vector<Value> args = ListFrom(in, c.Arg(1), c.version);
            return in.CallFunction(f, ThisArg(in, c.Arg(0)), args, c.version);
        },
        kDontEnum | kVersion6);
}

void InstallError(Interpreter& setup, Globals& g) {
    Object* proto = g.errorProto;
    Object* ctor = MakeClass(setup, g, u"Error", proto, [](CallContext& c) -> Value {
        Object* self = c.This();
        if (self && !c.Arg(0).IsUndefined()) {
            c.vm.Set(self, u"message", c.args[0], c.version);
        }
        return c.thisValue;
    });
    (void)ctor;
    setup.vm().Define(proto, u"message", Value::Str(u"Error"), kDontEnum);
    setup.vm().Define(proto, u"name", Value::Str(u"Error"), kDontEnum);
    Method(setup, proto, u"toString", [](CallContext& c) -> Value {
        return Value::Str(
            InterpreterOf(c.vm).ToString(c.vm.Get(c.This(), u"message", c.version), c.version));
    });
}

void InstallGlobalFunctions(Interpreter& setup, Globals& g) {
    Vm& vm = setup.vm();
    Object* global = g.global;
    vm.Define(global, u"NaN", Value::Number(kNaN), kDontEnum);
    vm.Define(global, u"Infinity", Value::Number(std::numeric_limits<double>::infinity()),
              kDontEnum);
    Method(setup, global, u"parseInt", [](CallContext& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        if (c.args.empty()) {
            return Value::Number(kNaN);
        }
        return Value::Number(ParseInt(in.ToString(c.args[0], c.version), c.Arg(1), in, c.version));
    });
    Method(setup, global, u"parseFloat", [](CallContext& c) -> Value {
        if (c.args.empty()) {
            return Value();
        }
        return Value::Number(ParseFloat(InterpreterOf(c.vm).ToString(c.args[0], c.version)));
    });
    Method(setup, global, u"isNaN", [](CallContext& c) -> Value {
        return Value::Bool(c.args.empty() ||
                           std::isnan(InterpreterOf(c.vm).ToNumber(c.args[0], c.version)));
    });
    Method(setup, global, u"isFinite", [](CallContext& c) -> Value {
        return Value::Bool(!c.args.empty() &&
                           std::isfinite(InterpreterOf(c.vm).ToNumber(c.args[0], c.version)));
    });
    Method(setup, global, u"escape", [](CallContext& c) -> Value {
        if (c.args.empty()) {
            return Value();
        }
        return Value::Str(Escape(InterpreterOf(c.vm).ToString(c.args[0], c.version)));
    });
    Method(setup, global, u"unescape", [](CallContext& c) -> Value {
        if (c.args.empty()) {
            return Value();
        }
        return Value::Str(Unescape(InterpreterOf(c.vm).ToString(c.args[0], c.version), c.version));
    });
    auto addTimer = [](CallContext& c, bool repeat) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        if (c.args.empty()) {
            return Value();
        }
        if (in.IsFunction(c.args[0])) {
            if (c.args.size() < 2 || c.args[1].IsUndefined()) {
                return Value();
            }
            double ms = in.ToNumber(c.args[1], c.version);
            int id = TimersOf(c.vm).Add(c.args[0].AsObject(), nullptr, String(),
                                        ArgsFrom(c.args, 2), ms, repeat, c.version);
            return id ? Value::Number(id) : Value();
        }
        Object* o = c.args[0].AsObject();
        if (!o || c.args.size() < 3 || c.args[2].IsUndefined()) {
            return Value();
        }
        String method = in.ToString(c.args[1], c.version);
        double ms = in.ToNumber(c.args[2], c.version);
        int id = TimersOf(c.vm).Add(nullptr, o, method, ArgsFrom(c.args, 3), ms, repeat, c.version);
        return id ? Value::Number(id) : Value();
    };
    Method(setup, global, u"setInterval", [addTimer](CallContext& c) { return addTimer(c, true); });
    Method(setup, global, u"setTimeout", [addTimer](CallContext& c) { return addTimer(c, false); });
    auto clear = [](CallContext& c) -> Value {
        double id = InterpreterOf(c.vm).ToNumber(c.Arg(0), c.version);
        if (std::isfinite(id)) {
            TimersOf(c.vm).Remove(IntOf(id));
        }
        return Value();
    };
    Method(setup, global, u"clearInterval", clear);
    Method(setup, global, u"clearTimeout", clear);
}

void InstallMovieClip(Interpreter& setup, Globals& g) {
    Object* proto = g.movieClipProto;
    MakeClass(setup, g, u"MovieClip", proto, [](CallContext& c) -> Value { return c.thisValue; });
    MakeClass(setup, g, u"Button", g.buttonProto,
              [](CallContext& c) -> Value { return c.thisValue; });
    MakeClass(setup, g, u"TextField", g.textFieldProto,
              [](CallContext& c) -> Value { return c.thisValue; });
    auto clipOf = [](CallContext& c) -> Clip* {
        Object* o = c.This();
        return o ? o->AsClip() : nullptr;
    };
    Method(setup, proto, u"play", [clipOf](CallContext& c) -> Value {
        if (Clip* clip = clipOf(c)) {
            clip->Play();
        }
        return Value();
    });
    Method(setup, proto, u"stop", [clipOf](CallContext& c) -> Value {
        if (Clip* clip = clipOf(c)) {
            clip->Stop();
        }
        return Value();
    });
    Method(setup, proto, u"nextFrame", [clipOf](CallContext& c) -> Value {
        if (Clip* clip = clipOf(c)) {
            clip->GotoFrame(clip->CurrentFrame() + 1, false);
        }
        return Value();
    });
    Method(setup, proto, u"prevFrame", [clipOf](CallContext& c) -> Value {
        if (Clip* clip = clipOf(c)) {
            if (clip->CurrentFrame() > 0) {
                clip->GotoFrame(clip->CurrentFrame() - 1, false);
            } else {
                clip->Stop();
            }
        }
        return Value();
    });
    auto gotoFrame = [clipOf](CallContext& c, bool play) -> Value {
        Clip* clip = clipOf(c);
        if (!clip || c.args.empty()) {
            return Value();
        }
        Interpreter& in = InterpreterOf(c.vm);
        const Value& f = c.args.back();
        if (f.IsString()) {
            double n = StringToNumber(f.AsString(), 7);
            if (std::isfinite(n)) {
                if (n >= 1) {
                    clip->GotoFrame(static_cast<int>(std::min(n, 2147483647.0)) - 1, play);
                }
            } else {
                clip->GotoLabel(f.AsString(), play);
            }
            return Value();
        }
        double n = in.ToNumber(f, c.version);
        if (std::isfinite(n) && n >= 1) {
            clip->GotoFrame(static_cast<int>(std::min(std::trunc(n), 2147483647.0)) - 1, play);
        }
        return Value();
    };
    Method(setup, proto, u"gotoAndPlay",
           [gotoFrame](CallContext& c) { return gotoFrame(c, true); });
    Method(setup, proto, u"gotoAndStop",
           [gotoFrame](CallContext& c) { return gotoFrame(c, false); });
    Method(setup, proto, u"startDrag", [clipOf](CallContext& c) -> Value {
        Clip* clip = clipOf(c);
        if (!clip) {
            return Value();
        }
        Interpreter& in = InterpreterOf(c.vm);
        bool lock = ToBoolean(c.Arg(0), c.version);
        std::optional<DragRect> rect;
        if (c.args.size() >= 5) {
            rect = DragRect{in.ToNumber(c.args[1], c.version), in.ToNumber(c.args[2], c.version),
                            in.ToNumber(c.args[3], c.version), in.ToNumber(c.args[4], c.version)};
        }
        c.vm.host().StartDrag(*clip, lock, rect);
        return Value();
    });
    Method(setup, proto, u"stopDrag", [](CallContext& c) -> Value {
        c.vm.host().StopDrag();
        return Value();
    });
    Method(setup, proto, u"duplicateMovieClip", [clipOf](CallContext& c) -> Value {
        Clip* clip = clipOf(c);
        if (!clip || c.args.size() < 2) {
            return Value();
        }
        Interpreter& in = InterpreterOf(c.vm);
        String name = in.ToString(c.args[0], c.version);
        double depth = in.ToNumber(c.args[1], c.version);
        c.vm.host().CloneSprite(
            *clip, name,
            std::isfinite(depth) ? static_cast<int>(std::clamp(depth, -2147483648.0, 2147483647.0))
                                 : 0);
        Clip* parent = clip->Parent();
        Clip* made = parent ? parent->ChildByName(name, c.version >= 7) : nullptr;
        return made ? Value::Obj(c.vm.ObjectOf(*made)) : Value();
    });
    Method(setup, proto, u"removeMovieClip", [clipOf](CallContext& c) -> Value {
        if (Clip* clip = clipOf(c)) {
            c.vm.host().RemoveSprite(*clip);
        }
        return Value();
    });
}

}  // namespace flash::avm1

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

}  // namespace

// AsBroadcaster: listeners kept in _listeners, told of events by broadcastMessage.
void InstallBroadcaster(Interpreter& setup, Globals& g) {
    Vm& vm = setup.vm();
    Object* proto = vm.New<Object>(g.objectProto);
    Object* ctor = MakeClass(setup, g, u"AsBroadcaster", proto,
                             [](CallContext& c) -> Value { return c.thisValue; });
    auto* add = MakeNative(setup, [](CallContext& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        Object* self = c.This();
        if (!self) {
            return Value::Bool(false);
        }
        ArrayObject* list = Listeners(in, self, c.version, true);
        RemoveListener(in, list, c.Arg(0), c.version);
        list->Push(c.vm, c.Arg(0));
        return Value::Bool(true);
    });
    auto* remove = MakeNative(setup, [](CallContext& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        Object* self = c.This();
        ArrayObject* list = self ? Listeners(in, self, c.version, false) : nullptr;
        return Value::Bool(list && RemoveListener(in, list, c.Arg(0), c.version));
    });
    auto* broadcast = MakeNative(setup, [](CallContext& c) -> Value {
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
    });
    const std::uint16_t hidden = kDontEnum | kDontDelete;
    vm.Define(ctor, u"addListener", Value::Obj(add), hidden);
    vm.Define(ctor, u"removeListener", Value::Obj(remove), hidden);
    vm.Define(ctor, u"broadcastMessage", Value::Obj(broadcast), hidden);
    Method(
        setup, ctor, u"initialize",
        [add, remove, broadcast](CallContext& c) -> Value {
            Interpreter& in = InterpreterOf(c.vm);
            Object* o = c.Arg(0).AsObject();
            if (!o) {
                return Value();
            }
            in.vm().Define(o, u"_listeners", Value::Obj(in.NewArray()), kDontEnum);
            in.vm().Define(o, u"addListener", Value::Obj(add), kDontEnum);
            in.vm().Define(o, u"removeListener", Value::Obj(remove), kDontEnum);
            in.vm().Define(o, u"broadcastMessage", Value::Obj(broadcast), kDontEnum);
            return Value();
        },
        hidden);

    // The player's broadcasters: the runtime adds their methods and sends their events.
    auto initialize = [&](Object* o) {
        vm.Define(o, u"_listeners", Value::Obj(setup.NewArray()), kDontEnum);
        vm.Define(o, u"addListener", Value::Obj(add), kDontEnum);
        vm.Define(o, u"removeListener", Value::Obj(remove), kDontEnum);
        vm.Define(o, u"broadcastMessage", Value::Obj(broadcast), kDontEnum);
    };
    for (StringView name : {u"Key", u"Mouse", u"Stage"}) {
        Object* o = vm.New<Object>(g.objectProto);
        initialize(o);
        vm.Define(g.global, name, Value::Obj(o), kDontEnum);
    }
    Object* system = vm.New<Object>(g.objectProto);
    vm.Define(g.global, u"System", Value::Obj(system), kDontEnum);
    Object* ime = vm.New<Object>(g.objectProto);
    initialize(ime);
    vm.Define(system, u"IME", Value::Obj(ime), kDontEnum);
    Object* loaderProto = vm.New<Object>(g.objectProto);
    MakeClass(setup, g, u"MovieClipLoader", loaderProto, [](CallContext& c) -> Value {
        if (Object* self = c.This()) {
            // The loader hears its own events first.
            ArrayObject* list = InterpreterOf(c.vm).NewArray();
            list->Push(c.vm, c.thisValue);
            c.vm.Define(self, u"_listeners", Value::Obj(list), kDontEnum);
        }
        return c.thisValue;
    });
    // loadClip(url, target) and unloadClip(target): target is a clip, a path or a level.
    auto load = [](CallContext& c, const Value& url, const Value& target) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        UrlRequest req;
        req.url = url.IsUndefined() ? String() : in.ToString(url, c.version);
        req.loadTarget = true;
        req.loader = url.IsUndefined() ? nullptr : c.This();
        if (target.IsNumber()) {
            double level = target.AsNumber();
            if (!(level >= 0 && level < 16000)) {
                return Value::Bool(false);
            }
            req.targetLevel = static_cast<int>(level);
            req.target = u"_level" + in.ToString(Value::Number(std::trunc(level)), c.version);
        } else {
            Clip* clip = nullptr;
            if (Object* o = target.AsObject()) {
                clip = o->AsClip();
            } else if (target.IsString()) {
                clip = in.ResolveTargetPath(target.AsString(), nullptr, c.version);
            }
            if (!clip) {
                return Value::Bool(false);
            }
            req.target = in.DotPath(*clip);
            if (clip->Parent()) {
                req.targetClip = clip;
            } else {
                req.targetLevel = clip->LevelNumber();
            }
        }
        in.host().GetUrl(req);
        return Value::Bool(true);
    };
    Method(setup, loaderProto, u"loadClip",
           [load](CallContext& c) -> Value { return load(c, c.Arg(0), c.Arg(1)); });
    Method(setup, loaderProto, u"unloadClip",
           [load](CallContext& c) -> Value { return load(c, Value(), c.Arg(0)); });
    vm.Define(loaderProto, u"addListener", Value::Obj(add), kDontEnum);
    vm.Define(loaderProto, u"removeListener", Value::Obj(remove), kDontEnum);
    vm.Define(loaderProto, u"broadcastMessage", Value::Obj(broadcast), kDontEnum);
}

}  // namespace flash::avm1
