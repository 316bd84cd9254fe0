#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "flash/avm1/value.h"

namespace flash::avm1 {

class Vm;
class Clip;
class Object;

// Attributes of a member, as ASSetPropFlags sets them.
enum Attr : std::uint16_t {
    kDontEnum = 1,
    kDontDelete = 2,
    kReadOnly = 4,
    // Hidden from movies older than SWF 6, 7, 8, 9, 10 (built-ins of newer players).
    kVersion6 = 128,
    kVersion7 = 1024,
    kVersion8 = 4096,
    kVersion9 = 8192,
    kVersion10 = 16384,
};
// True when a member with these attributes is visible to a movie of `version`.
bool VisibleTo(std::uint16_t attrs, int version);

// One member of an object: a value, or a getter/setter pair added by addProperty.
struct Member {
    String name;
    Value value;
    Object* getter = nullptr;
    Object* setter = nullptr;
    std::uint16_t attrs = 0;
    bool live = true;

    bool IsAccessor() const { return getter != nullptr; }
};

// The members of an object in insertion order, found by name with or without case.
class MemberTable {
  public:
    // The member of this name: the exact spelling when `caseSensitive`, otherwise the
    // first member whose name folds to the same text.
    Member* Find(StringView name, bool caseSensitive);
    const Member* Find(StringView name, bool caseSensitive) const;
    // Adds a member (the caller checked it is absent).
    Member& Add(StringView name, Value value, std::uint16_t attrs = 0);
    bool Remove(Member* member);

    // Live members in insertion order.
    template <typename F>
    void ForEach(F&& f) const {
        for (const Member& m : slots_) {
            if (m.live) {
                f(m);
            }
        }
    }
    template <typename F>
    void ForEach(F&& f) {
        for (Member& m : slots_) {
            if (m.live) {
                f(m);
            }
        }
    }
    std::size_t size() const { return slots_.size() - dead_; }

  private:
    struct FoldHash {
        using is_transparent = void;
        std::size_t operator()(StringView s) const;
    };
    struct FoldEq {
        using is_transparent = void;
        bool operator()(StringView a, StringView b) const;
    };
    void Compact();

    std::vector<Member> slots_;
    std::unordered_multimap<String, std::uint32_t, FoldHash, FoldEq> index_;
    std::size_t dead_ = 0;
};

// What an object is, for typeof, instanceof of built-ins and the natives that need it.
enum class ObjectClass : std::uint8_t {
    Object,
    Function,
    Array,
    BoxedString,
    BoxedNumber,
    BoxedBoolean,
    Date,
    Error,
    Clip,  // a display object's script object (see ClipObject)
    Arguments,
    Host,  // other objects the runtime defines
};

// A script object. Objects live on the interpreter's heap (Vm::New), which frees them when
// nothing reaches them any more; code outside the interpreter keeps an object alive with a
// Root handle.
class Object {
  public:
    explicit Object(Object* proto, ObjectClass cls = ObjectClass::Object)
        : proto_(proto), class_(cls) {}
    virtual ~Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    ObjectClass Class() const { return class_; }
    Object* Proto() const { return proto_; }
    void SetProto(Object* proto) { proto_ = proto; }

    MemberTable& Members() { return members_; }
    const MemberTable& Members() const { return members_; }

    // Members the object answers natively (an array's length, a clip's _x). Get gives
    // nothing when `name` is not one; Set returns false when it does not take the value.
    virtual std::optional<Value> GetNative(Vm&, StringView /*name*/, int /*version*/) {
        return std::nullopt;
    }
    virtual bool SetNative(Vm&, StringView /*name*/, const Value&, int /*version*/) {
        return false;
    }
    // Extra names for enumeration (before the members), e.g. a clip's children.
    virtual void NativeKeys(Vm&, std::vector<String>&) {}
    // The display object behind a clip's script object, or null.
    virtual Clip* AsClip() { return nullptr; }

    // A primitive wrapped by a String, Number or Boolean object (undefined otherwise).
    const Value& Primitive() const { return primitive_; }
    void SetPrimitive(Value v) { primitive_ = std::move(v); }

    // Called by the collector: mark every object this one references beyond its members,
    // prototype and primitive.
    virtual void TraceRefs(std::vector<Object*>& /*out*/) {}

    // Interfaces listed by implements (ImplementsOp), on constructors' prototypes.
    std::vector<Object*>& Interfaces() { return interfaces_; }

    // Object.watch: a callback told of assignments to one member.
    struct Watcher {
        String name;
        Object* callback = nullptr;
        Value userData;
    };
    std::vector<Watcher>& Watchers() { return watchers_; }

  private:
    friend class Heap;
    friend class Root;
    Object* proto_;
    ObjectClass class_;
    bool marked_ = false;
    std::uint32_t roots_ = 0;
    Value primitive_;
    MemberTable members_;
    std::vector<Object*> interfaces_;
    std::vector<Watcher> watchers_;
};

// Arguments of a call to a native function.
struct CallContext {
    Vm& vm;
    Value thisValue;
    std::span<const Value> args;
    int version = 7;         // SWF version of the calling code
    bool construct = false;  // called by new
    Object* callee = nullptr;

    const Value& Arg(std::size_t i) const {
        static const Value undefined{};
        return i < args.size() ? args[i] : undefined;
    }
    Object* This() const { return thisValue.AsObject(); }
};
using NativeFn = std::function<Value(CallContext&)>;

// Keeps an object alive while the handle lives, for objects referenced from outside the
// interpreter (a runtime's event listeners and the like).
class Root {
  public:
    Root() = default;
    explicit Root(Object* object);
    ~Root();
    Root(const Root& other) : Root(other.object_) {}
    Root& operator=(const Root& other);
    Object* get() const { return object_; }
    Object* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

  private:
    Object* object_ = nullptr;
};

}  // namespace flash::avm1
