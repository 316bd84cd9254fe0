#include "script/input_objects.h"

#include <cmath>
#include <utility>

#include "display/display_object.h"
#include "flash/avm1/convert.h"
#include "flash/avm1/object.h"
#include "input/keyboard_input.h"
#include "input/mouse_input.h"
#include "runtime/runtime.h"

namespace flash {

namespace {

using avm1::CallContext;
using avm1::Value;

constexpr std::pair<const char16_t*, int> kKeyConstants[] = {
    {u"ALT", 18},    {u"BACKSPACE", 8}, {u"CAPSLOCK", 20}, {u"CONTROL", 17}, {u"DELETEKEY", 46},
    {u"DOWN", 40},   {u"END", 35},      {u"ENTER", 13},    {u"ESCAPE", 27},  {u"HOME", 36},
    {u"INSERT", 45}, {u"LEFT", 37},     {u"PGDN", 34},     {u"PGUP", 33},    {u"RIGHT", 39},
    {u"SHIFT", 16},  {u"SPACE", 32},    {u"TAB", 9},       {u"UP", 38},
};

// A global object, made (as a broadcaster) when the interpreter has none by that name.
avm1::Object* GlobalObject(avm1::Vm& vm, avm1::StringView name) {
    avm1::Object* global = vm.Global();
    if (const avm1::Member* m = global->Members().Find(name, true)) {
        if (avm1::Object* o = m->value.AsObject()) {
            return o;
        }
    }
    avm1::Object* o = vm.NewObject();
    vm.Define(global, name, Value::Obj(o), avm1::kDontEnum);
    if (avm1::Object* broadcaster = vm.Get(global, u"AsBroadcaster", 7).AsObject()) {
        Value args[] = {Value::Obj(o)};
        vm.CallMethod(broadcaster, u"initialize", args, 7);
    }
    return o;
}

std::optional<int> KeyArgument(CallContext& c) {
    double code = c.vm.ToNumber(c.Arg(0), c.version);
    if (!std::isfinite(code)) {
        return std::nullopt;
    }
    return static_cast<int>(std::trunc(code));
}

// The display object a Selection.setFocus argument names: a clip's or button's object, or a
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

}  // namespace

void InstallInputObjects(avm1::Vm& vm, Runtime& runtime) {
    avm1::Object* key = GlobalObject(vm, u"Key");
    for (const auto& [name, code] : kKeyConstants) {
        vm.Define(key, name, Value::Number(code),
                  avm1::kDontEnum | avm1::kDontDelete | avm1::kReadOnly);
    }
    vm.DefineNative(key, u"isDown", [&runtime](CallContext& c) -> Value {
        std::optional<int> code = KeyArgument(c);
        return Value::Bool(code && runtime.Keyboard().IsDown(*code));
    });
    vm.DefineNative(key, u"isToggled", [&runtime](CallContext& c) -> Value {
        std::optional<int> code = KeyArgument(c);
        return Value::Bool(code && runtime.Keyboard().IsToggled(*code));
    });
    vm.DefineNative(key, u"getCode", [&runtime](CallContext&) -> Value {
        return Value::Number(runtime.Keyboard().LastCode());
    });
    vm.DefineNative(key, u"getAscii", [&runtime](CallContext&) -> Value {
        return Value::Number(runtime.Keyboard().LastAscii());
    });

    avm1::Object* mouse = GlobalObject(vm, u"Mouse");
    vm.DefineNative(mouse, u"show", [&runtime](CallContext&) -> Value {
        bool wasHidden = runtime.Mouse().WantedCursor() == Cursor::None;
        runtime.Mouse().SetHidden(false);
        return Value::Number(wasHidden ? 0 : 1);
    });
    vm.DefineNative(mouse, u"hide", [&runtime](CallContext&) -> Value {
        bool wasHidden = runtime.Mouse().WantedCursor() == Cursor::None;
        runtime.Mouse().SetHidden(true);
        return Value::Number(wasHidden ? 0 : 1);
    });

    avm1::Object* selection = GlobalObject(vm, u"Selection");
    vm.DefineNative(selection, u"getFocus", [&runtime](CallContext& c) -> Value {
        DisplayObject* focus = runtime.Keyboard().Focus();
        avm1::Clip* clip = focus != nullptr && !focus->Removed() ? focus->ScriptClip() : nullptr;
        return clip != nullptr ? Value::Str(c.vm.DotPath(*clip)) : Value::Null();
    });
    vm.DefineNative(selection, u"setFocus", [&runtime](CallContext& c) -> Value {
        DisplayObject* target = FocusTarget(c, runtime);
        if (target == nullptr && !c.Arg(0).IsNullish()) {
            return Value::Bool(false);
        }
        runtime.Keyboard().SetFocus(target);
        runtime.RunQueued();
        return Value::Bool(true);
    });
    for (const char16_t* name : {u"getBeginIndex", u"getEndIndex", u"getCaretIndex"}) {
        vm.DefineNative(selection, name, [](CallContext&) -> Value { return Value::Number(-1); });
    }

    // Clips and buttons take the mouse and show the hand until a script says otherwise.
    for (avm1::Object* proto : {vm.MovieClipPrototype(), vm.ButtonPrototype()}) {
        for (const char16_t* name : {u"enabled", u"useHandCursor"}) {
            if (proto->Members().Find(name, true) == nullptr) {
                vm.Define(proto, name, Value::Bool(true), avm1::kDontEnum);
            }
        }
    }
}

}  // namespace flash
