#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "actions_cache.h"
#include "flash/avm1/actions.h"
#include "internal.h"

namespace flash::avm1 {

class Globals;
class Interpreter;

// An active Try action of an activation.
struct TryHandler {
    enum class State : std::uint8_t { Try, Catch, Finally };
    std::size_t start = 0;  // first action of the try block
    std::size_t tryEnd = 0;
    std::size_t catchEnd = 0;
    std::size_t finallyEnd = 0;
    bool hasCatch = false;
    bool hasFinally = false;
    bool catchInRegister = false;
    std::uint8_t reg = 0;
    String name;
    State state = State::Try;
    std::size_t stackDepth = 0;
    std::optional<Value> pendingThrow;
    std::optional<Value> pendingReturn;
};

// A With block of an activation.
struct WithBlock {
    std::size_t start = 0;
    std::size_t end = 0;
    ScopePtr saved;
};

// One running block of actions: a top-level action list or a function body.
struct Activation {
    ActionBytes code;
    std::shared_ptr<ActionProgram> program;  // the decoded actions of `code`
    std::size_t begin = 0;
    std::size_t end = 0;
    PoolPtr pool;
    std::vector<Value> registers;
    ScopePtr scope;              // with blocks and function scopes, innermost first
    Object* locals = nullptr;    // a function's activation object
    Object* target = nullptr;    // the timeline timeline actions and variables use
    Object* base = nullptr;      // the timeline the code belongs to
    bool targetValid = true;     // false when timeline actions have no clip to act on
    bool targetMissing = false;  // SetTarget named no clip (SWF 7: GetProperty("") fails)
    Value thisValue;
    Object* callee = nullptr;
    Object* home = nullptr;  // where the running method was found (super)
    Value argumentsValue;
    int version = 7;
    std::size_t stackBase = 0;
    std::vector<TryHandler> tries;
    std::vector<WithBlock> withs;
};

// Where an activation's action loop stands: handlers move `pc` (already past the action)
// and end the activation with `returned`.
struct Flow {
    std::size_t pc = 0;
    bool returned = false;
    Value result;
};

// What an action handler works on: the interpreter, the running activation, the action and
// where the loop goes next.
struct ActionStep {
    Interpreter& in;
    Activation& act;
    const DecodedAction& action;
    Flow& flow;

    int version() const { return act.version; }
    template <typename T>
    const T& Payload() const {
        return action.As<T>();
    }
    inline Value Pop();
    inline void Push(Value v);
};

// One handler per action code; codes without one are skipped.
using ActionHandler = void (*)(ActionStep&);
using HandlerTable = std::array<ActionHandler, 256>;

inline void SetHandler(HandlerTable& table, ActionCode code, ActionHandler handler) {
    table[static_cast<std::uint8_t>(code)] = handler;
}

// The handler families, each adding its actions to the table.
void AddArithmeticHandlers(HandlerTable& table);  // arithmetic, comparison, strings, bits
void AddStackHandlers(HandlerTable& table);       // stack, registers, variables, members
void AddControlHandlers(HandlerTable& table);     // branches, calls, functions, exceptions
void AddTimelineHandlers(HandlerTable& table);    // timeline, properties, host requests

// "_levelN" -> N.
std::optional<int> LevelOf(StringView name);

class Interpreter {
  public:
    Interpreter(Vm& vm, Globals& globals);

    Vm& vm() { return vm_; }
    Globals& globals() { return globals_; }
    Host& host() { return vm_.host(); }

    // Top-level entry: resets the budget when no run is active.
    RunResult RunTop(const ActionBytes& code, std::size_t begin, std::size_t end, Object* target,
                     int version);
    // Runs a function body or an action list inside a run.
    Value Execute(Activation& act);
    bool Running() const { return depth_ > 0; }

    // Calls a function object. Throws ScriptThrow / AbortRun.
    Value CallFunction(Object* function, const Value& thisValue, std::span<const Value> args,
                       int version, Object* home = nullptr);
    // new: builds the object and runs the constructor.
    Value Construct(Object* function, std::span<const Value> args, int version);
    // Runs a call from outside (host, timers): catches script errors.
    Value CallGuarded(Object* function, const Value& thisValue, std::span<const Value> args,
                      int version);

    // Members with prototype chains, accessors and natives.
    Value GetMember(const Value& object, StringView name, int version);
    Value GetMember(Object* object, StringView name, int version, Object** foundOn = nullptr);
    void SetMember(Object* object, StringView name, const Value& value, int version);
    void SetMemberUnwatched(Object* object, StringView name, const Value& value, int version);
    bool HasMember(Object* object, StringView name, int version);
    // The member with prototypes, accessors and natives, without __resolve.
    bool FindMember(Object* object, StringView name, int version, Value& out,
                    Object** foundOn = nullptr);
    bool DeleteMember(Object* object, StringView name, int version);
    // Enumerable member names, own and inherited, as for..in lists them.
    std::vector<String> EnumerateKeys(Object* object, int version);

    // Conversions that may run script.
    Value ToPrimitive(const Value& value, int version, bool preferString = false);
    double ToNumber(const Value& value, int version);
    String ToString(const Value& value, int version);
    Object* ToObject(const Value& value, int version);  // wraps primitives; null for nullish
    bool IsFunction(const Value& value) const;
    bool InstanceOf(Object* object, Object* constructor, int version);
    bool LooseEquals(const Value& a, const Value& b, int version);
    bool StrictEquals(const Value& a, const Value& b) const;
    // a < b: true, false or undefined (NaN involved).
    Value LessThan(const Value& a, const Value& b, int version, bool objectsFalse = false);
    String TypeOf(const Value& value);

    // Objects.
    Object* NewObject();
    ArrayObject* NewArray();
    Object* NewFunctionObject(FunctionObject* function);  // adds prototype
    Object* ObjectFor(Clip* clip);

    // Target paths.
    Clip* ResolveTargetPath(StringView path, Clip* base, int version);
    Value ResolveTargetValue(StringView path, Activation* act, Clip* base, int version);
    String DotPath(Clip& clip);
    String SlashPath(Clip& clip);

    // Variables by name or path, as GetVariable/SetVariable see them.
    Value GetVariable(Activation& act, StringView path);
    // The object and member name a variable path names ("a.b.c" -> a.b and "c").
    bool ResolveVariableOwner(Activation& act, StringView path, Object*& owner, String& member);
    void SetVariable(Activation& act, StringView path, const Value& value);

    // Guards.
    void CheckString(std::size_t length);
    // A new string of `length` units: counted against the run's text allowance.
    void ChargeString(std::size_t length);
    void CountActions(std::uint64_t n);

    std::uint64_t executed() const { return executed_; }
    std::uint64_t totalExecuted() const { return total_ + executed_; }
    // Every object the running activations reference (for collection between runs).
    void Roots(std::vector<Object*>& out) const;

    Value ExecuteFunction(ScriptFunction& fn, const Value& thisValue, std::span<const Value> args,
                          Object* home);
    Clip* TargetClip(Activation& act);
    Value LookupName(Activation& act, StringView name, bool* found = nullptr);

    // For the action handlers: the operand stack of the running activation (popping past
    // its bottom gives undefined), registers, and nested runs.
    Value Pop();
    void Push(Value v);
    Value& Top();
    std::size_t StackSize() const { return stack_.size(); }
    // Values the activation may pop.
    std::size_t StackAvailable(const Activation& act) const {
        return stack_.size() - std::min(stack_.size(), act.stackBase);
    }
    Value* Register(Activation& act, std::size_t index);
    // A name from the stack: strings are used in place, other values converted into `text`.
    StringView NameOf(const Value& name, int version, String& text);
    // Runs a frame's actions for the Call action, counted as a call.
    void RunNested(Activation& sub);
    // The decoded actions of a buffer for a movie of SWF `version`.
    std::shared_ptr<ActionProgram> ProgramFor(const ActionBytes& code, int version) {
        return programs_.Get(code, version);
    }

    void GotoFrameSpec(Activation& act, const Value& frame, bool play, int bias);
    bool ResolveFrameSpec(Activation& act, const Value& frame, Clip*& clip, int& index,
                          bool* label = nullptr);
    void SetTargetTo(Activation& act, const Value& target);
    // Defines the function whose body starts at `bodyStart`; gives the offset after it.
    std::size_t DefineFunction(Activation& act, const FunctionDefinition& def,
                               std::size_t bodyStart);

  private:
    void BeginOuterRun();
    void CheckTime();
    bool HandleThrow(Activation& act, const Value& thrown, std::size_t& pc);
    bool CheckBlocks(Activation& act, Flow& flow);
    void PreloadRegisters(ScriptFunction& fn, Activation& act, LocalsObject& locals,
                          std::span<const Value> args);

    Value LookupSpecial(Activation& act, StringView name, bool& found);
    Object* ResolvePathObject(Activation& act, StringView path, bool slash);

    // `chain` with `outer` appended as its outermost entry.
    static ScopePtr WithOuter(const ScopePtr& chain, Object* outer);

    Vm& vm_;
    Globals& globals_;
    std::vector<Value> stack_;
    std::vector<Activation*> activations_;
    int depth_ = 0;
    int callDepth_ = 0;
    int watchDepth_ = 0;
    std::uint64_t executed_ = 0;
    std::uint64_t total_ = 0;
    std::size_t stringUnits_ = 0;
    double runStartMs_ = 0;
    ActionCache programs_;
};

inline Value ActionStep::Pop() {
    return in.Pop();
}
inline void ActionStep::Push(Value v) {
    in.Push(std::move(v));
}

}  // namespace flash::avm1
