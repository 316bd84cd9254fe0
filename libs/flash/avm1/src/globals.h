#pragma once

#include <vector>

#include "internal.h"

namespace flash::avm1 {

class Interpreter;
class Timers;

// The global object and the built-in classes of one interpreter.
class Globals {
  public:
    explicit Globals(Vm& vm) : vm_(vm) {}
    void Install(Interpreter& in);
    void Roots(std::vector<Object*>& out) const;

    Object* global = nullptr;
    Object* objectProto = nullptr;
    Object* functionProto = nullptr;
    Object* arrayProto = nullptr;
    Object* stringProto = nullptr;
    Object* numberProto = nullptr;
    Object* booleanProto = nullptr;
    Object* dateProto = nullptr;
    Object* errorProto = nullptr;
    Object* movieClipProto = nullptr;
    Object* buttonProto = nullptr;
    Object* textFieldProto = nullptr;
    Object* arrayCtor = nullptr;
    Object* classRegistry = nullptr;  // Object.registerClass: export name -> constructor
    Object* xmlNodeCtor = nullptr;

  private:
    Vm& vm_;
};

// Built-in installers, one per class family (builtins_*.cpp).
void InstallObject(Interpreter& in, Globals& g);
void InstallFunction(Interpreter& in, Globals& g);
void InstallArray(Interpreter& in, Globals& g);
void InstallString(Interpreter& in, Globals& g);
void InstallNumberBoolean(Interpreter& in, Globals& g);
void InstallMath(Interpreter& in, Globals& g);
void InstallDate(Interpreter& in, Globals& g);
void InstallGlobalFunctions(Interpreter& in, Globals& g);
void InstallMovieClip(Interpreter& in, Globals& g);
void InstallError(Interpreter& in, Globals& g);
void InstallBroadcaster(Interpreter& in, Globals& g);
void InstallXml(Interpreter& in, Globals& g);
void InstallExternalInterface(Interpreter& in, Globals& g);

// Helpers for the built-ins.
NativeFunction* MakeNative(Interpreter& in, NativeFn fn, NativeFn construct = {});
void Method(Interpreter& in, Object* target, StringView name, NativeFn fn,
            std::uint16_t attrs = kDontEnum);
Object* MakeClass(Interpreter& in, Globals& g, StringView name, Object* proto, NativeFn fn,
                  NativeFn construct = {});

Interpreter& InterpreterOf(Vm& vm);
Timers& TimersOf(Vm& vm);

}  // namespace flash::avm1
