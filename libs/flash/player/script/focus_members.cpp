// tabIndex of buttons: a whole number the Tab order sorts by. Flash turns what a script sets
// into a 32-bit integer (NaN and numbers beyond it into the smallest one). A clip's tabIndex
// is an ordinary member.
#include <climits>
#include <cmath>

#include "display/display_object.h"
#include "input/keyboard_input.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Value;

DisplayObject* ThisObject(CallContext& c) {
    avm1::Object* o = c.This();
    return o != nullptr ? dynamic_cast<DisplayObject*>(o->AsClip()) : nullptr;
}

std::int32_t TabIndexOf(double n) {
    if (!std::isfinite(n) || n < INT_MIN || n >= 2147483648.0) {
        return INT_MIN;
    }
    return static_cast<std::int32_t>(std::trunc(n));
}

Value GetTabIndex(CallContext& c) {
    DisplayObject* object = ThisObject(c);
    std::optional<std::int32_t> index =
        object != nullptr ? RuntimeOf(c).Keyboard().TabIndex(*object) : std::nullopt;
    return index ? Value::Number(*index) : Value();
}

Value SetTabIndex(CallContext& c) {
    DisplayObject* object = ThisObject(c);
    if (object == nullptr) {
        return Value();
    }
    std::optional<std::int32_t> index;
    if (!c.Arg(0).IsNullish()) {
        index = TabIndexOf(c.vm.ToNumber(c.Arg(0), c.version));
    }
    RuntimeOf(c).Keyboard().SetTabIndex(*object, index);
    return Value();
}

constexpr avm1::NativeMember kHiddenTabIndex[] = {
    avm1::Accessor(u"tabIndex", GetTabIndex, SetTabIndex),
};
constexpr avm1::NativeMember kListedTabIndex[] = {
    avm1::Accessor(u"tabIndex", GetTabIndex, SetTabIndex, 0),
};

}  // namespace

void AddTabIndex(avm1::Vm& vm, avm1::Object* proto, bool listed) {
    avm1::DefineMembers(vm, proto,
                        listed ? std::span(kListedTabIndex) : std::span(kHiddenTabIndex));
}

}  // namespace flash
