#include "globals.h"

#include "classes/classes.h"
#include "interpreter.h"

namespace flash::avm1 {

void Globals::Install(Interpreter& in) {
    Vm& vm = vm_;
    objectProto = vm.New<Object>(nullptr);
    functionProto = vm.New<Object>(objectProto);
    global = vm.New<Object>(nullptr);  // _global inherits nothing
    arrayProto = vm.New<ArrayObject>(objectProto);
    stringProto = vm.New<Object>(objectProto, ObjectClass::BoxedString);
    stringProto->SetPrimitive(Value::Str(String()));
    numberProto = vm.New<Object>(objectProto, ObjectClass::BoxedNumber);
    numberProto->SetPrimitive(Value::Number(0));
    booleanProto = vm.New<Object>(objectProto, ObjectClass::BoxedBoolean);
    booleanProto->SetPrimitive(Value::Bool(false));
    dateProto = vm.New<Object>(objectProto);
    errorProto = vm.New<Object>(objectProto);
    movieClipProto = vm.New<Object>(objectProto);
    buttonProto = vm.New<Object>(objectProto);
    textFieldProto = vm.New<Object>(objectProto);
    classRegistry = vm.New<Object>(nullptr);

    InstallClasses(in, *this);
}

void Globals::Roots(std::vector<Object*>& out) const {
    for (Object* o : {global, objectProto, functionProto, arrayProto, stringProto, numberProto,
                      booleanProto, dateProto, errorProto, movieClipProto, buttonProto,
                      textFieldProto, arrayCtor, classRegistry, xmlNodeCtor, xmlNodeProto,
                      addListener, removeListener, broadcastMessage}) {
        out.push_back(o);
    }
}

}  // namespace flash::avm1
