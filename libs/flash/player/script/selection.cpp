// Selection: which clip, button or text field has the keyboard focus. Text selection is not
// tracked: its indexes read -1.
#include "display/display_object.h"
#include "input/keyboard_input.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Method;
using avm1::Value;

// The display object a setFocus argument names: a clip's or button's object, or a target path
// from _level0.
DisplayObject* FocusTarget(CallContext& c, Runtime& runtime) {
    const Value& v = c.Arg(0);
    avm1::Clip* clip = nullptr;
    if (avm1::Object* o = v.AsObject()) {
        clip = o->AsClip();
    } else if (v.IsString()) {
        clip = c.vm.ResolveTarget(v.AsString(), runtime.Level(0), c.version);
    }
    return dynamic_cast<DisplayObject*>(clip);
}

Value GetFocus(CallContext& c) {
    DisplayObject* focus = RuntimeOf(c).Keyboard().Focus();
    avm1::Clip* clip = focus != nullptr && !focus->Removed() ? focus->ScriptClip() : nullptr;
    return clip != nullptr ? Value::Str(c.vm.DotPath(*clip)) : Value::Null();
}

Value SetFocus(CallContext& c) {
    Runtime& runtime = RuntimeOf(c);
    DisplayObject* target = FocusTarget(c, runtime);
    if (target == nullptr && !c.Arg(0).IsNullish()) {
        return Value::Bool(false);
    }
    runtime.Keyboard().SetFocus(target);
    runtime.RunQueued();
    return Value::Bool(true);
}

Value NoIndex(CallContext&) {
    return Value::Number(-1);
}

constexpr avm1::NativeMember kMembers[] = {
    Method(u"getFocus", GetFocus),     Method(u"setFocus", SetFocus),
    Method(u"getBeginIndex", NoIndex), Method(u"getEndIndex", NoIndex),
    Method(u"getCaretIndex", NoIndex),
};

}  // namespace

void InstallSelection(avm1::Vm& vm) {
    avm1::DefineMembers(vm, GlobalObject(vm, u"Selection"), kMembers);
}

}  // namespace flash
