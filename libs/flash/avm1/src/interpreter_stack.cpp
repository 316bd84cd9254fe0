// Stack, register, constant pool, variable and member actions.
#include <algorithm>

#include "flash/avm1/convert.h"
#include "globals.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

using A = ActionCode;

void DoPush(ActionStep& s) {
    const PoolPtr& pool = s.act.pool;
    for (const PushItem& item : s.Payload<PushAction>().items) {
        switch (item.kind) {
            case PushItem::Kind::Constant:
                s.Push(item.value);
                break;
            case PushItem::Kind::Register: {
                Value* slot = s.in.Register(s.act, item.index);
                s.Push(slot ? *slot : Value());
                break;
            }
            case PushItem::Kind::Pool:
                s.Push(pool && item.index < pool->size() ? (*pool)[item.index] : Value());
                break;
        }
    }
}

void DoPop(ActionStep& s) {
    s.Pop();
}

void DoPushDuplicate(ActionStep& s) {
    Value t = s.in.Top();
    s.Push(std::move(t));
}

void DoStackSwap(ActionStep& s) {
    Value b = s.Pop();
    Value x = s.Pop();
    s.Push(std::move(b));
    s.Push(std::move(x));
}

void DoStoreRegister(ActionStep& s) {
    auto reg = s.Payload<StoreRegisterAction>().reg;
    if (Value* slot = reg ? s.in.Register(s.act, *reg) : nullptr) {
        *slot = s.in.Top();
    }
}

void DoConstantPool(ActionStep& s) {
    s.act.pool = s.Payload<ConstantPoolAction>().strings;
}

void DoGetVariable(ActionStep& s) {
    Value name = s.Pop();
    String text;
    s.Push(s.in.GetVariable(s.act, s.in.NameOf(name, s.version(), text)));
}

void DoSetVariable(ActionStep& s) {
    Value value = s.Pop();
    Value name = s.Pop();
    String text;
    s.in.SetVariable(s.act, s.in.NameOf(name, s.version(), text), value);
}

// Where var puts names: the function's locals, else the timeline.
Object* LocalScope(Activation& act) {
    return act.locals ? act.locals : (act.targetValid ? act.target : nullptr);
}

void DoDefineLocal(ActionStep& s) {
    const int v = s.version();
    Value value = s.Pop();
    String name = s.in.ToString(s.Pop(), v);
    if (Object* scope = LocalScope(s.act)) {
        s.in.SetMember(scope, name, value, v);
    }
}

void DoDefineLocal2(ActionStep& s) {
    const int v = s.version();
    String name = s.in.ToString(s.Pop(), v);
    Object* scope = LocalScope(s.act);
    if (scope && !s.in.HasMember(scope, name, v)) {
        s.in.SetMember(scope, name, Value(), v);
    }
}

void DoDelete(ActionStep& s) {
    const int v = s.version();
    String name = s.in.ToString(s.Pop(), v);
    Value obj = s.Pop();
    Object* o = obj.AsObject();
    s.Push(Value::Bool(o && s.in.DeleteMember(o, name, v)));
}

// Deletes a variable: a path's member, else the first scope entry that has it.
bool DeleteVariable(Interpreter& in, Activation& act, const String& name) {
    const int v = act.version;
    if (name.find_first_of(u":./") != String::npos) {
        Object* owner = nullptr;
        String member;
        return in.ResolveVariableOwner(act, name, owner, member) &&
               in.DeleteMember(owner, member, v);
    }
    for (const Scope* scope = act.scope.get(); scope; scope = scope->parent.get()) {
        if (in.HasMember(scope->object, name, v)) {
            return in.DeleteMember(scope->object, name, v);
        }
    }
    Object* t = act.targetValid ? act.target : nullptr;
    if (t && in.HasMember(t, name, v)) {
        return in.DeleteMember(t, name, v);
    }
    return in.DeleteMember(in.globals().global, name, v);
}

void DoDelete2(ActionStep& s) {
    String name = s.in.ToString(s.Pop(), s.version());
    s.Push(Value::Bool(DeleteVariable(s.in, s.act, name)));
}

// Pushes null and then the names, so the loop that pops them sees the most recent first.
void PushKeys(ActionStep& s, Object* o) {
    s.Push(Value::Null());
    if (o) {
        std::vector<String> keys = s.in.EnumerateKeys(o, s.version());
        for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
            s.Push(Value::Str(std::move(*it)));
        }
    }
}

void DoEnumerate(ActionStep& s) {
    Value subject = s.Pop();
    PushKeys(s, s.in.GetVariable(s.act, s.in.ToString(subject, s.version())).AsObject());
}

void DoEnumerate2(ActionStep& s) {
    Value subject = s.Pop();
    PushKeys(s, subject.AsObject());
}

void DoGetMember(ActionStep& s) {
    Value name = s.Pop();
    Value obj = s.Pop();
    String text;
    s.Push(s.in.GetMember(obj, s.in.NameOf(name, s.version(), text), s.version()));
}

void DoSetMember(ActionStep& s) {
    Value value = s.Pop();
    Value name = s.Pop();
    Value obj = s.Pop();
    if (Object* o = obj.AsObject()) {
        String text;
        s.in.SetMember(o, s.in.NameOf(name, s.version(), text), value, s.version());
    }
}

void DoInitArray(ActionStep& s) {
    double n = s.in.ToNumber(s.Pop(), s.version());
    ArrayObject* array = s.in.NewArray();
    std::size_t count = CountOf(n, s.in.StackAvailable(s.act));
    for (std::size_t i = 0; i < count; ++i) {
        array->SetAt(s.in.vm(), i, s.Pop());
    }
    s.Push(Value::Obj(array));
}

void DoInitObject(ActionStep& s) {
    const int v = s.version();
    double n = s.in.ToNumber(s.Pop(), v);
    Object* obj = s.in.NewObject();
    std::size_t count = CountOf(n, s.in.StackAvailable(s.act) / 2);
    for (std::size_t i = 0; i < count; ++i) {
        Value value = s.Pop();
        String name = s.in.ToString(s.Pop(), v);
        s.in.SetMember(obj, name, value, v);
    }
    s.Push(Value::Obj(obj));
}

void DoTypeOf(ActionStep& s) {
    s.Push(Value::Str(s.in.TypeOf(s.Pop())));
}

}  // namespace

void AddStackHandlers(HandlerTable& t) {
    SetHandler(t, A::Push, DoPush);
    SetHandler(t, A::Pop, DoPop);
    SetHandler(t, A::PushDuplicate, DoPushDuplicate);
    SetHandler(t, A::StackSwap, DoStackSwap);
    SetHandler(t, A::StoreRegister, DoStoreRegister);
    SetHandler(t, A::ConstantPool, DoConstantPool);
    SetHandler(t, A::GetVariable, DoGetVariable);
    SetHandler(t, A::SetVariable, DoSetVariable);
    SetHandler(t, A::DefineLocal, DoDefineLocal);
    SetHandler(t, A::DefineLocal2, DoDefineLocal2);
    SetHandler(t, A::Delete, DoDelete);
    SetHandler(t, A::Delete2, DoDelete2);
    SetHandler(t, A::Enumerate, DoEnumerate);
    SetHandler(t, A::Enumerate2, DoEnumerate2);
    SetHandler(t, A::GetMember, DoGetMember);
    SetHandler(t, A::SetMember, DoSetMember);
    SetHandler(t, A::InitArray, DoInitArray);
    SetHandler(t, A::InitObject, DoInitObject);
    SetHandler(t, A::TypeOf, DoTypeOf);
}

}  // namespace flash::avm1
