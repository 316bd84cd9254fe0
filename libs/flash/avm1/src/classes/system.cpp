// System, with the System.IME broadcaster.
#include "classes.h"
#include "interpreter.h"

namespace flash::avm1 {

void InstallSystem(Interpreter& in, Globals& g) {
    Vm& vm = in.vm();
    Object* system = vm.New<Object>(g.objectProto);
    vm.Define(g.global, u"System", Value::Obj(system), kDontEnum);
    Object* ime = vm.New<Object>(g.objectProto);
    InitializeBroadcaster(in, ime);
    vm.Define(system, u"IME", Value::Obj(ime), kDontEnum);
}

}  // namespace flash::avm1
