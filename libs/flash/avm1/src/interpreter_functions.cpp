// Script and native functions: definition, calls, construction and activation set-up.
#include <algorithm>

#include "flash/avm1/convert.h"
#include "globals.h"
#include "interpreter.h"

namespace flash::avm1 {

std::size_t Interpreter::DefineFunction(Activation& act, const FunctionDefinition& def,
                                        std::size_t bodyStart) {
    const int v = act.version;
    auto fn = std::make_unique<ScriptFunction>(globals_.functionProto);
    fn->name = def.name;
    fn->v2 = def.v2;
    fn->registerCount = def.registerCount;
    fn->flags = def.flags;
    fn->params.reserve(def.params.size());
    for (const FunctionParameter& p : def.params) {
        fn->params.push_back(FunctionParam{p.reg, p.name});
    }
    fn->code = act.code;
    fn->program = act.program;
    fn->begin = bodyStart;
    fn->end = std::min(bodyStart + def.codeSize, act.end);
    fn->pool = act.pool;
    fn->version = v;
    fn->base = act.targetValid ? act.target : act.base;
    // The defining scope: with blocks and enclosing functions; top-level code adds its
    // timeline as the outermost entry.
    fn->scope = act.scope;
    if (!act.locals && fn->base) {
        fn->scope = WithOuter(act.scope, fn->base);
    }
    String fname = fn->name;
    std::size_t end = fn->end;
    ScriptFunction* raw = fn.get();
    vm_.Adopt(std::move(fn));
    NewFunctionObject(raw);
    if (fname.empty()) {
        Push(Value::Obj(raw));
    } else {
        Object* scope = act.locals ? act.locals : (act.targetValid ? act.target : act.base);
        if (scope) {
            SetMember(scope, fname, Value::Obj(raw), v);
        }
    }
    return end;
}

ScopePtr Interpreter::WithOuter(const ScopePtr& chain, Object* outer) {
    if (!chain) {
        return std::make_shared<const Scope>(Scope{outer, nullptr});
    }
    return std::make_shared<const Scope>(Scope{chain->object, WithOuter(chain->parent, outer)});
}

Object* Interpreter::NewFunctionObject(FunctionObject* function) {
    Object* proto = NewObject();
    vm_.Define(proto, u"constructor", Value::Obj(function), kDontEnum);
    vm_.Define(function, u"prototype", Value::Obj(proto), kDontEnum);
    return function;
}

void ScriptFunction::TraceRefs(std::vector<Object*>& out) {
    for (const Scope* s = scope.get(); s; s = s->parent.get()) {
        out.push_back(s->object);
    }
    out.push_back(base);
    if (pool) {
        for (const Value& v : *pool) {
            if (auto* o = v.AsObject()) {
                out.push_back(o);
            }
        }
    }
}

std::optional<Value> LocalsObject::GetNative(Vm& vm, StringView name, int version) {
    if (offerThis && NamesEqual(name, u"this", version)) {
        return self;
    }
    if (offerArguments && NamesEqual(name, u"arguments", version)) {
        return Arguments(vm);
    }
    if (offerSuper && NamesEqual(name, u"super", version)) {
        return Value::Obj(Super(vm));
    }
    return std::nullopt;
}

void LocalsObject::TraceRefs(std::vector<Object*>& out) {
    for (const Value* v : {&self, &caller, &arguments_}) {
        if (Object* o = v->AsObject()) {
            out.push_back(o);
        }
    }
    for (const Value& v : args) {
        if (Object* o = v.AsObject()) {
            out.push_back(o);
        }
    }
    out.push_back(callee);
    out.push_back(home);
    out.push_back(super_);
}

Value LocalsObject::Arguments(Vm& vm) {
    if (arguments_.IsUndefined()) {
        ArrayObject* a = InterpreterOf(vm).NewArray();
        for (std::size_t i = 0; i < args.size(); ++i) {
            a->SetAt(vm, i, args[i]);
        }
        vm.Define(a, u"callee", Value::Obj(callee), kDontEnum);
        vm.Define(a, u"caller", caller, kDontEnum);
        arguments_ = Value::Obj(a);
    }
    return arguments_;
}

Object* LocalsObject::Super(Vm& vm) {
    if (!super_) {
        // The prototype the method came from; its __proto__ holds the base class's members
        // and its __constructor__ the base constructor.
        Object* from = home;
        if (!from) {
            if (Object* t = self.AsObject()) {
                from = t->Proto();
            }
        }
        super_ = vm.New<SuperObject>(from ? from->Proto() : nullptr, self, from);
    }
    return super_;
}

Value NativeFunction::Invoke(Interpreter& in, const Value& thisValue, std::span<const Value> args,
                             int callerVersion, bool construct, Object*) {
    CallContext ctx{in.vm(), thisValue, args, callerVersion, construct, this};
    if (construct && construct_) {
        return construct_(ctx);
    }
    return fn_ ? fn_(ctx) : Value();
}

Value ScriptFunction::Invoke(Interpreter& in, const Value& thisValue, std::span<const Value> args,
                             int, bool, Object* home) {
    return in.ExecuteFunction(*this, thisValue, args, home);
}

namespace {

// Counts one call for as long as it runs; past the limit the run stops.
class CallDepthGuard {
  public:
    CallDepthGuard(int& depth, int limit) : depth_(depth) {
        if (++depth_ > limit) {
            --depth_;
            throw AbortRun{u"recursion too deep"};
        }
    }
    ~CallDepthGuard() { --depth_; }
    CallDepthGuard(const CallDepthGuard&) = delete;
    CallDepthGuard& operator=(const CallDepthGuard&) = delete;

  private:
    int& depth_;
};

}  // namespace

Value Interpreter::CallFunction(Object* function, const Value& thisValue,
                                std::span<const Value> args, int version, Object* home) {
    if (auto* super = dynamic_cast<SuperObject*>(function)) {
        // super(...) runs the base constructor on this.
        Object* from = super->home();
        Value ctor = from ? GetMember(from, u"__constructor__", version) : Value();
        if (!IsFunction(ctor) || dynamic_cast<SuperObject*>(ctor.AsObject())) {
            return Value();
        }
        return CallFunction(ctor.AsObject(), super->thisValue(), args, version, super->Proto());
    }
    auto* f = dynamic_cast<FunctionObject*>(function);
    if (!f) {
        return Value();
    }
    const CallDepthGuard guard(callDepth_, vm_.limits().maxCallDepth);
    return f->Invoke(*this, thisValue, args, version, false, home);
}

Value Interpreter::Construct(Object* function, std::span<const Value> args, int version) {
    auto* f = dynamic_cast<FunctionObject*>(function);
    if (!f) {
        return Value();
    }
    const CallDepthGuard guard(callDepth_, vm_.limits().maxCallDepth);
    if (f->BuildsOwnObject()) {
        return f->Invoke(*this, Value(), args, version, true, nullptr);
    }
    Object* obj = NewObject();
    Value proto = GetMember(function, u"prototype", version);
    obj->SetProto(proto.AsObject());
    vm_.Define(obj, u"__constructor__", Value::Obj(function), kDontEnum);
    if (version < 7) {
        vm_.Define(obj, u"constructor", Value::Obj(function), kDontEnum);
    }
    Value thisValue = Value::Obj(obj);
    Value made = f->Invoke(*this, thisValue, args, version, true, proto.AsObject());
    // Built-in constructors may give another object (new Object(o) gives o).
    if (made.IsObject() && dynamic_cast<NativeFunction*>(f)) {
        return made;
    }
    return thisValue;
}

Value Interpreter::ExecuteFunction(ScriptFunction& fn, const Value& thisValue,
                                   std::span<const Value> args, Object* home) {
    const int v = fn.version;
    Activation act;
    act.code = fn.code;
    act.program = fn.program;
    act.begin = fn.begin;
    act.end = fn.end;
    act.pool = fn.pool;
    act.version = v;
    act.base = fn.base;
    act.target = fn.base;
    act.callee = &fn;
    act.home = home;
    act.stackBase = stack_.size();
    act.registers.resize(fn.v2 ? std::max<std::size_t>(fn.registerCount, 1) : 4);

    // A plain call has the defining timeline as this; SWF 5 takes the caller's.
    Value self = thisValue;
    if (self.IsNullish()) {
        Object* caller = v < 6 && !activations_.empty() && activations_.back()->targetValid
                             ? activations_.back()->target
                             : nullptr;
        self = Value::Obj(caller ? caller : fn.base);
    }
    act.thisValue = self;

    LocalsObject* locals = vm_.New<LocalsObject>();
    locals->self = self;
    locals->args.assign(args.begin(), args.end());
    locals->callee = &fn;
    locals->caller = activations_.empty() || !activations_.back()->callee
                         ? Value::Null()
                         : Value::Obj(activations_.back()->callee);
    locals->home = home;
    act.locals = locals;
    if (v >= 6) {
        act.scope = std::make_shared<const Scope>(Scope{locals, fn.scope});
    } else {
        // SWF 5 has no closures: names resolve in the locals and then in the timeline of
        // `this` when it is a clip, else the defining one.
        act.scope = std::make_shared<const Scope>(Scope{locals, nullptr});
        if (Object* t = self.AsObject(); t && t->AsClip()) {
            act.target = t;
            act.base = t;
        }
    }

    PreloadRegisters(fn, act, *locals, args);

    std::size_t stackSize = stack_.size();
    Value result;
    try {
        result = Execute(act);
    } catch (...) {
        stack_.resize(stackSize);
        throw;
    }
    stack_.resize(stackSize);
    return result;
}

// Registers and locals of a call: DefineFunction2 preloads this, arguments, super, _root,
// _parent and _global into registers as its flags ask, and may keep parameters there.
void Interpreter::PreloadRegisters(ScriptFunction& fn, Activation& act, LocalsObject& locals,
                                   std::span<const Value> args) {
    const Value& self = act.thisValue;
    if (fn.v2) {
        std::size_t reg = 1;
        auto preload = [&](std::uint16_t flag, Value value) {
            if (fn.flags & flag) {
                if (reg < act.registers.size()) {
                    act.registers[reg] = std::move(value);
                }
                ++reg;
            }
        };
        preload(kPreloadThis, self);
        if (fn.flags & kPreloadArguments) {
            act.argumentsValue = locals.Arguments(vm_);
            preload(kPreloadArguments, act.argumentsValue);
        }
        if (fn.flags & kPreloadSuper) {
            preload(kPreloadSuper, Value::Obj(locals.Super(vm_)));
        }
        if (fn.flags & kPreloadRoot) {
            Clip* c = fn.base ? fn.base->AsClip() : nullptr;
            Value root;
            if (c) {
                Clip* r = c;
                int guard = 0;
                while (r->Parent() && !r->LocksRoot() && guard++ < 10000) {
                    r = r->Parent();
                }
                root = Value::Obj(ObjectFor(r));
            }
            preload(kPreloadRoot, root);
        }
        if (fn.flags & kPreloadParent) {
            Clip* c = fn.base ? fn.base->AsClip() : nullptr;
            // A root has no parent, and then no register is used for it.
            if (c && c->Parent()) {
                preload(kPreloadParent, Value::Obj(ObjectFor(c->Parent())));
            }
        }
        preload(kPreloadGlobal, Value::Obj(globals_.global));
        locals.offerThis = !(fn.flags & kSuppressThis) && !(fn.flags & kPreloadThis);
        locals.offerArguments = !(fn.flags & kSuppressArguments) && !(fn.flags & kPreloadArguments);
        locals.offerSuper = !(fn.flags & kSuppressSuper) && !(fn.flags & kPreloadSuper);
        for (std::size_t i = 0; i < fn.params.size(); ++i) {
            const FunctionParam& p = fn.params[i];
            Value arg = i < args.size() ? args[i] : Value();
            if (p.reg != 0 && p.reg < act.registers.size()) {
                act.registers[p.reg] = arg;
            } else if (p.reg == 0) {
                vm_.Define(&locals, p.name, arg);
            }
        }
    } else {
        locals.offerThis = true;
        locals.offerArguments = true;
        locals.offerSuper = true;
        for (std::size_t i = 0; i < fn.params.size(); ++i) {
            vm_.Define(&locals, fn.params[i].name, i < args.size() ? args[i] : Value());
        }
    }
}

}  // namespace flash::avm1
