// The list of the runtime's script classes: those that need the display list. The
// interpreter's own classes are in avm1/src/classes.
//
// To add a class: write script/<class>.cpp with its methods as named functions and
// avm1::NativeMember tables (Method, Accessor, Constant), an Install<Class>(avm1::Vm&) that
// makes the constructor and calls avm1::DefineMembers; declare it in script_classes.h, list
// the file in player/CMakeLists.txt and call it below. Natives reach the runtime through
// RuntimeOf(c).
//
// The order is observable: new globals appear in _global in this order.
#include "script/script_classes.h"

#include "runtime/runtime.h"

namespace flash {

void InstallScriptClasses(avm1::Vm& vm) {
    InstallMovieClip(vm);
    InstallColor(vm);
    InstallKey(vm);
    InstallMouse(vm);
    InstallSelection(vm);
    InstallButton(vm);
    InstallSound(vm);
    InstallNetConnection(vm);
    InstallNetStream(vm);
    InstallVideo(vm);
    InstallTransform(vm);
    InstallBitmapData(vm);
    InstallTextField(vm);
    InstallTextFormat(vm);
    InstallTextSnapshot(vm);
    InstallStyleSheet(vm);
}

Runtime& RuntimeOf(avm1::CallContext& c) {
    return static_cast<Runtime&>(c.vm.host());
}

avm1::Object* GlobalObject(avm1::Vm& vm, avm1::StringView name) {
    avm1::Object* global = vm.Global();
    if (const avm1::Member* m = global->Members().Find(name, true)) {
        if (avm1::Object* o = m->value.AsObject()) {
            return o;
        }
    }
    avm1::Object* o = vm.NewObject();
    vm.Define(global, name, avm1::Value::Obj(o), avm1::kDontEnum);
    if (avm1::Object* broadcaster = vm.Get(global, u"AsBroadcaster", 7).AsObject()) {
        avm1::Value args[] = {avm1::Value::Obj(o)};
        vm.CallMethod(broadcaster, u"initialize", args, 7);
    }
    return o;
}

}  // namespace flash
