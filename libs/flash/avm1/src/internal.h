#pragma once

// Object kinds and helpers shared by the interpreter and the built-ins.

#include <cmath>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "flash/avm1/host.h"
#include "flash/avm1/object.h"
#include "flash/avm1/vm.h"

namespace flash::avm1 {

// A script exception travelling to the nearest Try handler.
struct ScriptThrow {
    Value value;
};
// A run that broke a limit; unwinds every activation of the run.
struct AbortRun {
    String reason;
};

// The chain of objects searched for names, innermost first.
struct Scope {
    Object* object;
    std::shared_ptr<const Scope> parent;
};
using ScopePtr = std::shared_ptr<const Scope>;
using PoolPtr = std::shared_ptr<const std::vector<Value>>;

class Interpreter;
class ActionProgram;

// Prototype chains longer than this are cycles: lookups stop there.
inline constexpr int kMaxProtoDepth = 256;

class FunctionObject : public Object {
  public:
    explicit FunctionObject(Object* proto) : Object(proto, ObjectClass::Function) {}
    // `home` is the object the method was found on (for super); null for plain calls.
    virtual Value Invoke(Interpreter& in, const Value& thisValue, std::span<const Value> args,
                         int callerVersion, bool construct, Object* home) = 0;
    // Creates the object `new` passes as this; null when the function builds its own.
    virtual bool BuildsOwnObject() const { return false; }
};

class NativeFunction : public FunctionObject {
  public:
    NativeFunction(Object* proto, NativeFn fn, NativeFn construct = {})
        : FunctionObject(proto), fn_(std::move(fn)), construct_(std::move(construct)) {}
    Value Invoke(Interpreter& in, const Value& thisValue, std::span<const Value> args,
                 int callerVersion, bool construct, Object* home) override;
    bool BuildsOwnObject() const override { return static_cast<bool>(construct_); }
    const NativeFn& fn() const { return fn_; }
    const NativeFn& constructFn() const { return construct_; }

  private:
    NativeFn fn_;
    NativeFn construct_;  // for new, when the class makes its own kind of object
};

struct FunctionParam {
    std::uint8_t reg = 0;  // 0: a local variable
    String name;
};

class ScriptFunction : public FunctionObject {
  public:
    explicit ScriptFunction(Object* proto) : FunctionObject(proto) {}
    Value Invoke(Interpreter& in, const Value& thisValue, std::span<const Value> args,
                 int callerVersion, bool construct, Object* home) override;
    void TraceRefs(std::vector<Object*>& out) override;

    ActionBytes code;
    std::shared_ptr<ActionProgram> program;  // the decoded actions of `code`
    std::size_t begin = 0;
    std::size_t end = 0;
    String name;
    std::vector<FunctionParam> params;
    bool v2 = false;
    std::uint8_t registerCount = 0;
    std::uint16_t flags = 0;
    ScopePtr scope;
    PoolPtr pool;
    Object* base = nullptr;  // the timeline the function was defined on
    int version = 7;
};

// DefineFunction2 flags.
enum FunctionFlags : std::uint16_t {
    kPreloadThis = 0x0001,
    kSuppressThis = 0x0002,
    kPreloadArguments = 0x0004,
    kSuppressArguments = 0x0008,
    kPreloadSuper = 0x0010,
    kSuppressSuper = 0x0020,
    kPreloadRoot = 0x0040,
    kPreloadParent = 0x0080,
    kPreloadGlobal = 0x0100,
};

// super inside a method: members come from `proto`, calls keep `thisValue`.
class SuperObject : public Object {
  public:
    SuperObject(Object* proto, Value thisValue, Object* home)
        : Object(proto, ObjectClass::Object), thisValue_(std::move(thisValue)), home_(home) {}
    const Value& thisValue() const { return thisValue_; }
    Object* home() const { return home_; }
    void TraceRefs(std::vector<Object*>& out) override {
        if (auto* o = thisValue_.AsObject()) {
            out.push_back(o);
        }
        out.push_back(home_);
    }

  private:
    Value thisValue_;
    Object* home_;
};

// A function call's local variables. this, arguments and super are made when first read.
class LocalsObject : public Object {
  public:
    LocalsObject() : Object(nullptr) {}
    std::optional<Value> GetNative(Vm& vm, StringView name, int version) override;
    void TraceRefs(std::vector<Object*>& out) override;
    Value Arguments(Vm& vm);
    Object* Super(Vm& vm);

    bool offerThis = false;
    bool offerArguments = false;
    bool offerSuper = false;
    Value self;
    std::vector<Value> args;
    Object* callee = nullptr;
    Value caller;
    Object* home = nullptr;  // where the method was found, for super

  private:
    Value arguments_;
    Object* super_ = nullptr;
};

class ArrayObject : public Object {
  public:
    explicit ArrayObject(Object* proto) : Object(proto, ObjectClass::Array) {}
    std::optional<Value> GetNative(Vm& vm, StringView name, int version) override;
    bool SetNative(Vm& vm, StringView name, const Value& value, int version) override;
    void NativeKeys(Vm& vm, std::vector<String>& keys) override;
    void TraceRefs(std::vector<Object*>& out) override;

    // The elements held (what the array methods walk).
    std::size_t length() const { return elements_.size(); }
    // The length scripts see: a signed 32-bit number, which differs from the elements held
    // when a script set it out of their range (negative, or beyond what an array may hold).
    std::int32_t ScriptLength() const {
        return outside_ ? *outside_ : static_cast<std::int32_t>(elements_.size());
    }
    void SetScriptLength(Vm& vm, std::int32_t length);
    // A write to a member named by a number: the length grows past it.
    void NumberedMemberSet(Vm& vm, std::int32_t index);
    // Unset elements read as undefined.
    Value At(std::size_t i) const {
        return i < elements_.size() && elements_[i].present ? elements_[i].value : Value();
    }
    bool Has(std::size_t i) const { return i < elements_.size() && elements_[i].present; }
    void SetAt(Vm& vm, std::size_t i, Value value);
    void Resize(Vm& vm, std::size_t length);
    void Push(Vm& vm, Value value) { SetAt(vm, elements_.size(), std::move(value)); }
    bool Erase(std::size_t i);  // delete a[i]; refused when the element is kDontDelete
    // a[i] = value as a script writes it: refused when the element is kReadOnly.
    bool Write(Vm& vm, std::size_t i, Value value);

    struct Slot {
        Value value;
        bool present = false;
        std::uint16_t attrs = 0;  // as ASSetPropFlags sets them
        std::uint64_t order = 0;  // when the element was added, for enumeration
    };
    std::vector<Slot>& slots() { return elements_; }

  private:
    std::vector<Slot> elements_;
    std::uint64_t added_ = 0;
    std::optional<std::int32_t> outside_;  // a script length out of the elements' range
};

// An array index written canonically ("0", "12"), or nothing.
std::optional<std::size_t> ArrayIndex(StringView name);

// The script object of a display object. Keeps the clip's variables; native members come
// from the clip while it is on stage.
class ClipObject : public Object {
  public:
    ClipObject(Object* proto, Clip* clip) : Object(proto, ObjectClass::Clip), clip_(clip) {}
    Clip* AsClip() override { return clip_; }
    void Detach() { clip_ = nullptr; }
    std::optional<Value> GetNative(Vm& vm, StringView name, int version) override;
    bool SetNative(Vm& vm, StringView name, const Value& value, int version) override;
    void NativeKeys(Vm& vm, std::vector<String>& keys) override;

  private:
    Clip* clip_;
};

// A Date object: milliseconds since 1970 UTC (NaN for an invalid date).
class DateObject : public Object {
  public:
    DateObject(Object* proto, double time) : Object(proto, ObjectClass::Date), time_(time) {}
    double time() const { return time_; }
    void set_time(double t) { time_ = t; }

  private:
    double time_;
};

String Ascii(std::string_view s);

// A count taken from a script number: 0 for NaN and negatives, at most `max`.
inline std::size_t CountOf(double n, std::size_t max) {
    if (!(n > 0)) {
        return 0;
    }
    return n >= static_cast<double>(max) ? max : static_cast<std::size_t>(n);
}

// An int from a script number, saturated (NaN gives `fallback`).
inline int IntOf(double n, int fallback = 0) {
    if (std::isnan(n)) {
        return fallback;
    }
    if (n <= -2147483648.0) {
        return -2147483647 - 1;
    }
    return n >= 2147483647.0 ? 2147483647 : static_cast<int>(n);
}

}  // namespace flash::avm1
