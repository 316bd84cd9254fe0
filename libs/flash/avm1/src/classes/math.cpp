// Math: constants and functions on an object of its own (Math is not a class).
#include <cmath>
#include <limits>
#include <vector>

#include "classes.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Math converts the first two arguments whether it uses them or not (valueOf runs).
std::vector<double> AllNumbers(CallContext& c) {
    std::vector<double> out;
    for (std::size_t i = 0; i < c.args.size() && i < 2; ++i) {
        out.push_back(InterpreterOf(c.vm).ToNumber(c.args[i], c.version));
    }
    return out;
}

template <double (*F)(double)>
Value Unary(CallContext& c) {
    std::vector<double> n = AllNumbers(c);
    return Value::Number(n.empty() ? kNaN : F(n[0]));
}

double Abs(double x) {
    return std::fabs(x);
}
double Acos(double x) {
    return std::acos(x);
}
double Asin(double x) {
    return std::asin(x);
}
double Atan(double x) {
    return std::atan(x);
}
double Ceil(double x) {
    return std::ceil(x);
}
double Cos(double x) {
    return std::cos(x);
}
double Exp(double x) {
    return std::exp(x);
}
double Floor(double x) {
    return std::floor(x);
}
double Log(double x) {
    return std::log(x);
}
double Round(double x) {
    return std::floor(x + 0.5);
}
double Sin(double x) {
    return std::sin(x);
}
double Sqrt(double x) {
    return std::sqrt(x);
}
double Tan(double x) {
    return std::tan(x);
}

Value Atan2(CallContext& c) {
    std::vector<double> n = AllNumbers(c);
    return Value::Number(n.size() < 2 ? kNaN : std::atan2(n[0], n[1]));
}

Value Pow(CallContext& c) {
    std::vector<double> n = AllNumbers(c);
    if (n.empty()) {
        return Value::Number(kNaN);
    }
    double y = n.size() > 1 ? n[1] : InterpreterOf(c.vm).ToNumber(Value(), c.version);
    return Value::Number(std::pow(n[0], y));
}

// min and max compare exactly two values: a missing second one is undefined.
Value MinMax(CallContext& c, bool max) {
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
}

Value Max(CallContext& c) {
    return MinMax(c, true);
}

Value Min(CallContext& c) {
    return MinMax(c, false);
}

Value Random(CallContext& c) {
    AllNumbers(c);
    return Value::Number(c.vm.host().Random());
}

constexpr NativeMember kMembers[] = {
    Constant(u"E", 2.718281828459045),
    Constant(u"LN10", 2.302585092994046),
    Constant(u"LN2", 0.6931471805599453),
    Constant(u"LOG10E", 0.4342944819032518),
    Constant(u"LOG2E", 1.4426950408889634),
    Constant(u"PI", 3.141592653589793),
    Constant(u"SQRT1_2", 0.7071067811865476),
    Constant(u"SQRT2", 1.4142135623730951),
    Method(u"abs", Unary<Abs>),
    Method(u"acos", Unary<Acos>),
    Method(u"asin", Unary<Asin>),
    Method(u"atan", Unary<Atan>),
    Method(u"ceil", Unary<Ceil>),
    Method(u"cos", Unary<Cos>),
    Method(u"exp", Unary<Exp>),
    Method(u"floor", Unary<Floor>),
    Method(u"log", Unary<Log>),
    Method(u"round", Unary<Round>),
    Method(u"sin", Unary<Sin>),
    Method(u"sqrt", Unary<Sqrt>),
    Method(u"tan", Unary<Tan>),
    Method(u"atan2", Atan2),
    Method(u"pow", Pow),
    Method(u"max", Max),
    Method(u"min", Min),
    Method(u"random", Random),
};

}  // namespace

void InstallMath(Interpreter& in, Globals& g) {
    Object* math = in.vm().New<Object>(g.objectProto);
    in.vm().Define(g.global, u"Math", Value::Obj(math), kDontEnum);
    DefineMembers(in.vm(), math, kMembers);
}

}  // namespace flash::avm1
