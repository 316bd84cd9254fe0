#include "flash/avm1/convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace flash::avm1 {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(NumberToString, PrintsAsFlashDoes) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.333333333333333"},
        {-0.0, "0"},
        {0, "0"},
        {kNaN, "NaN"},
        {kInf, "Infinity"},
        {-kInf, "-Infinity"},
        {123, "123"},
        {-45.5, "-45.5"},
        {1e15, "1e+15"},
        {1e21, "1e+21"},
        {123456789012345, "123456789012345"},
        {1234567890123456, "1.23456789012346e+15"},
        {-22222222222222222.0, "-2.22222222222222e+16"},
        {2e19, "2e+19"},
        {0.00001, "0.00001"},
        {0.000001, "1e-6"},
        {5e-25, "5e-25"},
        {1.79769313486231e+308, "1.79769313486231e+308"},
        {4.94065645841247e-324, "4.94065645841247e-324"},
        {0.14999990000000005, "0.1499999"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToUtf8(NumberToString(c.value)), c.text) << c.value;
    }
}

TEST(NumberToString, Radix) {
    EXPECT_EQ(ToUtf8(NumberToRadixString(255, 16)), "ff");
    EXPECT_EQ(ToUtf8(NumberToRadixString(-255, 2)), "-11111111");
    EXPECT_EQ(ToUtf8(NumberToRadixString(3.7, 10)), "3.7");
}

TEST(StringToNumber, AcceptsFlashForms) {
    struct Case {
        const char16_t* text;
        int version;
        double value;
    };
    const Case cases[] = {
        {u"150", 7, 150},   {u"  12.5", 7, 12.5},   {u"5  ", 7, kNaN},
        {u"-3e2", 7, -300}, {u"0x96", 7, 150},      {u"0XfF", 7, 255},
        {u"010", 7, 8},  // leading zero: octal
        {u"019", 7, 19},    {u".5", 7, 0.5},        {u"5.", 7, 5},
        {u"150a", 7, kNaN}, {u"abc", 7, kNaN},      {u"", 7, kNaN},
        {u"", 4, 0},        {u"12.34A", 4, 12.34},  {u"ABC", 4, 0},
        {u"1e", 7, kNaN},   {u"Infinity", 7, kNaN}, {u"-", 7, kNaN},
    };
    for (const Case& c : cases) {
        double got = StringToNumber(c.text, c.version);
        if (std::isnan(c.value)) {
            EXPECT_TRUE(std::isnan(got)) << ToUtf8(c.text);
        } else {
            EXPECT_EQ(got, c.value) << ToUtf8(c.text);
        }
    }
}

TEST(PrimitiveConversions, DependOnVersion) {
    EXPECT_EQ(PrimitiveToNumber(Value(), 6), 0);
    EXPECT_TRUE(std::isnan(PrimitiveToNumber(Value(), 7)));
    EXPECT_EQ(PrimitiveToNumber(Value::Null(), 6), 0);
    EXPECT_TRUE(std::isnan(PrimitiveToNumber(Value::Null(), 7)));
    EXPECT_EQ(PrimitiveToNumber(Value::Bool(true), 5), 1);
    EXPECT_EQ(ToUtf8(PrimitiveToString(Value(), 6)), "");
    EXPECT_EQ(ToUtf8(PrimitiveToString(Value(), 7)), "undefined");
    EXPECT_EQ(ToUtf8(PrimitiveToString(Value::Null(), 5)), "null");
    EXPECT_EQ(ToUtf8(PrimitiveToString(Value::Bool(false), 5)), "false");
}

TEST(ToBoolean, StringsCountAsNumbersBeforeSwf7) {
    struct Case {
        Value value;
        int version;
        bool expected;
    };
    const Case cases[] = {
        {Value::Str(u"abc"), 6, false},  {Value::Str(u"abc"), 7, true}, {Value::Str(u"1"), 6, true},
        {Value::Str(u"0"), 6, false},    {Value::Str(u"0"), 7, true},   {Value::Str(u""), 7, false},
        {Value::Number(kNaN), 7, false}, {Value::Number(-1), 5, true},  {Value(), 7, false},
        {Value::Null(), 7, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToBoolean(c.value, c.version), c.expected)
            << ToUtf8(c.value.AsString()) << " v" << c.version;
    }
}

TEST(IntegerConversions, WrapModulo2To32) {
    EXPECT_EQ(ToInt32(4294967297.0), 1);
    EXPECT_EQ(ToInt32(2147483648.0), -2147483648);
    EXPECT_EQ(ToInt32(-1.9), -1);
    EXPECT_EQ(ToInt32(kNaN), 0);
    EXPECT_EQ(ToInt32(kInf), 0);
    EXPECT_EQ(ToUint32(-1), 4294967295u);
    EXPECT_EQ(ToIntegerNumber(-2.7), -2);
}

TEST(Names, CaseFoldsBeforeSwf7) {
    EXPECT_TRUE(NamesEqual(u"myVar", u"MYVAR", 6));
    EXPECT_FALSE(NamesEqual(u"myVar", u"MYVAR", 7));
    EXPECT_TRUE(NamesEqual(u"\u00C9t\u00E9", u"\u00E9T\u00C9", 6));
}

TEST(Utf8, RoundTripsAndReplacesBadBytes) {
    EXPECT_EQ(ToUtf8(FromUtf8("a\xE4\xB8\xAD\xF0\x9F\x98\x80")), "a\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(FromUtf8("\xFF\xC3"), String(u"\uFFFD\uFFFD"));
    EXPECT_EQ(FromLatin1("test\xC5test").size(), 9u);
}

}  // namespace
}  // namespace flash::avm1
