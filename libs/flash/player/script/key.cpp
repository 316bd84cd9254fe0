// Key: the key constants, isDown, isToggled, getCode and getAscii on the player's keyboard.
// The interpreter makes Key as a broadcaster; the runtime sends it onKeyDown and onKeyUp.
#include <cmath>
#include <optional>

#include "input/keyboard_input.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Constant;
using avm1::Method;
using avm1::Value;

std::optional<int> KeyArgument(CallContext& c) {
    double code = c.vm.ToNumber(c.Arg(0), c.version);
    if (!std::isfinite(code)) {
        return std::nullopt;
    }
    return static_cast<int>(std::trunc(code));
}

Value IsDown(CallContext& c) {
    std::optional<int> code = KeyArgument(c);
    return Value::Bool(code && RuntimeOf(c).Keyboard().IsDown(*code));
}

Value IsToggled(CallContext& c) {
    std::optional<int> code = KeyArgument(c);
    return Value::Bool(code && RuntimeOf(c).Keyboard().IsToggled(*code));
}

Value GetCode(CallContext& c) {
    return Value::Number(RuntimeOf(c).Keyboard().LastCode());
}

Value GetAscii(CallContext& c) {
    return Value::Number(RuntimeOf(c).Keyboard().LastAscii());
}

constexpr avm1::NativeMember kMembers[] = {
    Constant(u"ALT", 18),        Constant(u"BACKSPACE", 8),     Constant(u"CAPSLOCK", 20),
    Constant(u"CONTROL", 17),    Constant(u"DELETEKEY", 46),    Constant(u"DOWN", 40),
    Constant(u"END", 35),        Constant(u"ENTER", 13),        Constant(u"ESCAPE", 27),
    Constant(u"HOME", 36),       Constant(u"INSERT", 45),       Constant(u"LEFT", 37),
    Constant(u"PGDN", 34),       Constant(u"PGUP", 33),         Constant(u"RIGHT", 39),
    Constant(u"SHIFT", 16),      Constant(u"SPACE", 32),        Constant(u"TAB", 9),
    Constant(u"UP", 38),         Method(u"isDown", IsDown),     Method(u"isToggled", IsToggled),
    Method(u"getCode", GetCode), Method(u"getAscii", GetAscii),
};

}  // namespace

void InstallKey(avm1::Vm& vm) {
    avm1::DefineMembers(vm, GlobalObject(vm, u"Key"), kMembers);
}

}  // namespace flash
