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
    Object* xmlNodeProto = nullptr;
    // AsBroadcaster's methods, one function of each shared by every broadcaster.
    Object* addListener = nullptr;
    Object* removeListener = nullptr;
    Object* broadcastMessage = nullptr;

  private:
    Vm& vm_;
};

Interpreter& InterpreterOf(Vm& vm);
Timers& TimersOf(Vm& vm);

}  // namespace flash::avm1
