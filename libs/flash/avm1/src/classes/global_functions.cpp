// The global functions and constants: NaN, Infinity, parseInt, parseFloat, isNaN, isFinite,
// escape, unescape and the timers (setInterval, setTimeout and their clear functions).
#include <cmath>
#include <limits>

#include "classes.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/url_variables.h"
#include "interpreter.h"
#include "timers.h"

namespace flash::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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
    // Whole digits accumulate; each fraction digit adds its part of a tenth shrinking by
    // division, which rounds as Flash's reading does.
    double mantissa = 0;
    double tenth = 0.1;
    long long scale = 0;  // power of ten applied by the exponent
    bool digits = false;
    bool dot = false;
    bool extraDot = false;
    for (; i < s.size(); ++i) {
        char16_t c = s[i];
        if (c >= u'0' && c <= u'9') {
            digits = true;
            if (dot) {
                mantissa += (c - u'0') * tenth;
                tenth /= 10;
            } else {
                mantissa = mantissa * 10 + (c - u'0');
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

Value ParseIntFn(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    if (c.args.empty()) {
        return Value::Number(kNaN);
    }
    return Value::Number(ParseInt(in.ToString(c.args[0], c.version), c.Arg(1), in, c.version));
}

Value ParseFloatFn(CallContext& c) {
    if (c.args.empty()) {
        return Value();
    }
    return Value::Number(ParseFloat(InterpreterOf(c.vm).ToString(c.args[0], c.version)));
}

Value IsNaN(CallContext& c) {
    return Value::Bool(c.args.empty() ||
                       std::isnan(InterpreterOf(c.vm).ToNumber(c.args[0], c.version)));
}

Value IsFinite(CallContext& c) {
    return Value::Bool(!c.args.empty() &&
                       std::isfinite(InterpreterOf(c.vm).ToNumber(c.args[0], c.version)));
}

Value EscapeFn(CallContext& c) {
    if (c.args.empty()) {
        return Value();
    }
    return Value::Str(UrlEscape(InterpreterOf(c.vm).ToString(c.args[0], c.version), false));
}

Value UnescapeFn(CallContext& c) {
    if (c.args.empty()) {
        return Value();
    }
    return Value::Str(
        UrlUnescape(InterpreterOf(c.vm).ToString(c.args[0], c.version), c.version, false));
}

// setInterval(fn, ms, args...) or setInterval(object, "method", ms, args...).
Value AddTimer(CallContext& c, bool repeat) {
    Interpreter& in = InterpreterOf(c.vm);
    if (c.args.empty()) {
        return Value();
    }
    if (in.IsFunction(c.args[0])) {
        if (c.args.size() < 2 || c.args[1].IsUndefined()) {
            return Value();
        }
        double ms = in.ToNumber(c.args[1], c.version);
        int id = TimersOf(c.vm).Add(c.args[0].AsObject(), nullptr, String(), ArgsFrom(c.args, 2),
                                    ms, repeat, c.version);
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
}

Value SetInterval(CallContext& c) {
    return AddTimer(c, true);
}

Value SetTimeout(CallContext& c) {
    return AddTimer(c, false);
}

Value ClearTimer(CallContext& c) {
    double id = InterpreterOf(c.vm).ToNumber(c.Arg(0), c.version);
    if (std::isfinite(id)) {
        TimersOf(c.vm).Remove(IntOf(id));
    }
    return Value();
}

constexpr NativeMember kGlobals[] = {
    Constant(u"NaN", kNaN, kDontEnum),
    Constant(u"Infinity", std::numeric_limits<double>::infinity(), kDontEnum),
    Method(u"parseInt", ParseIntFn),
    Method(u"parseFloat", ParseFloatFn),
    Method(u"isNaN", IsNaN),
    Method(u"isFinite", IsFinite),
    Method(u"escape", EscapeFn),
    Method(u"unescape", UnescapeFn),
    Method(u"setInterval", SetInterval),
    Method(u"setTimeout", SetTimeout),
    Method(u"clearInterval", ClearTimer),
    Method(u"clearTimeout", ClearTimer),
};

}  // namespace

void InstallGlobalFunctions(Interpreter& in, Globals& g) {
    DefineMembers(in.vm(), g.global, kGlobals);
}

}  // namespace flash::avm1
