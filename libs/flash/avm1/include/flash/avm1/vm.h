#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "flash/avm1/host.h"
#include "flash/avm1/object.h"
#include "flash/avm1/value.h"

namespace flash::avm1 {

// Limits that keep a bad or hostile script from hanging or exhausting memory. A run that
// breaks one stops where it is and the host hears of it through Host::ScriptError. A run
// longer than the time limit stops only when Host::StopSlowScript says so, as Flash asks.
struct Limits {
    // Actions per top-level run: none by default; tests and fuzzing set one as a safety net.
    std::uint64_t instructionBudget = UINT64_MAX;
    double scriptTimeoutMs = 15'000;               // time of one top-level run
    int maxCallDepth = 256;                        // nested function calls
    std::size_t maxStack = 100'000;                // values on the operand stack
    std::size_t maxStringLength = 16u << 20;       // UTF-16 units in one string
    std::size_t maxStringUnitsPerRun = 64u << 20;  // UTF-16 units joined in one run
    std::size_t maxObjects = 1'000'000;            // live objects on the heap
    std::size_t maxArrayLength = 1u << 20;         // elements of one array
};

// Stops every script of the process at its next action, and keeps scripts from running until
// ResumeScripts: a program that is ending (a close request, a signal) never waits for one.
// Safe to call from a signal handler and from any thread.
void InterruptScripts();
void ResumeScripts();
bool ScriptsInterrupted();

enum class RunResult : std::uint8_t {
    Done,     // ran to the end or to an End action
    Aborted,  // broke a limit, or scripts were interrupted
    Threw,    // an exception escaped the script
};

class Heap;
class Interpreter;
class Globals;
class Timers;
struct ClipRegistry;

// The ActionScript 1/2 interpreter of one player instance: its heap, its global object and
// built-in classes, and the entry points the runtime calls. Single-threaded.
class Vm {
  public:
    explicit Vm(Host& host, Limits limits = {});
    ~Vm();
    Vm(const Vm&) = delete;
    Vm& operator=(const Vm&) = delete;

    Host& host() { return host_; }
    const Limits& limits() const { return limits_; }
    // The movie's own limits (its ScriptLimits tag): call depth and time of one run.
    void SetScriptLimits(int maxCallDepth, double timeoutMs);

    // Runs a DoAction, DoInitAction, clip event or button action block with `target` as
    // this timeline, for a movie of SWF `version`.
    RunResult Run(const ActionBytes& code, Clip* target, int version);
    RunResult Run(std::span<const std::uint8_t> code, Clip* target, int version);

    // Calls `object[name](args)` when that member is a function (clip events such as
    // onEnterFrame, listeners); gives undefined when there is none.
    Value CallMethod(Object* object, StringView name, std::span<const Value> args, int version);
    // Calls a function value with `thisValue`.
    Value Call(const Value& function, const Value& thisValue, std::span<const Value> args,
               int version);
    bool IsFunction(const Value& value) const;

    // The script object of a display object (created on first use; it holds the clip's
    // timeline variables). ClipRemoved must be called before the display object goes away.
    Object* ObjectOf(Clip& clip);
    void ClipRemoved(Clip& clip);

    // Reads or writes a variable by path from the outside ("_level0.strPath", "/a/b:v",
    // "a.b.c" relative to `base`, or to _level0 when null). Get gives nothing when the
    // path does not resolve; Set returns false then.
    std::optional<Value> GetVariable(StringView path, Clip* base = nullptr);
    bool SetVariable(StringView path, const Value& value, Clip* base = nullptr);
    // A clip named by a target path (slash or dot syntax, absolute or relative to `base`).
    Clip* ResolveTarget(StringView path, Clip* base, int version);
    // The target path of a clip in dot syntax ("_level0.a.b") and slash syntax ("/a/b").
    String DotPath(Clip& clip);
    String SlashPath(Clip& clip);

    // Conversions that may call valueOf/toString on objects.
    Value ToPrimitive(const Value& value, int version, bool preferString = false);
    double ToNumber(const Value& value, int version);
    String ToString(const Value& value, int version);

    // Objects: creation, members, built-ins.
    template <typename T, typename... Args>
    T* New(Args&&... args);
    Object* NewObject();  // with Object.prototype
    Object* NewArray(std::span<const Value> elements = {});
    Object* NewFunction(NativeFn fn, int length = 0);
    // A function that builds its own object for new (whatever `construct` returns, undefined
    // included) and runs `call` when called.
    Object* NewConstructor(NativeFn call, NativeFn construct);
    // Member access with prototypes, getters/setters and natives, as GetMember/SetMember.
    Value Get(Object* object, StringView name, int version);
    void Set(Object* object, StringView name, const Value& value, int version);
    // Defines a member without setters or read-only checks.
    void Define(Object* object, StringView name, const Value& value, std::uint16_t attrs = 0);
    void DefineNative(Object* object, StringView name, NativeFn fn,
                      std::uint16_t attrs = kDontEnum);

    Object* Global();
    // Prototypes of the built-in classes; the runtime adds native methods to MovieClip,
    // Button and TextField.
    Object* ObjectPrototype();
    Object* FunctionPrototype();
    Object* ArrayPrototype();
    Object* MovieClipPrototype();
    Object* ButtonPrototype();
    Object* TextFieldPrototype();

    // The constructor Object.registerClass gave an exported symbol (for attachMovie), or null.
    Object* RegisteredClass(StringView exportName, int version);

    // setInterval/setTimeout callbacks due at the host's current time; the runtime calls
    // this once per tick.
    void RunTimers();
    // Whether a setInterval or setTimeout is pending.
    bool HasTimers() const;

    // Frees unreachable objects. Runs by itself after top-level runs when the heap grew;
    // never during a run.
    void Collect();
    std::size_t LiveObjects() const;

    // Actions run so far (for benchmarks).
    std::uint64_t ActionsExecuted() const;

    // Takes ownership of an object made outside New.
    Object* Adopt(std::unique_ptr<Object> object);

  private:
    friend Interpreter& InterpreterOf(Vm& vm);
    friend Timers& TimersOf(Vm& vm);
    void MaybeCollect();
    template <typename F, typename R>
    R Guarded(F&& f, R fallback);

    Host& host_;
    Limits limits_;
    std::unique_ptr<Heap> heap_;
    std::unique_ptr<Globals> globals_;
    std::unique_ptr<Interpreter> interpreter_;
    std::unique_ptr<Timers> timers_;
    std::unique_ptr<ClipRegistry> clips_;
};

template <typename T, typename... Args>
T* Vm::New(Args&&... args) {
    auto object = std::make_unique<T>(std::forward<Args>(args)...);
    T* raw = object.get();
    Adopt(std::move(object));
    return raw;
}

}  // namespace flash::avm1
