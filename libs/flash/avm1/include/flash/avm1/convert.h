#pragma once

#include <cstdint>

#include "flash/avm1/value.h"

namespace flash::avm1 {

// Conversions of primitive values as Flash does them for a movie of SWF version `version`.
// Objects need the interpreter (valueOf/toString); see Vm::ToNumber and Vm::ToString.

// The number as Flash prints it: 15 significant digits, "NaN", "Infinity", "-Infinity",
// exponent form beyond 1e15 and below 1e-5 ("1e+21", "1.5e-7"), "0" for -0.
String NumberToString(double number);
// In another radix (2..36), for Number.toString(radix): integers only, as Flash does.
String NumberToRadixString(double number, int radix);

// The numeric value of a string: decimal with optional sign, fraction and exponent, "0x"
// hexadecimal and leading-zero octal integers; surrounding white space is skipped.
// Anything else is NaN. Before SWF 5 the number at the start of the string counts and a
// string without one is 0.
double StringToNumber(StringView text, int version);

// Primitive to number: undefined and null are 0 before SWF 7 and NaN from it; booleans 1/0.
// An object gives NaN (the interpreter calls valueOf first).
double PrimitiveToNumber(const Value& value, int version);

// Primitive to string: "undefined" (empty before SWF 7), "null", "true"/"false" and numbers
// as NumberToString. An object gives "[object Object]".
String PrimitiveToString(const Value& value, int version);

// Truth value: strings are true when non-empty from SWF 7 and when their numeric value is
// non-zero before it; numbers when neither 0 nor NaN; objects always.
bool ToBoolean(const Value& value, int version);

// ECMA-262 integer conversions of numbers.
double ToIntegerNumber(double number);  // truncation towards 0, NaN -> 0
std::int32_t ToInt32(double number);
std::uint32_t ToUint32(double number);
std::uint16_t ToUint16(double number);

// Identifier comparison: case-sensitive from SWF 7, case-insensitive (ASCII letters and
// the Latin-1 range, as Flash folds them) before it.
bool NamesEqual(StringView a, StringView b, int version);
// Lower-cases for case-insensitive lookups.
String FoldCase(StringView name);

}  // namespace flash::avm1
