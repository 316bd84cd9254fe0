#include "globals.h"

#include "interpreter.h"

namespace flash::avm1 {

NativeFunction* MakeNative(Interpreter& in, NativeFn fn, NativeFn construct) {
    auto* f = in.vm().New<NativeFunction>(in.globals().functionProto, std::move(fn),
                                          std::move(construct));
    return f;
}

void Method(Interpreter& in, Object* target, StringView name, NativeFn fn, std::uint16_t attrs) {
    in.vm().Define(target, name, Value::Obj(MakeNative(in, std::move(fn))), attrs);
}

Object* MakeClass(Interpreter& in, Globals& g, StringView name, Object* proto, NativeFn fn,
                  NativeFn construct) {
    NativeFunction* ctor = MakeNative(in, std::move(fn), std::move(construct));
    in.vm().Define(ctor, u"prototype", Value::Obj(proto), kDontEnum | kDontDelete);
    in.vm().Define(proto, u"constructor", Value::Obj(ctor), kDontEnum | kDontDelete);
    if (!name.empty()) {
        in.vm().Define(g.global, name, Value::Obj(ctor), kDontEnum);
    }
    return ctor;
}

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

    InstallObject(in, *this);
    InstallFunction(in, *this);
    InstallArray(in, *this);
    InstallString(in, *this);
    InstallNumberBoolean(in, *this);
    InstallMath(in, *this);
    InstallDate(in, *this);
    InstallError(in, *this);
    InstallGlobalFunctions(in, *this);
    InstallBroadcaster(in, *this);
    InstallMovieClip(in, *this);
    InstallXml(in, *this);
    InstallExternalInterface(in, *this);
}

void Globals::Roots(std::vector<Object*>& out) const {
    for (Object* o : {global, objectProto, functionProto, arrayProto, stringProto, numberProto,
                      booleanProto, dateProto, errorProto, movieClipProto, buttonProto,
                      textFieldProto, arrayCtor, classRegistry, xmlNodeCtor}) {
        out.push_back(o);
    }
}

}  // namespace flash::avm1
