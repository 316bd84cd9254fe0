#include "geom.h"

#include "flash/avm1/vm.h"

namespace flash::avm1 {

Object* GeomPackage(Interpreter& in, Globals& g) {
    Vm& vm = in.vm();
    Object* flash = in.GetMember(g.global, u"flash", 8).AsObject();
    if (flash == nullptr) {
        flash = in.NewObject();
        vm.Define(g.global, u"flash", Value::Obj(flash), kDontEnum | kVersion8);
    }
    Object* geom = in.GetMember(flash, u"geom", 8).AsObject();
    if (geom == nullptr) {
        geom = in.NewObject();
        vm.Define(flash, u"geom", Value::Obj(geom), kDontEnum);
    }
    return geom;
}

Value NewGeom(Vm& vm, StringView name, std::span<const Value> args, int version) {
    Interpreter& in = InterpreterOf(vm);
    Value flash = in.GetMember(vm.Global(), u"flash", version);
    Value ctor = in.GetMember(in.GetMember(flash, u"geom", version), name, version);
    if (!in.IsFunction(ctor)) {
        return Value();
    }
    return in.Construct(ctor.AsObject(), args, version);
}

double NumberMember(CallContext& c, const Value& object, StringView name) {
    Interpreter& in = InterpreterOf(c.vm);
    return in.ToNumber(in.GetMember(object, name, c.version), c.version);
}

void AppendField(CallContext& c, String& out, StringView name, const Value& value) {
    out += name;
    out += u'=';
    out += InterpreterOf(c.vm).ToString(value, c.version);
}

}  // namespace flash::avm1
