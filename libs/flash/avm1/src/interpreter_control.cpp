// Branches, calls, function definitions, with, exceptions and class actions.
#include <algorithm>

#include "flash/avm1/convert.h"
#include "globals.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

using A = ActionCode;

constexpr std::size_t kMaxBlockDepth = 64;  // nested with and try blocks of one activation

void Branch(ActionStep& s, std::int16_t offset) {
    auto target = static_cast<std::int64_t>(s.action.next) + offset;
    if (target < static_cast<std::int64_t>(s.act.begin) ||
        target > static_cast<std::int64_t>(s.act.end)) {
        s.flow.pc = s.act.end;  // a branch out of the block ends it
    } else {
        s.flow.pc = static_cast<std::size_t>(target);
    }
}

void DoJump(ActionStep& s) {
    if (auto offset = s.Payload<BranchAction>().offset) {
        Branch(s, *offset);
    }
}

void DoIf(ActionStep& s) {
    if (auto offset = s.Payload<BranchAction>().offset) {
        if (ToBoolean(s.Pop(), s.version())) {
            Branch(s, *offset);
        }
    }
}

// Runs the actions of a frame of another timeline, as a call.
void DoCall(ActionStep& s) {
    Value frame = s.Pop();
    Clip* c = nullptr;
    int index = 0;
    if (!s.in.ResolveFrameSpec(s.act, frame, c, index)) {
        return;
    }
    Object* obj = s.in.ObjectFor(c);
    for (const ActionBytes& code : c->FrameScripts(index)) {
        if (!code) {
            continue;
        }
        Activation sub;
        sub.code = code;
        sub.version = c->SwfVersion();
        sub.program = s.in.ProgramFor(code, sub.version);
        sub.begin = 0;
        sub.end = code->size();
        sub.registers.resize(4);
        sub.target = obj;
        sub.base = obj;
        sub.thisValue = Value::Obj(obj);
        sub.stackBase = s.in.StackSize();
        s.in.RunNested(sub);
    }
}

// The arguments of a call: a count and then the values, first argument on top.
std::vector<Value> PopArguments(ActionStep& s) {
    double n = s.in.ToNumber(s.Pop(), s.version());
    std::size_t count = CountOf(n, s.in.StackAvailable(s.act));
    std::vector<Value> args(count);
    for (std::size_t i = 0; i < count; ++i) {
        args[i] = s.Pop();
    }
    return args;
}

void DoCallFunction(ActionStep& s) {
    const int v = s.version();
    String name = s.in.ToString(s.Pop(), v);
    std::vector<Value> args = PopArguments(s);
    Value fn = s.in.GetVariable(s.act, name);
    Object* f = fn.AsObject();
    if (!f || !s.in.IsFunction(fn)) {
        s.Push(Value());
        return;
    }
    // Built-ins called by name (watch, getNextHighestDepth) act on the timeline.
    Value self = dynamic_cast<NativeFunction*>(f)
                     ? Value::Obj(s.act.targetValid ? s.act.target : s.act.base)
                     : Value();
    s.Push(s.in.CallFunction(f, self, args, v));
}

// The function a method call names, its this and where it was found; an empty name calls
// the object itself.
struct MethodTarget {
    Value fn;
    Value thisValue;
    Object* home = nullptr;
};

MethodTarget FindMethod(ActionStep& s, const Value& name, const Value& objValue) {
    const int v = s.version();
    String method = name.IsUndefined() ? String() : s.in.ToString(name, v);
    Object* self = s.in.ToObject(objValue, v);
    MethodTarget t;
    t.thisValue = objValue.IsObject() ? objValue : Value::Obj(self);
    if (method.empty()) {
        t.fn = objValue;
        t.thisValue = Value();
    } else if (self) {
        if (auto* super = dynamic_cast<SuperObject*>(self)) {
            t.fn = s.in.GetMember(super->Proto(), method, v, &t.home);
            t.thisValue = super->thisValue();
        } else {
            t.fn = s.in.GetMember(self, method, v, &t.home);
        }
    }
    return t;
}

void DoCallMethod(ActionStep& s) {
    Value name = s.Pop();
    Value objValue = s.Pop();
    std::vector<Value> args = PopArguments(s);
    MethodTarget t = FindMethod(s, name, objValue);
    Object* f = t.fn.AsObject();
    if (f && s.in.IsFunction(t.fn)) {
        s.Push(s.in.CallFunction(f, t.thisValue, args, s.version(), t.home));
    } else {
        s.Push(Value());
    }
}

void DoNewMethod(ActionStep& s) {
    Value name = s.Pop();
    Value objValue = s.Pop();
    std::vector<Value> args = PopArguments(s);
    MethodTarget t = FindMethod(s, name, objValue);
    Object* f = t.fn.AsObject();
    s.Push(f && s.in.IsFunction(t.fn) ? s.in.Construct(f, args, s.version()) : Value());
}

void DoNewObject(ActionStep& s) {
    String name = s.in.ToString(s.Pop(), s.version());
    std::vector<Value> args = PopArguments(s);
    Value ctor = s.in.GetVariable(s.act, name);
    s.Push(s.in.IsFunction(ctor) ? s.in.Construct(ctor.AsObject(), args, s.version()) : Value());
}

void DoReturn(ActionStep& s) {
    s.flow.result = s.Pop();
    s.flow.returned = true;
}

void DoDefineFunction(ActionStep& s) {
    if (const auto& def = s.Payload<DefineFunctionAction>().function) {
        s.flow.pc = s.in.DefineFunction(s.act, *def, s.flow.pc);
    }
}

void DoWith(ActionStep& s) {
    std::size_t size = s.Payload<WithAction>().size;
    Value subject = s.Pop();
    Object* o = s.in.ToObject(subject, s.version());
    std::size_t end = std::min(s.flow.pc + size, s.act.end);
    if (!o || s.act.withs.size() >= kMaxBlockDepth) {
        s.flow.pc = end;  // Flash skips the block for a non-object
        return;
    }
    s.act.withs.push_back(WithBlock{s.flow.pc, end, s.act.scope});
    s.act.scope = std::make_shared<const Scope>(Scope{o, s.act.scope});
}

void DoInstanceOf(ActionStep& s) {
    Value ctor = s.Pop();
    Value obj = s.Pop();
    Object* o = obj.AsObject();
    Object* c = ctor.AsObject();
    s.Push(Value::Bool(o && c && s.in.InstanceOf(o, c, s.version())));
}

void DoExtends(ActionStep& s) {
    const int v = s.version();
    Value superclass = s.Pop();
    Value subclass = s.Pop();
    Object* sup = superclass.AsObject();
    Object* sub = subclass.AsObject();
    if (!sup || !sub) {
        return;
    }
    Object* proto = s.in.NewObject();
    Value superProto = s.in.GetMember(sup, u"prototype", v);
    proto->SetProto(superProto.AsObject());
    s.in.vm().Define(proto, u"__constructor__", Value::Obj(sup), kDontEnum);
    if (v < 7) {
        s.in.vm().Define(proto, u"constructor", Value::Obj(sup), kDontEnum);
    }
    s.in.SetMember(sub, u"prototype", Value::Obj(proto), v);
}

void DoCastOp(ActionStep& s) {
    Value obj = s.Pop();
    Value ctor = s.Pop();
    Object* o = obj.AsObject();
    Object* c = ctor.AsObject();
    s.Push(o && c && s.in.InstanceOf(o, c, s.version()) ? obj : Value::Null());
}

void DoImplementsOp(ActionStep& s) {
    const int v = s.version();
    Value ctor = s.Pop();
    double n = s.in.ToNumber(s.Pop(), v);
    std::size_t count = CountOf(n, s.in.StackAvailable(s.act));
    std::vector<Object*> interfaces;
    for (std::size_t i = 0; i < count; ++i) {
        if (Object* o = s.Pop().AsObject()) {
            interfaces.push_back(o);
        }
    }
    Object* c = ctor.AsObject();
    Object* proto = c ? s.in.GetMember(c, u"prototype", v).AsObject() : nullptr;
    if (proto) {
        proto->Interfaces() = std::move(interfaces);
    }
}

void DoThrow(ActionStep& s) {
    throw ScriptThrow{s.Pop()};
}

void DoTry(ActionStep& s) {
    const auto& block = s.Payload<TryAction>().block;
    if (!block) {
        return;
    }
    const std::size_t pc = s.flow.pc;
    const std::size_t end = s.act.end;
    TryHandler h;
    h.hasCatch = block->hasCatch;
    h.hasFinally = block->hasFinally;
    h.catchInRegister = block->catchInRegister;
    h.reg = block->reg;
    h.name = block->name;
    h.start = pc;
    h.tryEnd = std::min(pc + block->trySize, end);
    h.catchEnd = std::min(h.tryEnd + block->catchSize, end);
    h.finallyEnd = std::min(h.catchEnd + block->finallySize, end);
    h.stackDepth = s.in.StackSize();
    if (s.act.tries.size() >= kMaxBlockDepth) {
        throw AbortRun{u"too many nested try blocks"};
    }
    s.act.tries.push_back(std::move(h));
}

}  // namespace

void AddControlHandlers(HandlerTable& t) {
    SetHandler(t, A::Jump, DoJump);
    SetHandler(t, A::If, DoIf);
    SetHandler(t, A::Call, DoCall);
    SetHandler(t, A::CallFunction, DoCallFunction);
    SetHandler(t, A::CallMethod, DoCallMethod);
    SetHandler(t, A::NewMethod, DoNewMethod);
    SetHandler(t, A::NewObject, DoNewObject);
    SetHandler(t, A::Return, DoReturn);
    SetHandler(t, A::DefineFunction, DoDefineFunction);
    SetHandler(t, A::DefineFunction2, DoDefineFunction);
    SetHandler(t, A::With, DoWith);
    SetHandler(t, A::InstanceOf, DoInstanceOf);
    SetHandler(t, A::Extends, DoExtends);
    SetHandler(t, A::CastOp, DoCastOp);
    SetHandler(t, A::ImplementsOp, DoImplementsOp);
    SetHandler(t, A::Throw, DoThrow);
    SetHandler(t, A::Try, DoTry);
}

}  // namespace flash::avm1
