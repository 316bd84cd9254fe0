// Arithmetic, comparison, string and bitwise actions.
#include <algorithm>
#include <cmath>

#include "flash/avm1/convert.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

using A = ActionCode;

// Before SWF 5 comparisons give 1 or 0.
Value BoolResult(bool b, int version) {
    return version < 5 ? Value::Number(b ? 1 : 0) : Value::Bool(b);
}

// Pops b, then a, and converts a first.
template <typename Op>
void Numbers(ActionStep& s, Op op) {
    Value bv = s.Pop();
    Value av = s.Pop();
    double x = s.in.ToNumber(av, s.version());
    double y = s.in.ToNumber(bv, s.version());
    s.Push(op(x, y));
}

void DoAdd(ActionStep& s) {
    Numbers(s, [](double x, double y) { return Value::Number(x + y); });
}
void DoSubtract(ActionStep& s) {
    Numbers(s, [](double x, double y) { return Value::Number(x - y); });
}
void DoMultiply(ActionStep& s) {
    Numbers(s, [](double x, double y) { return Value::Number(x * y); });
}
void DoDivide(ActionStep& s) {
    const int v = s.version();
    Numbers(s, [v](double x, double y) {
        return y == 0 && v < 5 ? Value::Str(u"#ERROR#") : Value::Number(x / y);
    });
}
void DoModulo(ActionStep& s) {
    Numbers(s, [](double x, double y) { return Value::Number(std::fmod(x, y)); });
}

void DoEquals(ActionStep& s) {
    const int v = s.version();
    Value bv = s.Pop();
    Value av = s.Pop();
    double y = s.in.ToNumber(bv, v);  // Flash converts the top value first here
    double x = s.in.ToNumber(av, v);
    s.Push(BoolResult(x == y, v));
}
void DoLess(ActionStep& s) {
    const int v = s.version();
    Numbers(s, [v](double x, double y) { return BoolResult(x < y, v); });
}

template <typename Op>
void Booleans(ActionStep& s, Op op) {
    const int v = s.version();
    Value bv = s.Pop();
    Value av = s.Pop();
    bool x = ToBoolean(av, v);
    bool y = ToBoolean(bv, v);
    s.Push(BoolResult(op(x, y), v));
}
void DoAnd(ActionStep& s) {
    Booleans(s, [](bool x, bool y) { return x && y; });
}
void DoOr(ActionStep& s) {
    Booleans(s, [](bool x, bool y) { return x || y; });
}
void DoNot(ActionStep& s) {
    s.Push(BoolResult(!ToBoolean(s.Pop(), s.version()), s.version()));
}

template <typename Op>
void Strings(ActionStep& s, Op op) {
    const int v = s.version();
    Value bv = s.Pop();
    Value av = s.Pop();
    String x = s.in.ToString(av, v);
    String y = s.in.ToString(bv, v);
    s.Push(BoolResult(op(x, y), v));
}
void DoStringEquals(ActionStep& s) {
    Strings(s, [](const String& x, const String& y) { return x == y; });
}
void DoStringLess(ActionStep& s) {
    Strings(s, [](const String& x, const String& y) { return x < y; });
}
void DoStringGreater(ActionStep& s) {
    Strings(s, [](const String& x, const String& y) { return x > y; });
}

void DoStringLength(ActionStep& s) {
    s.Push(Value::Number(static_cast<double>(s.in.ToString(s.Pop(), s.version()).size())));
}

void DoStringAdd(ActionStep& s) {
    Value bv = s.Pop();
    Value av = s.Pop();
    String x = s.in.ToString(av, s.version());
    String y = s.in.ToString(bv, s.version());
    s.in.ChargeString(x.size() + y.size());
    s.Push(Value::Str(x + y));
}

void DoStringExtract(ActionStep& s) {
    const int v = s.version();
    double count = ToInt32(s.in.ToNumber(s.Pop(), v));
    double index = ToInt32(s.in.ToNumber(s.Pop(), v));
    String text = s.in.ToString(s.Pop(), v);
    double start = std::max(0.0, index - 1);
    if (start >= static_cast<double>(text.size())) {
        s.Push(Value::Str(String()));
        return;
    }
    auto from = static_cast<std::size_t>(start);
    std::size_t n =
        count < 0
            ? text.size() - from
            : static_cast<std::size_t>(std::min(count, static_cast<double>(text.size() - from)));
    s.Push(Value::Str(text.substr(from, n)));
}

void DoToInteger(ActionStep& s) {
    s.Push(Value::Number(ToInt32(s.in.ToNumber(s.Pop(), s.version()))));
}

void DoCharToAscii(ActionStep& s) {
    // The first UTF-16 unit; half of a surrogate pair reads as U+FFFD.
    String text = s.in.ToString(s.Pop(), s.version());
    char16_t c = text.empty() ? 0 : text[0];
    s.Push(Value::Number(c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c));
}

void DoAsciiToChar(ActionStep& s) {
    auto code = static_cast<char16_t>(ToUint32(s.in.ToNumber(s.Pop(), s.version())) & 0xFFFF);
    String text;
    if (code != 0) {
        text.push_back(code >= 0xD800 && code <= 0xDFFF ? char16_t{0xFFFD} : code);
    }
    s.Push(Value::Str(std::move(text)));
}

void DoAdd2(ActionStep& s) {
    const int v = s.version();
    Value bv = s.Pop();
    Value av = s.Pop();
    Value x = s.in.ToPrimitive(av, v);
    Value y = s.in.ToPrimitive(bv, v);
    if (x.IsString() || y.IsString()) {
        String text = s.in.ToString(x, v);
        String tail = s.in.ToString(y, v);
        s.in.ChargeString(text.size() + tail.size());
        text += tail;
        s.Push(Value::Str(std::move(text)));
    } else {
        s.Push(Value::Number(s.in.ToNumber(x, v) + s.in.ToNumber(y, v)));
    }
}

void DoLess2(ActionStep& s) {
    Value bv = s.Pop();
    Value av = s.Pop();
    s.Push(s.in.LessThan(av, bv, s.version(), true));
}
void DoGreater(ActionStep& s) {
    Value bv = s.Pop();
    Value av = s.Pop();
    s.Push(s.in.LessThan(bv, av, s.version()));
}
void DoEquals2(ActionStep& s) {
    Value bv = s.Pop();
    Value av = s.Pop();
    s.Push(Value::Bool(s.in.LooseEquals(av, bv, s.version())));
}
void DoStrictEquals(ActionStep& s) {
    Value bv = s.Pop();
    Value av = s.Pop();
    s.Push(Value::Bool(s.in.StrictEquals(av, bv)));
}

void DoToNumber(ActionStep& s) {
    s.Push(Value::Number(s.in.ToNumber(s.Pop(), s.version())));
}
void DoToString(ActionStep& s) {
    s.Push(Value::Str(s.in.ToString(s.Pop(), s.version())));
}
void DoIncrement(ActionStep& s) {
    s.Push(Value::Number(s.in.ToNumber(s.Pop(), s.version()) + 1));
}
void DoDecrement(ActionStep& s) {
    s.Push(Value::Number(s.in.ToNumber(s.Pop(), s.version()) - 1));
}

// Both operands as 32-bit integers; `op` also gets the right one as a number (>>>).
template <typename Op>
void Bits(ActionStep& s, Op op) {
    Numbers(s, [op](double x, double y) { return Value::Number(op(ToInt32(x), ToInt32(y), x)); });
}
void DoBitAnd(ActionStep& s) {
    Bits(s, [](std::int32_t l, std::int32_t r, double) { return static_cast<double>(l & r); });
}
void DoBitOr(ActionStep& s) {
    Bits(s, [](std::int32_t l, std::int32_t r, double) { return static_cast<double>(l | r); });
}
void DoBitXor(ActionStep& s) {
    Bits(s, [](std::int32_t l, std::int32_t r, double) { return static_cast<double>(l ^ r); });
}
void DoBitLShift(ActionStep& s) {
    Bits(s, [](std::int32_t l, std::int32_t r, double) {
        return static_cast<double>(
            static_cast<std::int32_t>(static_cast<std::uint32_t>(l) << (r & 31)));
    });
}
void DoBitRShift(ActionStep& s) {
    Bits(s,
         [](std::int32_t l, std::int32_t r, double) { return static_cast<double>(l >> (r & 31)); });
}
void DoBitURShift(ActionStep& s) {
    // Flash gives the result as a signed 32-bit number.
    Bits(s, [](std::int32_t, std::int32_t r, double x) {
        return static_cast<double>(static_cast<std::int32_t>(ToUint32(x) >> (r & 31)));
    });
}

}  // namespace

void AddArithmeticHandlers(HandlerTable& t) {
    SetHandler(t, A::Add, DoAdd);
    SetHandler(t, A::Subtract, DoSubtract);
    SetHandler(t, A::Multiply, DoMultiply);
    SetHandler(t, A::Divide, DoDivide);
    SetHandler(t, A::Modulo, DoModulo);
    SetHandler(t, A::Equals, DoEquals);
    SetHandler(t, A::Less, DoLess);
    SetHandler(t, A::And, DoAnd);
    SetHandler(t, A::Or, DoOr);
    SetHandler(t, A::Not, DoNot);
    SetHandler(t, A::StringEquals, DoStringEquals);
    SetHandler(t, A::StringLess, DoStringLess);
    SetHandler(t, A::StringGreater, DoStringGreater);
    SetHandler(t, A::StringLength, DoStringLength);
    SetHandler(t, A::MBStringLength, DoStringLength);
    SetHandler(t, A::StringAdd, DoStringAdd);
    SetHandler(t, A::StringExtract, DoStringExtract);
    SetHandler(t, A::MBStringExtract, DoStringExtract);
    SetHandler(t, A::ToInteger, DoToInteger);
    SetHandler(t, A::CharToAscii, DoCharToAscii);
    SetHandler(t, A::MBCharToAscii, DoCharToAscii);
    SetHandler(t, A::AsciiToChar, DoAsciiToChar);
    SetHandler(t, A::MBAsciiToChar, DoAsciiToChar);
    SetHandler(t, A::Add2, DoAdd2);
    SetHandler(t, A::Less2, DoLess2);
    SetHandler(t, A::Greater, DoGreater);
    SetHandler(t, A::Equals2, DoEquals2);
    SetHandler(t, A::StrictEquals, DoStrictEquals);
    SetHandler(t, A::ToNumber, DoToNumber);
    SetHandler(t, A::ToString, DoToString);
    SetHandler(t, A::Increment, DoIncrement);
    SetHandler(t, A::Decrement, DoDecrement);
    SetHandler(t, A::BitAnd, DoBitAnd);
    SetHandler(t, A::BitOr, DoBitOr);
    SetHandler(t, A::BitXor, DoBitXor);
    SetHandler(t, A::BitLShift, DoBitLShift);
    SetHandler(t, A::BitRShift, DoBitRShift);
    SetHandler(t, A::BitURShift, DoBitURShift);
}

}  // namespace flash::avm1
