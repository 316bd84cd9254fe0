#include "flash/avm1/convert.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

namespace flash::avm1 {

namespace {

String Ascii(const std::string& s) {
    return String(s.begin(), s.end());
}

bool IsSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f' ||
           c == 0xA0 || c == 0x2028 || c == 0x2029 || c == 0xFEFF;
}

int DigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'z') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'Z') {
        return c - u'A' + 10;
    }
    return 99;
}

char16_t FoldChar(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<char16_t>(c + 32);
    }
    return c;
}

// A decimal number filling the whole of `s`, or nothing.
bool ParseDecimal(StringView s, double& out) {
    std::string ascii;
    std::size_t i = 0;
    bool digits = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        ascii.push_back(static_cast<char>(s[i++]));
    }
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
        ascii.push_back(static_cast<char>(s[i++]));
        digits = true;
    }
    if (i < s.size() && s[i] == u'.') {
        ascii.push_back('.');
        ++i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
            ascii.push_back(static_cast<char>(s[i++]));
            digits = true;
        }
    }
    if (!digits) {
        return false;
    }
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
            ascii.push_back(static_cast<char>(s[i++]));
        }
        bool expDigits = false;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
            ascii.push_back(static_cast<char>(s[i++]));
            expDigits = true;
        }
        if (!expDigits) {
            return false;
        }
    }
    if (i != s.size()) {
        return false;
    }
    out = std::strtod(ascii.c_str(), nullptr);
    return true;
}

// Integer digits of `radix` filling the whole of `s`, wrapped to a signed 32-bit value as
// Flash reads hexadecimal and octal strings.
bool ParseRadixInteger(StringView s, int radix, double& out) {
    if (s.empty()) {
        return false;
    }
    std::uint32_t v = 0;
    for (char16_t c : s) {
        int d = DigitValue(c);
        if (d >= radix) {
            return false;
        }
        v = v * static_cast<std::uint32_t>(radix) + static_cast<std::uint32_t>(d);
    }
    out = static_cast<std::int32_t>(v);
    return true;
}

// SWF 4 reads the decimal number at the start of a string, and 0 when there is none.
double LeadingDecimal(StringView s) {
    std::size_t i = 0;
    std::string ascii;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        ascii.push_back(static_cast<char>(s[i++]));
    }
    bool digits = false;
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
        ascii.push_back(static_cast<char>(s[i++]));
        digits = true;
    }
    if (i < s.size() && s[i] == u'.') {
        ascii.push_back('.');
        ++i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
            ascii.push_back(static_cast<char>(s[i++]));
            digits = true;
        }
    }
    if (!digits) {
        return 0;
    }
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        std::string exp = "e";
        std::size_t k = i + 1;
        if (k < s.size() && (s[k] == u'+' || s[k] == u'-')) {
            exp.push_back(static_cast<char>(s[k++]));
        }
        bool expDigits = false;
        while (k < s.size() && s[k] >= u'0' && s[k] <= u'9') {
            exp.push_back(static_cast<char>(s[k++]));
            expDigits = true;
        }
        if (expDigits) {
            ascii += exp;
        }
    }
    return std::strtod(ascii.c_str(), nullptr);
}

}  // namespace

String NumberToString(double number) {
    if (std::isnan(number)) {
        return u"NaN";
    }
    if (std::isinf(number)) {
        return number > 0 ? u"Infinity" : u"-Infinity";
    }
    if (number == 0) {
        return u"0";
    }
    // 15 significant digits, then Flash's choice of plain or exponent form.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", number);
    std::string text(buf);
    std::size_t e = text.find('e');
    int exponent = std::atoi(text.c_str() + e + 1);
    std::string mantissa = text.substr(0, e);
    bool negative = mantissa[0] == '-';
    std::string digits;
    for (char c : mantissa) {
        if (c >= '0' && c <= '9') {
            digits.push_back(c);
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    std::string out = negative ? "-" : "";
    int count = static_cast<int>(digits.size());
    if (exponent >= 15 || exponent < -5) {
        out += digits[0];
        if (count > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += exponent >= 0 ? "e+" : "e-";
        out += std::to_string(std::abs(exponent));
    } else if (exponent >= 0) {
        if (count <= exponent + 1) {
            out += digits + std::string(static_cast<std::size_t>(exponent + 1 - count), '0');
        } else {
            out += digits.substr(0, static_cast<std::size_t>(exponent + 1)) + "." +
                   digits.substr(static_cast<std::size_t>(exponent + 1));
        }
    } else {
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
    return Ascii(out);
}

String NumberToRadixString(double number, int radix) {
    if (radix < 2 || radix > 36 || radix == 10) {
        return NumberToString(number);
    }
    // Flash truncates to a 32-bit integer the way x86 does: NaN, infinities and numbers out
    // of range become -2^31, whose digits then come out below '0' ("-/000..." in base 2).
    std::int32_t v = std::numeric_limits<std::int32_t>::min();
    if (std::isfinite(number) && number > -2147483649.0 && number < 2147483648.0) {
        v = static_cast<std::int32_t>(number);
    }
    bool negative = v < 0;
    if (negative && v != std::numeric_limits<std::int32_t>::min()) {
        v = -v;
    }
    String out;
    do {
        int d = v % radix;  // negative only for -2^31
        out.insert(out.begin(), static_cast<char16_t>(d < 10 ? u'0' + d : u'a' + d - 10));
        v /= radix;
    } while (v != 0);
    if (negative) {
        out.insert(out.begin(), u'-');
    }
    return out;
}

double StringToNumber(StringView text, int version) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsSpace(text[b])) {
        ++b;
    }
    const bool indented = b > 0;  // leading white space rules out octal
    StringView s = text.substr(b, e - b);
    if (version < 5) {
        return LeadingDecimal(s);
    }
    if (s.empty()) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    bool negative = false;
    StringView body = s;
    if (body[0] == u'-' || body[0] == u'+') {
        negative = body[0] == u'-';
        body.remove_prefix(1);
    }
    double v = 0;
    if (version >= 6 && body.size() > 2 && body[0] == u'0' &&
        (body[1] == u'x' || body[1] == u'X')) {
        StringView digits = body.substr(2);
        if (!digits.empty() && (digits[0] == u'-' || digits[0] == u'+')) {
            negative = negative != (digits[0] == u'-');  // "0x-10" is -16
            digits.remove_prefix(1);
        }
        if (ParseRadixInteger(digits, 16, v)) {
            return negative ? -v : v;
        }
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (version >= 6 && !indented && body.size() > 1 && body[0] == u'0' &&
        ParseRadixInteger(body.substr(1), 8, v)) {
        return negative ? -v : v;
    }
    if (ParseDecimal(s, v)) {
        return v;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

double PrimitiveToNumber(const Value& value, int version) {
    switch (value.type()) {
        case Type::Undefined:
        case Type::Null:
            return version < 7 ? 0.0 : std::numeric_limits<double>::quiet_NaN();
        case Type::Boolean:
            return value.AsBool() ? 1.0 : 0.0;
        case Type::Number:
            return value.AsNumber();
        case Type::Str:
            return StringToNumber(value.AsString(), version);
        case Type::Object:
            break;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

String PrimitiveToString(const Value& value, int version) {
    switch (value.type()) {
        case Type::Undefined:
            return version < 7 ? u"" : u"undefined";
        case Type::Null:
            return u"null";
        case Type::Boolean:
            return value.AsBool() ? u"true" : u"false";
        case Type::Number:
            return NumberToString(value.AsNumber());
        case Type::Str:
            return value.AsString();
        case Type::Object:
            break;
    }
    return u"[object Object]";
}

bool ToBoolean(const Value& value, int version) {
    switch (value.type()) {
        case Type::Undefined:
        case Type::Null:
            return false;
        case Type::Boolean:
            return value.AsBool();
        case Type::Number: {
            double d = value.AsNumber();
            return d != 0 && !std::isnan(d);
        }
        case Type::Str: {
            if (version >= 7) {
                return !value.AsString().empty();
            }
            double d = StringToNumber(value.AsString(), version);
            return d != 0 && !std::isnan(d);
        }
        case Type::Object:
            return true;
    }
    return false;
}

double ToIntegerNumber(double number) {
    if (std::isnan(number)) {
        return 0;
    }
    return std::trunc(number);
}

std::uint32_t ToUint32(double number) {
    if (!std::isfinite(number)) {
        return 0;
    }
    double t = std::trunc(number);
    double m = std::fmod(t, 4294967296.0);
    if (m < 0) {
        m += 4294967296.0;
    }
    return static_cast<std::uint32_t>(m);
}

std::int32_t ToInt32(double number) {
    return static_cast<std::int32_t>(ToUint32(number));
}

std::uint16_t ToUint16(double number) {
    return static_cast<std::uint16_t>(ToUint32(number));
}

bool NamesEqual(StringView a, StringView b, int version) {
    if (version >= 7) {
        return a == b;
    }
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldChar(a[i]) != FoldChar(b[i])) {
            return false;
        }
    }
    return true;
}

String FoldCase(StringView name) {
    String out(name);
    for (char16_t& c : out) {
        c = FoldChar(c);
    }
    return out;
}

}  // namespace flash::avm1
