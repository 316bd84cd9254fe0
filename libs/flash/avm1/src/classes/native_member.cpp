#include "flash/avm1/native_member.h"

#include "classes.h"
#include "interpreter.h"

namespace flash::avm1 {

void DefineMembers(Vm& vm, Object* target, std::span<const NativeMember> table) {
    for (const NativeMember& m : table) {
        switch (m.kind) {
            case NativeMember::Kind::Method:
                vm.DefineNative(target, m.name, m.fn, m.attrs);
                break;
            case NativeMember::Kind::Property: {
                Object* getter = vm.New<NativeFunction>(vm.FunctionPrototype(), m.fn);
                Object* setter =
                    m.set ? vm.New<NativeFunction>(vm.FunctionPrototype(), m.set) : nullptr;
                Member* member = target->Members().Find(m.name, true);
                if (!member) {
                    member = &target->Members().Add(m.name, Value());
                }
                member->value = Value();
                member->getter = getter;
                member->setter = setter;
                member->attrs = m.attrs;
                break;
            }
            case NativeMember::Kind::Number:
                vm.Define(target, m.name, Value::Number(m.number), m.attrs);
                break;
        }
    }
}

NativeFunction* MakeNative(Interpreter& in, NativeFn fn, NativeFn construct) {
    return in.vm().New<NativeFunction>(in.globals().functionProto, std::move(fn),
                                       std::move(construct));
}

Object* MakeClass(Interpreter& in, StringView name, Object* proto, NativeFn fn,
                  NativeFn construct) {
    NativeFunction* ctor = MakeNative(in, std::move(fn), std::move(construct));
    in.vm().Define(ctor, u"prototype", Value::Obj(proto), kDontEnum | kDontDelete);
    in.vm().Define(proto, u"constructor", Value::Obj(ctor), kDontEnum | kDontDelete);
    if (!name.empty()) {
        in.vm().Define(in.globals().global, name, Value::Obj(ctor), kDontEnum);
    }
    return ctor;
}

}  // namespace flash::avm1
