// String and its methods.
#include <cmath>
#include <limits>

#include "classes.h"
#include "flash/avm1/convert.h"
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

Value Call(CallContext& c) {
    if (c.args.empty()) {
        return Value::Str(String());
    }
    return Value::Str(InterpreterOf(c.vm).ToString(c.args[0], c.version));
}

Value Construct(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    String s = c.args.empty() ? String() : in.ToString(c.args[0], c.version);
    return Value::Obj(in.ToObject(Value::Str(std::move(s)), c.version));
}

Value ToString(CallContext& c) {
    return Value::Str(ThisString(c));
}

Value FromCharCode(CallContext& c) {
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
}

Value CharAt(CallContext& c) {
    String s = ThisString(c);
    double i = IntegerArg(c, 0, 0);
    if (i < 0 || i >= static_cast<double>(s.size())) {
        return Value::Str(String());
    }
    return Value::Str(String(1, s[static_cast<std::size_t>(i)]));
}

Value CharCodeAt(CallContext& c) {
    String s = ThisString(c);
    double i = IntegerArg(c, 0, 0);
    if (i < 0 || i >= static_cast<double>(s.size())) {
        return Value::Number(kNaN);
    }
    return Value::Number(s[static_cast<std::size_t>(i)]);
}

Value Concat(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    String s = ThisString(c);
    for (const Value& v : c.args) {
        s += in.ToString(v, c.version);
        in.ChargeString(s.size());
    }
    return Value::Str(std::move(s));
}

Value IndexOf(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    String s = ThisString(c);
    if (c.args.empty()) {
        return Value::Number(-1);
    }
    String needle = in.ToString(c.args[0], c.version);
    std::size_t start = Clamp(IntegerArg(c, 1, 0), s.size());
    std::size_t at = s.find(needle, start);
    return Value::Number(at == String::npos ? -1 : static_cast<double>(at));
}

Value LastIndexOf(CallContext& c) {
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
}

Value Slice(CallContext& c) {
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
}

Value Substring(CallContext& c) {
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
}

Value Substr(CallContext& c) {
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
}

Value Split(CallContext& c) {
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
}

Value ToLowerCase(CallContext& c) {
    String s = ThisString(c);
    for (char16_t& ch : s) {
        ch = ToLowerChar(ch);
    }
    return Value::Str(std::move(s));
}

Value ToUpperCase(CallContext& c) {
    String s = ThisString(c);
    for (char16_t& ch : s) {
        ch = ToUpperChar(ch);
    }
    return Value::Str(std::move(s));
}

constexpr NativeMember kStatics[] = {
    Method(u"fromCharCode", FromCharCode),
};

constexpr NativeMember kPrototype[] = {
    Method(u"toString", ToString),
    Method(u"valueOf", ToString),
    Method(u"charAt", CharAt),
    Method(u"charCodeAt", CharCodeAt),
    Method(u"concat", Concat),
    Method(u"indexOf", IndexOf),
    Method(u"lastIndexOf", LastIndexOf),
    Method(u"slice", Slice),
    Method(u"substring", Substring),
    Method(u"substr", Substr),
    Method(u"split", Split),
    Method(u"toLowerCase", ToLowerCase),
    Method(u"toUpperCase", ToUpperCase),
};

}  // namespace

void InstallString(Interpreter& in, Globals& g) {
    Object* ctor = MakeClass(in, u"String", g.stringProto, Call, Construct);
    DefineMembers(in.vm(), ctor, kStatics);
    DefineMembers(in.vm(), g.stringProto, kPrototype);
}

}  // namespace flash::avm1
