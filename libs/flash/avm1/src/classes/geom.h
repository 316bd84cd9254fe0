#pragma once

// What the flash.geom classes share: their package object and their number members.

#include "classes.h"
#include "interpreter.h"

namespace flash::avm1 {

// _global.flash.geom, made on first use.
Object* GeomPackage(Interpreter& in, Globals& g);
// new flash.geom.<name>(args...) as a script would write it; undefined without the class.
Value NewGeom(Vm& vm, StringView name, std::span<const Value> args, int version);
// A member as a number.
double NumberMember(CallContext& c, const Value& object, StringView name);
// Appends "name=value" as a script's string concatenation writes the value.
void AppendField(CallContext& c, String& out, StringView name, const Value& value);

}  // namespace flash::avm1
