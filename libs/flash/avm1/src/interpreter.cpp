#include "interpreter.h"

#include <algorithm>

#include "globals.h"

namespace flash::avm1 {

namespace {

const HandlerTable& Handlers() {
    static const HandlerTable table = [] {
        HandlerTable t{};
        AddArithmeticHandlers(t);
        AddStackHandlers(t);
        AddControlHandlers(t);
        AddTimelineHandlers(t);
        return t;
    }();
    return table;
}

}  // namespace

String Ascii(std::string_view s) {
    return String(s.begin(), s.end());
}

Interpreter::Interpreter(Vm& vm, Globals& globals) : vm_(vm), globals_(globals) {}

void Interpreter::CheckString(std::size_t length) {
    if (length > vm_.limits().maxStringLength) {
        throw AbortRun{u"string too long"};
    }
}

void Interpreter::ChargeString(std::size_t length) {
    CheckString(length);
    stringUnits_ += length;
    if (stringUnits_ > vm_.limits().maxStringUnitsPerRun) {
        throw AbortRun{u"scripts built too much text"};
    }
}

namespace {

// Actions between two looks at the clock.
constexpr std::uint64_t kClockStride = 1024;

}  // namespace

void Interpreter::CountActions(std::uint64_t n) {
    const std::uint64_t before = executed_;
    executed_ += n;
    if (executed_ > vm_.limits().instructionBudget) {
        throw AbortRun{u"script ran too long"};
    }
    if (ScriptsInterrupted()) {
        throw AbortRun{u"script interrupted: the program is ending"};
    }
    if (before / kClockStride != executed_ / kClockStride) {
        CheckTime();
    }
}

// Past the time limit the host decides: stop the run, or let it go on for another period.
void Interpreter::CheckTime() {
    const double now = host().ClockMs();
    if (now - runStartMs_ < vm_.limits().scriptTimeoutMs) {
        return;
    }
    if (host().StopSlowScript()) {
        throw AbortRun{u"script ran longer than the time limit"};
    }
    runStartMs_ = host().ClockMs();
}

void Interpreter::BeginOuterRun() {
    total_ += executed_;
    executed_ = 0;
    stringUnits_ = 0;
    runStartMs_ = host().ClockMs();
}

// ---------------------------------------------------------------------------------------
// Stack

Value Interpreter::Pop() {
    const Activation* act = activations_.empty() ? nullptr : activations_.back();
    std::size_t floor = act ? act->stackBase : 0;
    if (stack_.size() <= floor) {
        return Value();
    }
    Value v = std::move(stack_.back());
    stack_.pop_back();
    return v;
}

void Interpreter::Push(Value v) {
    if (stack_.size() >= vm_.limits().maxStack) {
        throw AbortRun{u"stack overflow"};
    }
    stack_.push_back(std::move(v));
}

Value& Interpreter::Top() {
    const Activation* act = activations_.empty() ? nullptr : activations_.back();
    std::size_t floor = act ? act->stackBase : 0;
    if (stack_.size() <= floor) {
        Push(Value());
    }
    return stack_.back();
}

// A register of the activation; numbers beyond a function's own registers reach the four
// registers of the top-level code, as in Flash.
Value* Interpreter::Register(Activation& act, std::size_t index) {
    if (index < act.registers.size()) {
        return &act.registers[index];
    }
    if (!activations_.empty() && activations_.front() != &act &&
        index < activations_.front()->registers.size()) {
        return &activations_.front()->registers[index];
    }
    return nullptr;
}

StringView Interpreter::NameOf(const Value& name, int version, String& text) {
    if (name.IsString()) {
        return name.AsString();
    }
    text = ToString(name, version);
    return text;
}

// ---------------------------------------------------------------------------------------
// Top level

RunResult Interpreter::RunTop(const ActionBytes& code, std::size_t begin, std::size_t end,
                              Object* target, int version) {
    if (!code) {
        return RunResult::Done;
    }
    bool outer = depth_ == 0;
    if (outer && ScriptsInterrupted()) {
        return RunResult::Aborted;  // the program is ending: nothing more to report
    }
    if (outer) {
        BeginOuterRun();
    }
    Activation act;
    act.code = code;
    act.program = ProgramFor(code, version);
    act.begin = begin;
    act.end = std::min(end, code->size());
    act.registers.resize(4);
    act.target = target;
    act.base = target;
    act.thisValue = Value::Obj(target);
    act.version = version;
    std::size_t stackSize = stack_.size();
    act.stackBase = stackSize;
    RunResult result = RunResult::Done;
    ++depth_;
    try {
        Execute(act);
    } catch (const ScriptThrow& t) {
        result = RunResult::Threw;
        String text;
        try {
            text = ToString(t.value, version);
        } catch (...) {
            text = u"?";
        }
        // Flash reports it in the trace log.
        host().Trace(u"Warning: Uncaught exception, " + text);
        host().ScriptError(u"uncaught exception: " + text);
    } catch (const AbortRun& a) {
        result = RunResult::Aborted;
        host().ScriptError(a.reason);
        if (!outer) {
            --depth_;
            stack_.resize(stackSize);
            throw;
        }
    }
    --depth_;
    stack_.resize(stackSize);
    return result;
}

Value Interpreter::CallGuarded(Object* function, const Value& thisValue,
                               std::span<const Value> args, int version) {
    bool outer = depth_ == 0;
    if (outer && ScriptsInterrupted()) {
        return Value();
    }
    if (outer) {
        BeginOuterRun();
    }
    std::size_t stackSize = stack_.size();
    ++depth_;
    Value result;
    try {
        result = CallFunction(function, thisValue, args, version);
    } catch (const ScriptThrow& t) {
        String text;
        try {
            text = ToString(t.value, version);
        } catch (...) {
            text = u"?";
        }
        host().ScriptError(u"uncaught exception: " + text);
    } catch (const AbortRun& a) {
        host().ScriptError(a.reason);
        if (!outer) {
            --depth_;
            stack_.resize(stackSize);
            throw;
        }
    }
    --depth_;
    stack_.resize(stackSize);
    return result;
}

void Interpreter::Roots(std::vector<Object*>& out) const {
    for (const Value& v : stack_) {
        if (auto* o = v.AsObject()) {
            out.push_back(o);
        }
    }
    for (const Activation* a : activations_) {
        for (const Value& v : a->registers) {
            if (auto* o = v.AsObject()) {
                out.push_back(o);
            }
        }
        for (const Scope* s = a->scope.get(); s; s = s->parent.get()) {
            out.push_back(s->object);
        }
        out.push_back(a->locals);
        out.push_back(a->target);
        out.push_back(a->base);
        out.push_back(a->callee);
        out.push_back(a->home);
        out.push_back(a->thisValue.AsObject());
        out.push_back(a->argumentsValue.AsObject());
    }
}

// ---------------------------------------------------------------------------------------
// The action loop

Value Interpreter::Execute(Activation& act) {
    activations_.push_back(&act);
    struct Pop {
        std::vector<Activation*>& list;
        ~Pop() { list.pop_back(); }
    } popper{activations_};

    const HandlerTable& handlers = Handlers();
    Flow flow;
    flow.pc = act.begin;
    while (true) {
        try {
            while (true) {
                if ((!act.tries.empty() || !act.withs.empty()) && CheckBlocks(act, flow)) {
                    return flow.result;
                }
                if (flow.returned) {
                    return flow.result;
                }
                const DecodedAction* a =
                    flow.pc < act.begin ? nullptr : act.program->At(flow.pc, act.end);
                if (!a) {
                    // End of the block: run pending finally blocks first.
                    if (!act.tries.empty()) {
                        flow.pc = act.end;
                        if (CheckBlocks(act, flow)) {
                            return flow.result;
                        }
                        if (flow.pc < act.end) {
                            continue;
                        }
                    }
                    return flow.result;
                }
                CountActions(1);
                flow.pc = a->next;
                if (ActionHandler handler = handlers[a->code]) {
                    ActionStep step{*this, act, *a, flow};
                    handler(step);
                }  // unknown actions are skipped by their length
            }
        } catch (const ScriptThrow& t) {
            if (!HandleThrow(act, t.value, flow.pc)) {
                throw;
            }
        }
    }
}

void Interpreter::RunNested(Activation& sub) {
    if (++callDepth_ > vm_.limits().maxCallDepth) {
        --callDepth_;
        throw AbortRun{u"recursion too deep"};
    }
    try {
        Execute(sub);
    } catch (...) {
        --callDepth_;
        throw;
    }
    --callDepth_;
    stack_.resize(sub.stackBase);
}

// Moves through the ends of try, catch, finally and with blocks; true when the activation
// must return now.
bool Interpreter::CheckBlocks(Activation& act, Flow& flow) {
    std::size_t& pc = flow.pc;
    bool& returned = flow.returned;
    Value& result = flow.result;
    while (!act.withs.empty()) {
        const WithBlock& w = act.withs.back();
        if (pc >= w.start && pc < w.end) {
            break;
        }
        act.scope = w.saved;
        act.withs.pop_back();
    }
    while (!act.tries.empty()) {
        TryHandler& h = act.tries.back();
        if (returned && h.state != TryHandler::State::Finally && h.hasFinally) {
            h.pendingReturn = result;
            returned = false;
            h.state = TryHandler::State::Finally;
            pc = h.catchEnd;
            return false;
        }
        if (returned) {
            act.tries.pop_back();
            continue;
        }
        if (pc < h.start || pc > h.finallyEnd) {
            act.tries.pop_back();  // left by a jump
            continue;
        }
        if (h.state == TryHandler::State::Try && pc >= h.tryEnd) {
            if (h.hasFinally) {
                h.state = TryHandler::State::Finally;
                pc = h.catchEnd;
            } else {
                pc = h.finallyEnd;
                act.tries.pop_back();
                continue;
            }
            return false;
        }
        if (h.state == TryHandler::State::Catch && pc >= h.catchEnd) {
            if (h.hasFinally) {
                h.state = TryHandler::State::Finally;
                pc = h.catchEnd;
            } else {
                pc = h.finallyEnd;
                act.tries.pop_back();
                continue;
            }
            return false;
        }
        if (h.state == TryHandler::State::Finally && pc >= h.finallyEnd) {
            std::optional<Value> rethrow = std::move(h.pendingThrow);
            std::optional<Value> ret = std::move(h.pendingReturn);
            act.tries.pop_back();
            if (rethrow) {
                throw ScriptThrow{*rethrow};
            }
            if (ret) {
                result = *ret;
                returned = true;
                if (act.tries.empty()) {
                    return true;
                }
                continue;
            }
            continue;
        }
        break;
    }
    return returned;
}

bool Interpreter::HandleThrow(Activation& act, const Value& thrown, std::size_t& pc) {
    while (!act.tries.empty()) {
        TryHandler& h = act.tries.back();
        stack_.resize(std::max(act.stackBase, std::min(stack_.size(), h.stackDepth)));
        if (h.state == TryHandler::State::Try && h.hasCatch) {
            h.state = TryHandler::State::Catch;
            pc = h.tryEnd;
            if (h.catchInRegister) {
                if (Value* r = Register(act, h.reg)) {
                    *r = thrown;
                }
            } else {
                SetVariable(act, h.name, thrown);
            }
            return true;
        }
        if (h.state != TryHandler::State::Finally && h.hasFinally) {
            h.state = TryHandler::State::Finally;
            h.pendingThrow = thrown;
            pc = h.catchEnd;
            return true;
        }
        act.tries.pop_back();
    }
    return false;
}

}  // namespace flash::avm1
