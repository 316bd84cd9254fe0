// String, Number, Boolean and Math.
#include <cmath>
#include <limits>

#include "flash/avm1/convert.h"
#include "globals.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

char16_t ToLowerChar(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<char16_t>(c + 32);
    }
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
        c != 0x17F) {
        bool evenUpper = (c < 0x139) || (c > 0x148 && c < 0x179);
        if (evenUpper ? (c % 2 == 0) : (c % 2 == 1)) {
            return static_cast<char16_t>(c + 1);
        }
        return c;
    }
    if ((c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
        return static_cast<char16_t>(c + 32);
    }
    if (c >= 0x400 && c <= 0x40F) {
        return static_cast<char16_t>(c + 80);
    }
    return c;
}

char16_t ToUpperChar(char16_t c) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return static_cast<char16_t>(c - 32);
    }
    if (c == 0xFF) {
        return 0x178;
    }
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
        c != 0x17F) {
        bool evenUpper = (c < 0x139) || (c > 0x148 && c < 0x179);
        if (evenUpper ? (c % 2 == 1) : (c % 2 == 0)) {
            return static_cast<char16_t>(c - 1);
        }
        return c;
    }
    if ((c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) || (c >= 0x430 && c <= 0x44F)) {
        return static_cast<char16_t>(c - 32);
    }
    if (c >= 0x450 && c <= 0x45F) {
        return static_cast<char16_t>(c - 80);
    }
    return c;
}

String ThisString(CallContext& c) {
    Object* o = c.This();
    if (o && o->Class() == ObjectClass::BoxedString) {
        return o->Primitive().AsString();
    }
    return InterpreterOf(c.vm).ToString(c.thisValue, c.version);
}

double IntegerArg(CallContext& c, std::size_t i, double fallback) {
    if (i >= c.args.size() || c.args[i].IsUndefined()) {
        return fallback;
    }
    return ToIntegerNumber(InterpreterOf(c.vm).ToNumber(c.args[i], c.version));
}

std::size_t Clamp(double v, std::size_t length) {
    if (v < 0) {
        return 0;
    }
    return static_cast<std::size_t>(std::min(v, static_cast<double>(length)));
}

Value NewStringArray(Interpreter& in, const std::vector<String>& parts) {
    ArrayObject* a = in.NewArray();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        a->SetAt(in.vm(), i, Value::Str(parts[i]));
    }
    return Value::Obj(a);
}

// Math converts the first two arguments whether it uses them or not (valueOf runs).
std::vector<double> AllNumbers(CallContext& c) {
    std::vector<double> out;
    for (std::size_t i = 0; i < c.args.size() && i < 2; ++i) {
        out.push_back(InterpreterOf(c.vm).ToNumber(c.args[i], c.version));
    }
    return out;
}

}  // namespace

void InstallString(Interpreter& setup, Globals& g) {
    Object* proto = g.stringProto;
    auto call = [](CallContext& c) -> Value {
        if (c.args.empty()) {
            return Value::Str(String());
        }
        return Value::Str(InterpreterOf(c.vm).ToString(c.args[0], c.version));
    };
    auto construct = [](CallContext& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        String s = c.args.empty() ? String() : in.ToString(c.args[0], c.version);
        return Value::Obj(in.ToObject(Value::Str(std::move(s)), c.version));
    };
    Object* ctor = MakeClass(setup, g, u"String", proto, call, construct);
    Method(setup, ctor, u"fromCharCode", [](CallContext& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        String s;
        for (const Value& v : c.args) {
            auto code = static_cast<char16_t>(ToUint16(in.ToNumber(v, c.version)));
            if (code == 0) {
                break;  // Flash strings end at a NUL
            }
            s.push_back(code);
        }
        return Value::Str(std::move(s));
    });
    Method(setup, proto, u"toString",
           [](CallContext& c) -> Value { return Value::Str(ThisString(c)); });
    Method(setup, proto, u"valueOf",
           [](CallContext& c) -> Value { return Value::Str(ThisString(c)); });
    Method(setup, proto, u"charAt", [](CallContext& c) -> Value {
        String s = ThisString(c);
        double i = IntegerArg(c, 0, 0);
        if (i < 0 || i >= static_cast<double>(s.size())) {
            return Value::Str(String());
        }
        return Value::Str(String(1, s[static_cast<std::size_t>(i)]));
    });
    Method(setup, proto, u"charCodeAt", [](CallContext& c) -> Value {
        String s = ThisString(c);
        double i = IntegerArg(c, 0, 0);
        if (i < 0 || i >= static_cast<double>(s.size())) {
            return Value::Number(kNaN);
        }
        return Value::Number(s[static_cast<std::size_t>(i)]);
    });
    Method(setup, proto, u"concat", [](CallContext& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        String s = ThisString(c);
        for (const Value& v : c.args) {
            s += in.ToString(v, c.version);
            in.ChargeString(s.size());
        }
        return Value::Str(std::move(s));
    });
    Method(setup, proto, u"indexOf", [](CallContext& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        String s = ThisString(c);
        if (c.args.empty()) {
            return Value::Number(-1);
        }
        String needle = in.ToString(c.args[0], c.version);
        std::size_t start = Clamp(IntegerArg(c, 1, 0), s.size());
        std::size_t at = s.find(needle, start);
        return Value::Number(at == String::npos ? -1 : static_cast<double>(at));
    });
    Method(setup, proto, u"lastIndexOf", [](CallContext& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        String s = ThisString(c);
        if (c.args.empty()) {
            return Value::Number(-1);
        }
        String needle = in.ToString(c.args[0], c.version);
        double from = IntegerArg(c, 1, static_cast<double>(s.size()));
        if (from < 0) {
            return Value::Number(-1);
        }
        std::size_t at = s.rfind(needle, static_cast<std::size_t>(std::min(from, 4294967295.0)));
        return Value::Number(at == String::npos ? -1 : static_cast<double>(at));
    });
    Method(setup, proto, u"slice", [](CallContext& c) -> Value {
        String s = ThisString(c);
        auto len = static_cast<double>(s.size());
        if (c.args.empty()) {
            return Value::Str(s);
        }
        double start = IntegerArg(c, 0, 0);
        double end = IntegerArg(c, 1, len);
        if (start < 0) {
            start += len;
        }
        if (end < 0) {
            end += len;
        }
        std::size_t b = Clamp(start, s.size());
        std::size_t e = Clamp(end, s.size());
        return Value::Str(b < e ? s.substr(b, e - b) : String());
    });
    Method(setup, proto, u"substring", [](CallContext& c) -> Value {
        String s = ThisString(c);
        if (c.args.empty()) {
            return Value::Str(s);
        }
        std::size_t b = Clamp(IntegerArg(c, 0, 0), s.size());
        std::size_t e = Clamp(IntegerArg(c, 1, static_cast<double>(s.size())), s.size());
        if (b > e) {
            std::swap(b, e);
        }
        return Value::Str(s.substr(b, e - b));
    });
    Method(setup, proto, u"substr", [](CallContext& c) -> Value {
        String s = ThisString(c);
        if (c.args.empty()) {
            return Value::Str(s);
        }
        auto len = static_cast<double>(s.size());
        double start = IntegerArg(c, 0, 0);
        if (start < 0) {
            start = std::max(0.0, start + len);
        }
        double count = IntegerArg(c, 1, len);
        if (count < 0) {
            count = std::max(0.0, count + len);  // counted from the end
        }
        std::size_t b = Clamp(start, s.size());
        std::size_t n = Clamp(count, s.size() - b);
        return Value::Str(s.substr(b, n));
    });
    Method(setup, proto, u"split", [](CallContext& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        String s = ThisString(c);
        std::vector<String> parts;
        if (c.args.empty() || c.args[0].IsUndefined()) {
            parts.push_back(s);
            return NewStringArray(in, parts);
        }
        String sep = in.ToString(c.args[0], c.version);
        double limit = 4294967295.0;
        if (c.args.size() > 1 && !c.args[1].IsUndefined()) {
            limit = ToUint32(in.ToNumber(c.args[1], c.version));
        }
        if (sep.empty()) {
            if (c.version < 6) {
                parts.push_back(s);
            } else {
                for (std::size_t i = 0; i < s.size() && parts.size() < limit; ++i) {
                    parts.emplace_back(1, s[i]);
                }
            }
            return NewStringArray(in, parts);
        }
        std::size_t start = 0;
        while (parts.size() < limit) {
            std::size_t at = s.find(sep, start);
            if (at == String::npos) {
                parts.push_back(s.substr(start));
                break;
            }
            parts.push_back(s.substr(start, at - start));
            start = at + sep.size();
        }
        return NewStringArray(in, parts);
    });
    Method(setup, proto, u"toLowerCase", [](CallContext& c) -> Value {
        String s = ThisString(c);
        for (char16_t& ch : s) {
            ch = ToLowerChar(ch);
        }
        return Value::Str(std::move(s));
    });
    Method(setup, proto, u"toUpperCase", [](CallContext& c) -> Value {
        String s = ThisString(c);
        for (char16_t& ch : s) {
            ch = ToUpperChar(ch);
        }
        return Value::Str(std::move(s));
    });
}

void InstallNumberBoolean(Interpreter& setup, Globals& g) {
    Vm& vm = setup.vm();
    Object* numberProto = g.numberProto;
    auto numberCall = [](CallContext& c) -> Value {
        return Value::Number(c.args.empty() ? 0
                                            : InterpreterOf(c.vm).ToNumber(c.args[0], c.version));
    };
    auto numberConstruct = [](CallContext& c) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        double n = c.args.empty() ? 0 : in.ToNumber(c.args[0], c.version);
        return Value::Obj(in.ToObject(Value::Number(n), c.version));
    };
    Object* number = MakeClass(setup, g, u"Number", numberProto, numberCall, numberConstruct);
    const std::uint16_t constant = kDontEnum | kDontDelete | kReadOnly;
    vm.Define(number, u"MAX_VALUE", Value::Number(std::numeric_limits<double>::max()), constant);
    vm.Define(number, u"MIN_VALUE", Value::Number(std::numeric_limits<double>::denorm_min()),
              constant);
    vm.Define(number, u"NaN", Value::Number(kNaN), constant);
    vm.Define(number, u"POSITIVE_INFINITY", Value::Number(std::numeric_limits<double>::infinity()),
              constant);
    vm.Define(number, u"NEGATIVE_INFINITY", Value::Number(-std::numeric_limits<double>::infinity()),
              constant);
    auto thisNumber = [](CallContext& c) -> std::optional<double> {
        if (c.thisValue.IsNumber()) {
            return c.thisValue.AsNumber();
        }
        Object* o = c.This();
        if (o && o->Class() == ObjectClass::BoxedNumber) {
            return o->Primitive().AsNumber();
        }
        return std::nullopt;
    };
    Method(setup, numberProto, u"toString", [thisNumber](CallContext& c) -> Value {
        auto n = thisNumber(c);
        if (!n) {
            return Value();
        }
        int radix = 10;
        if (!c.Arg(0).IsUndefined()) {
            double r = InterpreterOf(c.vm).ToNumber(c.args[0], c.version);
            radix = IntOf(r, 10);
        }
        return Value::Str(NumberToRadixString(*n, radix));
    });
    Method(setup, numberProto, u"valueOf", [thisNumber](CallContext& c) -> Value {
        auto n = thisNumber(c);
        return n ? Value::Number(*n) : Value();
    });

    Object* booleanProto = g.booleanProto;
    auto boolCall = [](CallContext& c) -> Value {
        return c.args.empty() ? Value() : Value::Bool(ToBoolean(c.args[0], c.version));
    };
    auto boolConstruct = [](CallContext& c) -> Value {
        bool b = !c.args.empty() && ToBoolean(c.args[0], c.version);
        return Value::Obj(InterpreterOf(c.vm).ToObject(Value::Bool(b), c.version));
    };
    MakeClass(setup, g, u"Boolean", booleanProto, boolCall, boolConstruct);
    auto thisBool = [](CallContext& c) -> std::optional<bool> {
        if (c.thisValue.IsBool()) {
            return c.thisValue.AsBool();
        }
        Object* o = c.This();
        if (o && o->Class() == ObjectClass::BoxedBoolean) {
            return o->Primitive().AsBool();
        }
        return std::nullopt;
    };
    Method(setup, booleanProto, u"toString", [thisBool](CallContext& c) -> Value {
        auto b = thisBool(c);
        return b ? Value::Str(*b ? u"true" : u"false") : Value();
    });
    Method(setup, booleanProto, u"valueOf", [thisBool](CallContext& c) -> Value {
        auto b = thisBool(c);
        return b ? Value::Bool(*b) : Value();
    });
}

void InstallMath(Interpreter& setup, Globals& g) {
    Vm& vm = setup.vm();
    Object* math = vm.New<Object>(g.objectProto);
    vm.Define(g.global, u"Math", Value::Obj(math), kDontEnum);
    const std::uint16_t constant = kDontEnum | kDontDelete | kReadOnly;
    vm.Define(math, u"E", Value::Number(2.718281828459045), constant);
    vm.Define(math, u"LN10", Value::Number(2.302585092994046), constant);
    vm.Define(math, u"LN2", Value::Number(0.6931471805599453), constant);
    vm.Define(math, u"LOG10E", Value::Number(0.4342944819032518), constant);
    vm.Define(math, u"LOG2E", Value::Number(1.4426950408889634), constant);
    vm.Define(math, u"PI", Value::Number(3.141592653589793), constant);
    vm.Define(math, u"SQRT1_2", Value::Number(0.7071067811865476), constant);
    vm.Define(math, u"SQRT2", Value::Number(1.4142135623730951), constant);
    auto unary = [&](StringView name, double (*f)(double)) {
        Method(setup, math, name, [f](CallContext& c) -> Value {
            std::vector<double> n = AllNumbers(c);
            return Value::Number(n.empty() ? kNaN : f(n[0]));
        });
    };
    unary(u"abs", [](double x) { return std::fabs(x); });
    unary(u"acos", [](double x) { return std::acos(x); });
    unary(u"asin", [](double x) { return std::asin(x); });
    unary(u"atan", [](double x) { return std::atan(x); });
    unary(u"ceil", [](double x) { return std::ceil(x); });
    unary(u"cos", [](double x) { return std::cos(x); });
    unary(u"exp", [](double x) { return std::exp(x); });
    unary(u"floor", [](double x) { return std::floor(x); });
    unary(u"log", [](double x) { return std::log(x); });
    unary(u"round", [](double x) { return std::floor(x + 0.5); });
    unary(u"sin", [](double x) { return std::sin(x); });
    unary(u"sqrt", [](double x) { return std::sqrt(x); });
    unary(u"tan", [](double x) { return std::tan(x); });
    Method(setup, math, u"atan2", [](CallContext& c) -> Value {
        std::vector<double> n = AllNumbers(c);
        return Value::Number(n.size() < 2 ? kNaN : std::atan2(n[0], n[1]));
    });
    Method(setup, math, u"pow", [](CallContext& c) -> Value {
        std::vector<double> n = AllNumbers(c);
        if (n.empty()) {
            return Value::Number(kNaN);
        }
        double y = n.size() > 1 ? n[1] : InterpreterOf(c.vm).ToNumber(Value(), c.version);
        return Value::Number(std::pow(n[0], y));
    });
    // min and max compare exactly two values: a missing second one is undefined.
    auto minmax = [](CallContext& c, bool max) -> Value {
        Interpreter& in = InterpreterOf(c.vm);
        if (c.args.empty()) {
            return Value::Number(max ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity());
        }
        double x = in.ToNumber(c.args[0], c.version);
        double y = in.ToNumber(c.Arg(1), c.version);
        if (std::isnan(x) || std::isnan(y)) {
            return Value::Number(kNaN);
        }
        return Value::Number(max ? std::max(x, y) : std::min(x, y));
    };
    Method(setup, math, u"max", [minmax](CallContext& c) { return minmax(c, true); });
    Method(setup, math, u"min", [minmax](CallContext& c) { return minmax(c, false); });
    Method(setup, math, u"random", [](CallContext& c) -> Value {
        AllNumbers(c);
        return Value::Number(c.vm.host().Random());
    });
}

}  // namespace flash::avm1
