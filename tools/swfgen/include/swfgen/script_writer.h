#pragma once

// Action bytes written as expressions and statements, laid out as a compiler lays them out:
// scripts of the data movies and of test movies without hand-placed stack operations.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "swfgen/action_builder.h"

namespace swfgen {

class ScriptWriter;
// Pushes one value.
using Expr = std::function<void(ScriptWriter&)>;
using Block = std::function<void(ScriptWriter&)>;

Expr Str(std::string s);
Expr Num(double d);
Expr Bool(bool b);
Expr Null();
// A variable by name or path ("_root", "this", a local).
Expr Var(std::string name);
Expr Member(Expr object, std::string name);
Expr Call(Expr object, std::string method, std::vector<Expr> args = {});
Expr New(std::string className, std::vector<Expr> args = {});
// A binary action on two values (Add2, Less2, Equals2, ...).
Expr Binary(std::uint8_t code, Expr a, Expr b);
Expr Not(Expr a);
// a ? b : c
Expr Choose(Expr condition, Expr a, Expr b);
// An anonymous function of named parameters.
Expr Function(std::vector<std::string> params, Block body);

class ScriptWriter {
  public:
    ActionBuilder& Actions() { return a_; }

    ScriptWriter& Push(const Expr& e);
    // name = value; a local of the function when `local`.
    ScriptWriter& Set(const std::string& name, const Expr& value, bool local = false);
    ScriptWriter& SetMember(const Expr& object, const std::string& name, const Expr& value);
    // Evaluates and drops the value (a call for its effect).
    ScriptWriter& Do(const Expr& e);
    ScriptWriter& If(const Expr& condition, const Block& then, const Block& otherwise = {});
    ScriptWriter& Return(const Expr& e);
    ScriptWriter& Trace(const Expr& e);
    ScriptWriter& Stop();

    std::string NewLabel();
    // With the closing End.
    Bytes Build() const { return a_.Build(); }

  private:
    ActionBuilder a_;
    int labels_ = 0;
};

}  // namespace swfgen
