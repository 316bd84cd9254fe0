#pragma once

#include <cstdint>
#include <unordered_map>
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

    // The built-ins by native table id (class << 16 | method), for ASnative; filled on first use.
    struct NativeEntry {
        NativeFn fn;
        NativeFn construct;
    };
    std::unordered_map<std::uint32_t, NativeEntry> natives;
    bool nativesIndexed = false;

  private:
    Vm& vm_;
};

Interpreter& InterpreterOf(Vm& vm);
Timers& TimersOf(Vm& vm);

}  // namespace flash::avm1
