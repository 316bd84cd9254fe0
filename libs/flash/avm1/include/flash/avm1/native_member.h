#pragma once

// Built-in members declared as tables: a class lists its methods, properties and constants
// once, and DefineMembers adds them to a prototype or constructor in table order (the order
// for..in and ASSetPropFlags see).

#include <cstdint>
#include <span>

#include "flash/avm1/object.h"

namespace flash::avm1 {

using NativeFnPtr = Value (*)(CallContext&);

struct NativeMember {
    enum class Kind : std::uint8_t { Method, Property, Number };
    const char16_t* name = nullptr;
    Kind kind = Kind::Method;
    NativeFnPtr fn = nullptr;   // the method, or the property's getter
    NativeFnPtr set = nullptr;  // the property's setter (none: read-only to scripts)
    double number = 0;          // a constant's value
    std::uint16_t attrs = kDontEnum;
};

constexpr NativeMember Method(const char16_t* name, NativeFnPtr fn,
                              std::uint16_t attrs = kDontEnum) {
    return {name, NativeMember::Kind::Method, fn, nullptr, 0, attrs};
}

// A getter/setter pair, as addProperty makes one.
constexpr NativeMember Accessor(const char16_t* name, NativeFnPtr get, NativeFnPtr set = nullptr,
                                std::uint16_t attrs = kDontEnum | kDontDelete) {
    return {name, NativeMember::Kind::Property, get, set, 0, attrs};
}

constexpr NativeMember Constant(const char16_t* name, double value,
                                std::uint16_t attrs = kDontEnum | kDontDelete | kReadOnly) {
    return {name, NativeMember::Kind::Number, nullptr, nullptr, value, attrs};
}

// Adds every member of `table` to `target`, in order.
void DefineMembers(Vm& vm, Object* target, std::span<const NativeMember> table);

}  // namespace flash::avm1
