// Mouse: show and hide the pointer over the movie. The interpreter makes Mouse as a
// broadcaster; the runtime sends it onMouseDown, onMouseMove, onMouseUp and onMouseWheel.
#include "input/mouse_input.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Method;
using avm1::Value;

// Both answer whether the pointer was shown before (1) or hidden (0).
Value SetHidden(CallContext& c, bool hidden) {
    MouseInput& mouse = RuntimeOf(c).Mouse();
    bool wasHidden = mouse.WantedCursor() == Cursor::None;
    mouse.SetHidden(hidden);
    return Value::Number(wasHidden ? 0 : 1);
}

Value Show(CallContext& c) {
    return SetHidden(c, false);
}

Value Hide(CallContext& c) {
    return SetHidden(c, true);
}

constexpr avm1::NativeMember kMembers[] = {
    Method(u"show", Show),
    Method(u"hide", Hide),
};

}  // namespace

void InstallMouse(avm1::Vm& vm) {
    avm1::DefineMembers(vm, GlobalObject(vm, u"Mouse"), kMembers);
}

}  // namespace flash
