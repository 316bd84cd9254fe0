// Button: buttons take the mouse and show the hand until a script says otherwise. Their
// other members come from the button itself (the interpreter makes the class).
#include "script/script_classes.h"

namespace flash {

void AddInteractiveDefaults(avm1::Vm& vm, avm1::Object* proto) {
    for (const char16_t* name : {u"enabled", u"useHandCursor"}) {
        if (proto->Members().Find(name, true) == nullptr) {
            vm.Define(proto, name, avm1::Value::Bool(true), avm1::kDontEnum);
        }
    }
}

void InstallButton(avm1::Vm& vm) {
    AddInteractiveDefaults(vm, vm.ButtonPrototype());
    AddTabIndex(vm, vm.ButtonPrototype(), true);
}

}  // namespace flash
