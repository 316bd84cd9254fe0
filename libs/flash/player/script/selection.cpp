// Selection: which clip, button or text field has the keyboard focus, and the selection of
// the focused text field. Its indexes read -1 while no text field has the focus.
#include <algorithm>
#include <cmath>

#include "display/display_object.h"
#include "display/text_field.h"
#include "input/focus_order.h"
#include "input/keyboard_input.h"
#include "runtime/runtime.h"
#include "script/script_classes.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Method;
using avm1::Value;

// The display object a setFocus argument names: a clip's, button's or field's object, or a
// target path from _level0.
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
    if (c.Arg(0).IsNullish()) {
        runtime.Keyboard().SetFocus(nullptr);
        return Value::Bool(true);
    }
    DisplayObject* target = FocusTarget(c, runtime);
    if (target == nullptr || !CanTakeFocus(runtime, *target)) {
        return Value::Bool(false);
    }
    runtime.Keyboard().SetFocus(target);
    return Value::Bool(true);
}

TextFieldObject* FocusedField(CallContext& c) {
    return RuntimeOf(c).Keyboard().FocusedField();
}

// The focused field's selection, kept within its text.
TextSelection* FocusedSelection(CallContext& c) {
    TextFieldObject* field = FocusedField(c);
    if (field == nullptr) {
        return nullptr;
    }
    field->Selection().Clamp(field->Text().size());
    return &field->Selection();
}

Value GetBeginIndex(CallContext& c) {
    TextSelection* s = FocusedSelection(c);
    return Value::Number(s != nullptr ? static_cast<double>(s->Begin()) : -1);
}

Value GetEndIndex(CallContext& c) {
    TextSelection* s = FocusedSelection(c);
    return Value::Number(s != nullptr ? static_cast<double>(s->End()) : -1);
}

Value GetCaretIndex(CallContext& c) {
    TextSelection* s = FocusedSelection(c);
    return Value::Number(s != nullptr ? static_cast<double>(s->caret) : -1);
}

// An index argument within [0, length]; negative and NaN count as 0.
std::size_t IndexArg(CallContext& c, std::size_t i, std::size_t length) {
    double n = c.vm.ToNumber(c.Arg(i), c.version);
    if (!(n > 0)) {
        return 0;
    }
    return static_cast<std::size_t>(std::min(std::trunc(n), static_cast<double>(length)));
}

Value SetSelection(CallContext& c) {
    if (TextFieldObject* field = FocusedField(c)) {
        const std::size_t length = field->Text().size();
        field->Selection().Select(IndexArg(c, 0, length), IndexArg(c, 1, length));
    }
    return Value();
}

constexpr avm1::NativeMember kMembers[] = {
    Method(u"getFocus", GetFocus),           Method(u"setFocus", SetFocus),
    Method(u"getBeginIndex", GetBeginIndex), Method(u"getEndIndex", GetEndIndex),
    Method(u"getCaretIndex", GetCaretIndex), Method(u"setSelection", SetSelection),
};

}  // namespace

void InstallSelection(avm1::Vm& vm) {
    avm1::DefineMembers(vm, GlobalObject(vm, u"Selection"), kMembers);
}

}  // namespace flash
