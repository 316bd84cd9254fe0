#include "interpreter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "flash/avm1/convert.h"
#include "globals.h"

namespace flash::avm1 {

namespace {

constexpr int kMaxProtoDepth = 256;
constexpr std::size_t kMaxWithDepth = 64;
constexpr int kMaxWatchDepth = 65;  // nested watcher calls before assignments go through

Value BoolResult(bool b, int version) {
    return version < 5 ? Value::Number(b ? 1 : 0) : Value::Bool(b);
}

// "_levelN" -> N.
std::optional<int> LevelNumberOf(StringView name) {
    static constexpr StringView kLevel = u"_level";
    if (name.size() <= kLevel.size() || !NamesEqual(name.substr(0, kLevel.size()), kLevel, 6)) {
        return std::nullopt;
    }
    int n = 0;
    for (char16_t c : name.substr(kLevel.size())) {
        if (c < u'0' || c > u'9' || n > 100000) {
            return std::nullopt;
        }
        n = n * 10 + (c - u'0');
    }
    return n;
}

}  // namespace

String Ascii(std::string_view s) {
    return String(s.begin(), s.end());
}

Interpreter::Interpreter(Vm& vm, Globals& globals) : vm_(vm), globals_(globals) {}

String Interpreter::DecodeString(std::string_view bytes, int version) const {
    return version >= 6 ? FromUtf8(bytes) : FromLatin1(bytes);
}

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

void Interpreter::CountActions(std::uint64_t n) {
    executed_ += n;
    if (executed_ > vm_.limits().instructionBudget) {
        throw AbortRun{u"script ran too long"};
    }
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

// A name from the stack: strings are used in place, other values converted into `text`.
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
    if (outer) {
        total_ += executed_;
        executed_ = 0;
        stringUnits_ = 0;
    }
    Activation act;
    act.code = code;
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
    if (outer) {
        total_ += executed_;
        executed_ = 0;
        stringUnits_ = 0;
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

    std::size_t pc = act.begin;
    Value result;
    bool returned = false;
    ActionReader reader(std::span<const std::uint8_t>(*act.code).subspan(0, act.end));
    while (true) {
        try {
            while (true) {
                if ((!act.tries.empty() || !act.withs.empty()) &&
                    CheckBlocks(act, pc, returned, result)) {
                    return result;
                }
                if (returned) {
                    return result;
                }
                Action a;
                if (pc < act.begin || reader.Decode(pc, a) != ActionReader::Status::Ok) {
                    // End of the block: run pending finally blocks first.
                    if (!act.tries.empty()) {
                        pc = act.end;
                        if (CheckBlocks(act, pc, returned, result)) {
                            return result;
                        }
                        if (pc < act.end) {
                            continue;
                        }
                    }
                    return result;
                }
                if (++executed_ > vm_.limits().instructionBudget) {
                    throw AbortRun{u"script ran too long"};
                }
                pc = a.next;
                Step(act, a, pc, returned, result);
            }
        } catch (const ScriptThrow& t) {
            if (!HandleThrow(act, t.value, pc)) {
                throw;
            }
        }
    }
}

// Moves through the ends of try, catch, finally and with blocks; true when the activation
// must return now.
bool Interpreter::CheckBlocks(Activation& act, std::size_t& pc, bool& returned, Value& result) {
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

namespace {

// A frame counts as loaded once it arrived, and any frame up to Flash's last possible one
// (16000) does once the whole clip has.
bool FrameLoaded(Clip& clip, int frame) {
    int loaded = clip.FramesLoaded();
    return frame < loaded || (loaded >= clip.TotalFrames() && frame <= 16000);
}

}  // namespace

void Interpreter::Step(Activation& act, const Action& a, std::size_t& pc, bool& returned,
                       Value& result) {
    const int v = act.version;
    switch (a.Code()) {
        // ---- SWF 3
        case ActionCode::NextFrame:
            if (Clip* c = TargetClip(act)) {
                c->GotoFrame(c->CurrentFrame() + 1, false);
            }
            break;
        case ActionCode::PreviousFrame:
            if (Clip* c = TargetClip(act)) {
                if (c->CurrentFrame() > 0) {
                    c->GotoFrame(c->CurrentFrame() - 1, false);
                } else {
                    c->Stop();
                }
            }
            break;
        case ActionCode::Play:
            if (Clip* c = TargetClip(act)) {
                c->Play();
            }
            break;
        case ActionCode::Stop:
            if (Clip* c = TargetClip(act)) {
                c->Stop();
            }
            break;
        case ActionCode::ToggleQuality:
            host().ToggleQuality();
            break;
        case ActionCode::StopSounds:
            host().StopSounds();
            break;
        case ActionCode::GotoFrame: {
            PayloadReader r(a.payload);
            auto frame = r.U16();
            if (Clip* c = TargetClip(act); c && frame) {
                c->GotoFrame(*frame, false);
            }
            break;
        }
        case ActionCode::GetURL: {
            PayloadReader r(a.payload);
            auto url = r.CString();
            auto target = r.CString();
            UrlRequest req;
            req.url = DecodeString(url.value_or(""), v);
            req.target = DecodeString(target.value_or(""), v);
            req.source = TargetClip(act);
            if (auto level = LevelNumberOf(req.target)) {
                req.targetLevel = level;
                req.loadTarget = true;
            }
            host().GetUrl(req);
            break;
        }
        case ActionCode::WaitForFrame: {
            PayloadReader r(a.payload);
            auto frame = r.U16();
            auto skip = r.U8();
            Clip* c = TargetClip(act);
            if (frame && skip && c && !FrameLoaded(*c, *frame)) {
                for (int i = 0; i < *skip; ++i) {
                    Action next;
                    ActionReader reader(
                        std::span<const std::uint8_t>(*act.code).subspan(0, act.end));
                    if (reader.Decode(pc, next) != ActionReader::Status::Ok) {
                        break;
                    }
                    pc = next.next;
                }
            }
            break;
        }
        case ActionCode::WaitForFrame2: {
            PayloadReader r(a.payload);
            auto skip = r.U8();
            Value frame = Pop();
            Clip* c = nullptr;
            int index = 0;
            if (skip && ResolveFrameSpec(act, frame, c, index) && !FrameLoaded(*c, index)) {
                for (int i = 0; i < *skip; ++i) {
                    Action next;
                    ActionReader reader(
                        std::span<const std::uint8_t>(*act.code).subspan(0, act.end));
                    if (reader.Decode(pc, next) != ActionReader::Status::Ok) {
                        break;
                    }
                    pc = next.next;
                }
            }
            break;
        }
        case ActionCode::SetTarget: {
            PayloadReader r(a.payload);
            SetTargetTo(act, Value::Str(DecodeString(r.CString().value_or(""), v)));
            break;
        }
        case ActionCode::GoToLabel: {
            PayloadReader r(a.payload);
            String label = DecodeString(r.CString().value_or(""), v);
            if (Clip* c = TargetClip(act)) {
                c->GotoLabel(label, false);
            }
            break;
        }

        // ---- SWF 4: stack and arithmetic
        case ActionCode::Push: {
            PayloadReader r(a.payload);
            while (!r.AtEnd()) {
                auto type = r.U8();
                switch (type.value_or(255)) {
                    case 0: {
                        auto s = r.CString();
                        if (!s) {
                            return;
                        }
                        Push(Value::Str(DecodeString(*s, v)));
                        break;
                    }
                    case 1: {
                        auto f = r.Float();
                        if (!f) {
                            return;
                        }
                        Push(Value::Number(*f));
                        break;
                    }
                    case 2:
                        Push(Value::Null());
                        break;
                    case 3:
                        Push(Value());
                        break;
                    case 4: {
                        auto reg = r.U8();
                        if (!reg) {
                            return;
                        }
                        Value* slot = Register(act, *reg);
                        Push(slot ? *slot : Value());
                        break;
                    }
                    case 5: {
                        auto b = r.U8();
                        if (!b) {
                            return;
                        }
                        Push(Value::Bool(*b != 0));
                        break;
                    }
                    case 6: {
                        auto d = r.Double();
                        if (!d) {
                            return;
                        }
                        Push(Value::Number(*d));
                        break;
                    }
                    case 7: {
                        auto i = r.U32();
                        if (!i) {
                            return;
                        }
                        Push(Value::Number(static_cast<std::int32_t>(*i)));
                        break;
                    }
                    case 8:
                    case 9: {
                        auto index = *type == 8 ? std::optional<std::uint16_t>(r.U8()) : r.U16();
                        if (!index) {
                            return;
                        }
                        Push(act.pool && *index < act.pool->size() ? (*act.pool)[*index] : Value());
                        break;
                    }
                    default:
                        return;  // unknown type: the rest cannot be read
                }
            }
            break;
        }
        case ActionCode::Pop:
            Pop();
            break;
        case ActionCode::Add:
        case ActionCode::Subtract:
        case ActionCode::Multiply:
        case ActionCode::Divide:
        case ActionCode::Modulo: {
            Value bv = Pop();
            Value av = Pop();
            double x = ToNumber(av, v);
            double y = ToNumber(bv, v);
            double r = 0;
            switch (a.Code()) {
                case ActionCode::Add:
                    r = x + y;
                    break;
                case ActionCode::Subtract:
                    r = x - y;
                    break;
                case ActionCode::Multiply:
                    r = x * y;
                    break;
                case ActionCode::Divide:
                    if (y == 0 && v < 5) {
                        Push(Value::Str(u"#ERROR#"));
                        return;
                    }
                    r = x / y;
                    break;
                default:
                    r = std::fmod(x, y);
                    break;
            }
            Push(Value::Number(r));
            break;
        }
        case ActionCode::Equals: {
            Value bv = Pop();
            Value av = Pop();
            double y = ToNumber(bv, v);  // Flash converts the top value first here
            double x = ToNumber(av, v);
            Push(BoolResult(x == y, v));
            break;
        }
        case ActionCode::Less: {
            Value bv = Pop();
            Value av = Pop();
            double x = ToNumber(av, v);
            double y = ToNumber(bv, v);
            Push(BoolResult(x < y, v));
            break;
        }
        case ActionCode::And:
        case ActionCode::Or: {
            Value bv = Pop();
            Value av = Pop();
            bool x = ToBoolean(av, v);
            bool y = ToBoolean(bv, v);
            Push(BoolResult(a.Code() == ActionCode::And ? (x && y) : (x || y), v));
            break;
        }
        case ActionCode::Not:
            Push(BoolResult(!ToBoolean(Pop(), v), v));
            break;
        case ActionCode::StringEquals:
        case ActionCode::StringLess:
        case ActionCode::StringGreater: {
            Value bv = Pop();
            Value av = Pop();
            String x = ToString(av, v);
            String y = ToString(bv, v);
            bool r = a.Code() == ActionCode::StringEquals ? x == y
                     : a.Code() == ActionCode::StringLess ? x < y
                                                          : x > y;
            Push(BoolResult(r, v));
            break;
        }
        case ActionCode::StringLength:
        case ActionCode::MBStringLength:
            Push(Value::Number(static_cast<double>(ToString(Pop(), v).size())));
            break;
        case ActionCode::StringAdd: {
            Value bv = Pop();
            Value av = Pop();
            String s = ToString(av, v);
            String t = ToString(bv, v);
            ChargeString(s.size() + t.size());
            Push(Value::Str(s + t));
            break;
        }
        case ActionCode::StringExtract:
        case ActionCode::MBStringExtract: {
            double count = ToInt32(ToNumber(Pop(), v));
            double index = ToInt32(ToNumber(Pop(), v));
            String s = ToString(Pop(), v);
            double start = std::max(0.0, index - 1);
            if (start >= static_cast<double>(s.size())) {
                Push(Value::Str(String()));
                break;
            }
            auto from = static_cast<std::size_t>(start);
            std::size_t n = count < 0 ? s.size() - from
                                      : static_cast<std::size_t>(
                                            std::min(count, static_cast<double>(s.size() - from)));
            Push(Value::Str(s.substr(from, n)));
            break;
        }
        case ActionCode::ToInteger:
            Push(Value::Number(ToInt32(ToNumber(Pop(), v))));
            break;
        case ActionCode::CharToAscii:
        case ActionCode::MBCharToAscii: {
            // The first UTF-16 unit; half of a surrogate pair reads as U+FFFD.
            String s = ToString(Pop(), v);
            char16_t c = s.empty() ? 0 : s[0];
            Push(Value::Number(c >= 0xD800 && c <= 0xDFFF ? 0xFFFD : c));
            break;
        }
        case ActionCode::AsciiToChar:
        case ActionCode::MBAsciiToChar: {
            auto code = static_cast<char16_t>(ToUint32(ToNumber(Pop(), v)) & 0xFFFF);
            String s;
            if (code != 0) {
                s.push_back(code >= 0xD800 && code <= 0xDFFF ? char16_t{0xFFFD} : code);
            }
            Push(Value::Str(std::move(s)));
            break;
        }

        // ---- SWF 4: control flow
        case ActionCode::Jump:
        case ActionCode::If: {
            PayloadReader r(a.payload);
            auto offset = r.S16();
            if (!offset) {
                break;
            }
            bool take = true;
            if (a.Code() == ActionCode::If) {
                take = ToBoolean(Pop(), v);
            }
            if (take) {
                auto target = static_cast<std::int64_t>(a.next) + *offset;
                if (target < static_cast<std::int64_t>(act.begin) ||
                    target > static_cast<std::int64_t>(act.end)) {
                    pc = act.end;  // a branch out of the block ends it
                } else {
                    pc = static_cast<std::size_t>(target);
                }
            }
            break;
        }
        case ActionCode::Call: {
            Value frame = Pop();
            Clip* c = nullptr;
            int index = 0;
            if (ResolveFrameSpec(act, frame, c, index)) {
                Object* obj = ObjectFor(c);
                for (const ActionBytes& code : c->FrameScripts(index)) {
                    if (!code) {
                        continue;
                    }
                    Activation sub;
                    sub.code = code;
                    sub.begin = 0;
                    sub.end = code->size();
                    sub.registers.resize(4);
                    sub.target = obj;
                    sub.base = obj;
                    sub.thisValue = Value::Obj(obj);
                    sub.version = c->SwfVersion();
                    sub.stackBase = stack_.size();
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
            }
            break;
        }
        case ActionCode::GetVariable: {
            Value name = Pop();
            String text;
            Push(GetVariable(act, NameOf(name, v, text)));
            break;
        }
        case ActionCode::SetVariable: {
            Value value = Pop();
            Value name = Pop();
            String text;
            SetVariable(act, NameOf(name, v, text), value);
            break;
        }
        case ActionCode::GetURL2: {
            PayloadReader r(a.payload);
            std::uint8_t flags = r.U8().value_or(0);
            Value target = Pop();
            Value url = Pop();
            UrlRequest req;
            req.url = ToString(url, v);
            req.target = ToString(target, v);
            switch (flags & 3) {
                case 1:
                    req.method = UrlRequest::Method::Get;
                    break;
                case 2:
                    req.method = UrlRequest::Method::Post;
                    break;
                default:
                    break;
            }
            req.loadTarget = (flags & 0x40) != 0;
            req.loadVariables = (flags & 0x80) != 0;
            req.source = TargetClip(act);
            if (auto level = LevelNumberOf(req.target)) {
                req.targetLevel = level;
            } else if (req.loadTarget) {
                Clip* base = act.target ? act.target->AsClip() : nullptr;
                if (auto* o = target.AsObject()) {
                    req.targetClip = o->AsClip();
                } else {
                    req.targetClip = ResolveTargetPath(req.target, base, v);
                }
            }
            host().GetUrl(req);
            break;
        }
        case ActionCode::GotoFrame2: {
            PayloadReader r(a.payload);
            std::uint8_t flags = r.U8().value_or(0);
            int bias = 0;
            if (flags & 2) {
                bias = r.U16().value_or(0);
            }
            GotoFrameSpec(act, Pop(), (flags & 1) != 0, bias);
            break;
        }
        case ActionCode::SetTarget2:
            SetTargetTo(act, Pop());
            break;
        case ActionCode::GetProperty: {
            Value index = Pop();
            Value target = Pop();
            auto prop = PropertyByIndex(ToNumber(index, v));
            Clip* c = nullptr;
            if (auto* o = target.AsObject()) {
                c = o->AsClip();
            } else {
                String path = ToString(target, v);
                c = path.empty() ? (act.targetMissing ? nullptr : TargetClip(act))
                                 : ResolveTargetPath(path, TargetClip(act), v);
            }
            if (!c || !prop) {
                Push(Value());
                break;
            }
            Object* obj = ObjectFor(c);
            Push(GetMember(obj, PropertyName(*prop), v));
            break;
        }
        case ActionCode::SetProperty: {
            Value value = Pop();
            Value index = Pop();
            Value target = Pop();
            auto prop = PropertyByIndex(ToNumber(index, v));
            Clip* c = nullptr;
            if (auto* o = target.AsObject()) {
                c = o->AsClip();
            } else {
                String path = ToString(target, v);
                c = path.empty() ? TargetClip(act) : ResolveTargetPath(path, TargetClip(act), v);
            }
            if (c && prop) {
                SetMember(ObjectFor(c), PropertyName(*prop), value, v);
            }
            break;
        }
        case ActionCode::CloneSprite: {
            Value depth = Pop();
            Value target = Pop();
            Value source = Pop();
            Clip* c = nullptr;
            if (auto* o = source.AsObject()) {
                c = o->AsClip();
            } else {
                c = ResolveTargetPath(ToString(source, v), TargetClip(act), v);
            }
            if (c) {
                double d = ToNumber(depth, v);
                host().CloneSprite(
                    *c, ToString(target, v),
                    std::isfinite(d) ? static_cast<int>(std::clamp(d, -2147483648.0, 2147483647.0))
                                     : 0);
            }
            break;
        }
        case ActionCode::RemoveSprite: {
            Value target = Pop();
            Clip* c = nullptr;
            if (auto* o = target.AsObject()) {
                c = o->AsClip();
            } else {
                c = ResolveTargetPath(ToString(target, v), TargetClip(act), v);
            }
            if (c) {
                host().RemoveSprite(*c);
            }
            break;
        }
        case ActionCode::StartDrag: {
            Value target = Pop();
            bool lock = ToBoolean(Pop(), v);
            bool constrain = ToBoolean(Pop(), v);
            std::optional<DragRect> rect;
            if (constrain) {
                DragRect d;
                d.bottom = ToNumber(Pop(), v);
                d.right = ToNumber(Pop(), v);
                d.top = ToNumber(Pop(), v);
                d.left = ToNumber(Pop(), v);
                rect = d;
            }
            Clip* c = nullptr;
            if (auto* o = target.AsObject()) {
                c = o->AsClip();
            } else {
                String path = ToString(target, v);
                c = path.empty() ? TargetClip(act) : ResolveTargetPath(path, TargetClip(act), v);
            }
            if (c) {
                host().StartDrag(*c, lock, rect);
            }
            break;
        }
        case ActionCode::EndDrag:
            host().StopDrag();
            break;
        case ActionCode::Trace: {
            Value value = Pop();
            host().Trace(value.IsUndefined() ? String(u"undefined") : ToString(value, v));
            break;
        }
        case ActionCode::GetTime:
            Push(Value::Number(std::floor(host().TimeMs())));
            break;
        case ActionCode::RandomNumber: {
            double max = ToIntegerNumber(ToNumber(Pop(), v));
            double r = host().Random();
            Push(Value::Number(max > 0 ? std::floor(std::clamp(r, 0.0, 0.9999999999) * max) : 0));
            break;
        }

        // ---- SWF 5
        case ActionCode::ConstantPool: {
            PayloadReader r(a.payload);
            auto count = r.U16().value_or(0);
            auto pool = std::make_shared<std::vector<Value>>();
            pool->reserve(std::min<std::size_t>(count, a.payload.size()));
            for (int i = 0; i < count; ++i) {
                auto s = r.CString();
                if (!s) {
                    break;
                }
                pool->push_back(Value::Str(DecodeString(*s, v)));
            }
            act.pool = pool;
            break;
        }
        case ActionCode::Add2: {
            Value bv = Pop();
            Value av = Pop();
            Value x = ToPrimitive(av, v);
            Value y = ToPrimitive(bv, v);
            if (x.IsString() || y.IsString()) {
                String s = ToString(x, v);
                String t = ToString(y, v);
                ChargeString(s.size() + t.size());
                s += t;
                Push(Value::Str(std::move(s)));
            } else {
                Push(Value::Number(ToNumber(x, v) + ToNumber(y, v)));
            }
            break;
        }
        case ActionCode::Less2: {
            Value bv = Pop();
            Value av = Pop();
            Push(LessThan(av, bv, v, true));
            break;
        }
        case ActionCode::Greater: {
            Value bv = Pop();
            Value av = Pop();
            Push(LessThan(bv, av, v));
            break;
        }
        case ActionCode::Equals2: {
            Value bv = Pop();
            Value av = Pop();
            Push(Value::Bool(LooseEquals(av, bv, v)));
            break;
        }
        case ActionCode::StrictEquals: {
            Value bv = Pop();
            Value av = Pop();
            Push(Value::Bool(StrictEquals(av, bv)));
            break;
        }
        case ActionCode::ToNumber:
            Push(Value::Number(ToNumber(Pop(), v)));
            break;
        case ActionCode::ToString:
            Push(Value::Str(ToString(Pop(), v)));
            break;
        case ActionCode::Increment:
            Push(Value::Number(ToNumber(Pop(), v) + 1));
            break;
        case ActionCode::Decrement:
            Push(Value::Number(ToNumber(Pop(), v) - 1));
            break;
        case ActionCode::BitAnd:
        case ActionCode::BitOr:
        case ActionCode::BitXor:
        case ActionCode::BitLShift:
        case ActionCode::BitRShift:
        case ActionCode::BitURShift: {
            Value bv = Pop();
            Value av = Pop();
            double x = ToNumber(av, v);
            double y = ToNumber(bv, v);
            std::int32_t l = ToInt32(x);
            std::int32_t r = ToInt32(y);
            double out = 0;
            switch (a.Code()) {
                case ActionCode::BitAnd:
                    out = l & r;
                    break;
                case ActionCode::BitOr:
                    out = l | r;
                    break;
                case ActionCode::BitXor:
                    out = l ^ r;
                    break;
                case ActionCode::BitLShift:
                    out = static_cast<std::int32_t>(static_cast<std::uint32_t>(l) << (r & 31));
                    break;
                case ActionCode::BitRShift:
                    out = l >> (r & 31);
                    break;
                default:
                    // Flash gives the result as a signed 32-bit number.
                    out = static_cast<std::int32_t>(ToUint32(x) >> (r & 31));
                    break;
            }
            Push(Value::Number(out));
            break;
        }
        case ActionCode::PushDuplicate: {
            Value t = Top();
            Push(std::move(t));
            break;
        }
        case ActionCode::StackSwap: {
            Value b = Pop();
            Value x = Pop();
            Push(std::move(b));
            Push(std::move(x));
            break;
        }
        case ActionCode::StoreRegister: {
            PayloadReader r(a.payload);
            auto reg = r.U8();
            if (Value* slot = reg ? Register(act, *reg) : nullptr) {
                *slot = Top();
            }
            break;
        }
        case ActionCode::TypeOf:
            Push(Value::Str(TypeOf(Pop())));
            break;
        case ActionCode::TargetPath: {
            Value t = Pop();
            Object* o = t.AsObject();
            Clip* c = o ? o->AsClip() : nullptr;
            Push(c ? Value::Str(DotPath(*c)) : Value());
            break;
        }
        case ActionCode::DefineLocal: {
            Value value = Pop();
            String name = ToString(Pop(), v);
            Object* scope = act.locals ? act.locals : (act.targetValid ? act.target : nullptr);
            if (scope) {
                SetMember(scope, name, value, v);
            }
            break;
        }
        case ActionCode::DefineLocal2: {
            String name = ToString(Pop(), v);
            Object* scope = act.locals ? act.locals : (act.targetValid ? act.target : nullptr);
            if (scope && !HasMember(scope, name, v)) {
                SetMember(scope, name, Value(), v);
            }
            break;
        }
        case ActionCode::Delete: {
            String name = ToString(Pop(), v);
            Value obj = Pop();
            Object* o = obj.AsObject();
            Push(Value::Bool(o && DeleteMember(o, name, v)));
            break;
        }
        case ActionCode::Delete2: {
            String name = ToString(Pop(), v);
            if (name.find_first_of(u":./") != String::npos) {
                Object* owner = nullptr;
                String member;
                Push(Value::Bool(ResolveVariableOwner(act, name, owner, member) &&
                                 DeleteMember(owner, member, v)));
                break;
            }
            bool deleted = false;
            for (const Scope* s = act.scope.get(); s && !deleted; s = s->parent.get()) {
                if (HasMember(s->object, name, v)) {
                    deleted = DeleteMember(s->object, name, v);
                    Push(Value::Bool(deleted));
                    return;
                }
            }
            Object* t = act.targetValid ? act.target : nullptr;
            if (t && HasMember(t, name, v)) {
                Push(Value::Bool(DeleteMember(t, name, v)));
                return;
            }
            Push(Value::Bool(DeleteMember(globals_.global, name, v)));
            break;
        }
        case ActionCode::Enumerate:
        case ActionCode::Enumerate2: {
            Value subject = Pop();
            Object* o = nullptr;
            if (a.Code() == ActionCode::Enumerate) {
                o = GetVariable(act, ToString(subject, v)).AsObject();
            } else {
                o = subject.AsObject();
            }
            Push(Value::Null());
            if (o) {
                // The loop pops from the top: push so the most recent member comes first.
                std::vector<String> keys = EnumerateKeys(o, v);
                for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
                    Push(Value::Str(std::move(*it)));
                }
            }
            break;
        }
        case ActionCode::GetMember: {
            Value name = Pop();
            Value obj = Pop();
            String text;
            Push(GetMember(obj, NameOf(name, v, text), v));
            break;
        }
        case ActionCode::SetMember: {
            Value value = Pop();
            Value name = Pop();
            Value obj = Pop();
            if (Object* o = obj.AsObject()) {
                String text;
                SetMember(o, NameOf(name, v, text), value, v);
            }
            break;
        }
        case ActionCode::InitArray: {
            double n = ToNumber(Pop(), v);
            ArrayObject* array = NewArray();
            std::size_t available = stack_.size() - std::min(stack_.size(), act.stackBase);
            std::size_t count = CountOf(n, available);
            for (std::size_t i = 0; i < count; ++i) {
                array->SetAt(vm_, i, Pop());
            }
            Push(Value::Obj(array));
            break;
        }
        case ActionCode::InitObject: {
            double n = ToNumber(Pop(), v);
            Object* obj = NewObject();
            std::size_t available = (stack_.size() - std::min(stack_.size(), act.stackBase)) / 2;
            std::size_t count = CountOf(n, available);
            for (std::size_t i = 0; i < count; ++i) {
                Value value = Pop();
                String name = ToString(Pop(), v);
                SetMember(obj, name, value, v);
            }
            Push(Value::Obj(obj));
            break;
        }
        case ActionCode::CallFunction: {
            String name = ToString(Pop(), v);
            double n = ToNumber(Pop(), v);
            std::size_t available = stack_.size() - std::min(stack_.size(), act.stackBase);
            std::size_t count = CountOf(n, available);
            std::vector<Value> args(count);
            for (std::size_t i = 0; i < count; ++i) {
                args[i] = Pop();
            }
            Value fn = GetVariable(act, name);
            Object* f = fn.AsObject();
            if (f && IsFunction(fn)) {
                // Built-ins called by name (watch, getNextHighestDepth) act on the timeline.
                Value self = dynamic_cast<NativeFunction*>(f)
                                 ? Value::Obj(act.targetValid ? act.target : act.base)
                                 : Value();
                Push(CallFunction(f, self, args, v));
            } else {
                Push(Value());
            }
            break;
        }
        case ActionCode::CallMethod:
        case ActionCode::NewMethod: {
            Value name = Pop();
            Value objValue = Pop();
            double n = ToNumber(Pop(), v);
            std::size_t available = stack_.size() - std::min(stack_.size(), act.stackBase);
            std::size_t count = CountOf(n, available);
            std::vector<Value> args(count);
            for (std::size_t i = 0; i < count; ++i) {
                args[i] = Pop();
            }
            String method = name.IsUndefined() ? String() : ToString(name, v);
            Object* self = ToObject(objValue, v);
            Value fn;
            Object* home = nullptr;
            Value thisValue = objValue.IsObject() ? objValue : Value::Obj(self);
            if (method.empty()) {
                fn = objValue;
                thisValue = Value();
            } else if (self) {
                if (auto* super = dynamic_cast<SuperObject*>(self)) {
                    fn = GetMember(super->Proto(), method, v, &home);
                    thisValue = super->thisValue();
                } else {
                    fn = GetMember(self, method, v, &home);
                }
            }
            Object* f = fn.AsObject();
            if (a.Code() == ActionCode::NewMethod) {
                Push(f && IsFunction(fn) ? Construct(f, args, v) : Value());
            } else if (f && IsFunction(fn)) {
                Push(CallFunction(f, thisValue, args, v, home));
            } else {
                Push(Value());
            }
            break;
        }
        case ActionCode::NewObject: {
            String name = ToString(Pop(), v);
            double n = ToNumber(Pop(), v);
            std::size_t available = stack_.size() - std::min(stack_.size(), act.stackBase);
            std::size_t count = CountOf(n, available);
            std::vector<Value> args(count);
            for (std::size_t i = 0; i < count; ++i) {
                args[i] = Pop();
            }
            Value ctor = GetVariable(act, name);
            Push(IsFunction(ctor) ? Construct(ctor.AsObject(), args, v) : Value());
            break;
        }
        case ActionCode::Return:
            result = Pop();
            returned = true;
            break;
        case ActionCode::DefineFunction:
        case ActionCode::DefineFunction2:
            DefineFunction(act, a, a.Code() == ActionCode::DefineFunction2, pc);
            break;
        case ActionCode::With: {
            PayloadReader r(a.payload);
            std::size_t size = r.U16().value_or(0);
            Value subject = Pop();
            Object* o = ToObject(subject, v);
            std::size_t end = std::min(pc + size, act.end);
            if (!o || act.withs.size() >= kMaxWithDepth) {
                pc = end;  // Flash skips the block for a non-object
                break;
            }
            act.withs.push_back(WithBlock{pc, end, act.scope});
            act.scope = std::make_shared<const Scope>(Scope{o, act.scope});
            break;
        }
        case ActionCode::InstanceOf: {
            Value ctor = Pop();
            Value obj = Pop();
            Object* o = obj.AsObject();
            Object* c = ctor.AsObject();
            Push(Value::Bool(o && c && InstanceOf(o, c, v)));
            break;
        }
        case ActionCode::Extends: {
            Value superclass = Pop();
            Value subclass = Pop();
            Object* sup = superclass.AsObject();
            Object* sub = subclass.AsObject();
            if (!sup || !sub) {
                break;
            }
            Object* proto = NewObject();
            Value superProto = GetMember(sup, u"prototype", v);
            proto->SetProto(superProto.AsObject());
            vm_.Define(proto, u"__constructor__", Value::Obj(sup), kDontEnum);
            if (v < 7) {
                vm_.Define(proto, u"constructor", Value::Obj(sup), kDontEnum);
            }
            SetMember(sub, u"prototype", Value::Obj(proto), v);
            break;
        }
        case ActionCode::CastOp: {
            Value obj = Pop();
            Value ctor = Pop();
            Object* o = obj.AsObject();
            Object* c = ctor.AsObject();
            Push(o && c && InstanceOf(o, c, v) ? obj : Value::Null());
            break;
        }
        case ActionCode::ImplementsOp: {
            Value ctor = Pop();
            double n = ToNumber(Pop(), v);
            std::size_t available = stack_.size() - std::min(stack_.size(), act.stackBase);
            std::size_t count = CountOf(n, available);
            std::vector<Object*> interfaces;
            for (std::size_t i = 0; i < count; ++i) {
                if (Object* o = Pop().AsObject()) {
                    interfaces.push_back(o);
                }
            }
            Object* c = ctor.AsObject();
            Object* proto = c ? GetMember(c, u"prototype", v).AsObject() : nullptr;
            if (proto) {
                proto->Interfaces() = std::move(interfaces);
            }
            break;
        }
        case ActionCode::Throw:
            throw ScriptThrow{Pop()};
        case ActionCode::Try: {
            PayloadReader r(a.payload);
            auto flags = r.U8();
            auto trySize = r.U16();
            auto catchSize = r.U16();
            auto finallySize = r.U16();
            if (!flags || !trySize || !catchSize || !finallySize) {
                break;
            }
            TryHandler h;
            h.hasCatch = (*flags & 1) != 0;
            h.hasFinally = (*flags & 2) != 0;
            h.catchInRegister = (*flags & 4) != 0;
            if (h.catchInRegister) {
                h.reg = r.U8().value_or(0);
            } else {
                h.name = DecodeString(r.CString().value_or(""), v);
            }
            h.start = pc;
            h.tryEnd = std::min(pc + *trySize, act.end);
            h.catchEnd = std::min(h.tryEnd + *catchSize, act.end);
            h.finallyEnd = std::min(h.catchEnd + *finallySize, act.end);
            h.stackDepth = stack_.size();
            if (act.tries.size() >= kMaxWithDepth) {
                throw AbortRun{u"too many nested try blocks"};
            }
            act.tries.push_back(std::move(h));
            break;
        }
        default:
            break;  // unknown actions are skipped by their length
    }
}

// tellTarget: "" (and undefined before SWF 7) goes back to the code's own timeline; a target
// that names no clip is the level's root.
void Interpreter::SetTargetTo(Activation& act, const Value& t) {
    const int v = act.version;
    act.targetMissing = false;
    if (auto* o = t.AsObject(); o && o->AsClip()) {
        act.target = o;
        act.targetValid = true;
        return;
    }
    String path = t.IsUndefined() ? String() : ToString(t, v);
    if (path.empty() && (!t.IsUndefined() || v < 7)) {
        act.target = act.base;
        act.targetValid = true;
        return;
    }
    Clip* base = act.base ? act.base->AsClip() : nullptr;
    Clip* c = path.empty() ? nullptr : ResolveTargetPath(path, base, v);
    if (c) {
        act.target = ObjectFor(c);
        act.targetValid = true;
    } else if (base) {
        Clip* root = base;
        for (int guard = 0; root->Parent() && guard < 100000; ++guard) {
            root = root->Parent();
        }
        act.target = ObjectFor(root);
        act.targetValid = true;
        act.targetMissing = v >= 7;
    } else {
        act.target = act.base;
        act.targetValid = false;
    }
}

// ---------------------------------------------------------------------------------------
// Functions

void Interpreter::DefineFunction(Activation& act, const Action& a, bool v2, std::size_t& pc) {
    const int v = act.version;
    PayloadReader r(a.payload);
    auto fn = std::make_unique<ScriptFunction>(globals_.functionProto);
    auto name = r.CString();
    auto paramCount = r.U16();
    if (!name || !paramCount) {
        return;
    }
    fn->name = DecodeString(*name, v);
    fn->v2 = v2;
    if (v2) {
        auto regs = r.U8();
        auto flags = r.U16();
        if (!regs || !flags) {
            return;
        }
        fn->registerCount = *regs;
        fn->flags = *flags;
    }
    for (int i = 0; i < *paramCount; ++i) {
        FunctionParam p;
        if (v2) {
            auto reg = r.U8();
            if (!reg) {
                return;
            }
            p.reg = *reg;
        }
        auto pname = r.CString();
        if (!pname) {
            return;
        }
        p.name = DecodeString(*pname, v);
        fn->params.push_back(std::move(p));
    }
    auto codeSize = r.U16();
    if (!codeSize) {
        return;
    }
    fn->code = act.code;
    fn->begin = pc;
    fn->end = std::min(pc + *codeSize, act.end);
    pc = fn->end;
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
    if (++callDepth_ > vm_.limits().maxCallDepth) {
        --callDepth_;
        throw AbortRun{u"recursion too deep"};
    }
    struct Guard {
        int& depth;
        ~Guard() { --depth; }
    } guard{callDepth_};
    return f->Invoke(*this, thisValue, args, version, false, home);
}

Value Interpreter::Construct(Object* function, std::span<const Value> args, int version) {
    auto* f = dynamic_cast<FunctionObject*>(function);
    if (!f) {
        return Value();
    }
    if (++callDepth_ > vm_.limits().maxCallDepth) {
        --callDepth_;
        throw AbortRun{u"recursion too deep"};
    }
    struct Guard {
        int& depth;
        ~Guard() { --depth; }
    } guard{callDepth_};
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
            act.argumentsValue = locals->Arguments(vm_);
            preload(kPreloadArguments, act.argumentsValue);
        }
        if (fn.flags & kPreloadSuper) {
            preload(kPreloadSuper, Value::Obj(locals->Super(vm_)));
        }
        if (fn.flags & kPreloadRoot) {
            Clip* c = fn.base ? fn.base->AsClip() : nullptr;
            Value root;
            if (c) {
                Clip* r = c;
                int guard = 0;
                while (r->Parent() && guard++ < 10000) {
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
        locals->offerThis = !(fn.flags & kSuppressThis) && !(fn.flags & kPreloadThis);
        locals->offerArguments =
            !(fn.flags & kSuppressArguments) && !(fn.flags & kPreloadArguments);
        locals->offerSuper = !(fn.flags & kSuppressSuper) && !(fn.flags & kPreloadSuper);
        for (std::size_t i = 0; i < fn.params.size(); ++i) {
            const FunctionParam& p = fn.params[i];
            Value arg = i < args.size() ? args[i] : Value();
            if (p.reg != 0 && p.reg < act.registers.size()) {
                act.registers[p.reg] = arg;
            } else if (p.reg == 0) {
                vm_.Define(locals, p.name, arg);
            }
        }
    } else {
        locals->offerThis = true;
        locals->offerArguments = true;
        locals->offerSuper = true;
        for (std::size_t i = 0; i < fn.params.size(); ++i) {
            vm_.Define(locals, fn.params[i].name, i < args.size() ? args[i] : Value());
        }
    }

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

// ---------------------------------------------------------------------------------------
// Members

Value Interpreter::GetMember(const Value& object, StringView name, int version) {
    if (Object* o = object.AsObject()) {
        return GetMember(o, name, version);
    }
    if (object.IsNullish()) {
        return Value();
    }
    Object* boxed = ToObject(object, version);
    if (!boxed) {
        return Value();
    }
    return GetMember(boxed, name, version);
}

Value Interpreter::GetMember(Object* object, StringView name, int version, Object** foundOn) {
    if (!object) {
        return Value();
    }
    const bool cs = version >= 7;
    if (NamesEqual(name, u"__proto__", version)) {
        if (const Member* m = object->Members().Find(u"__proto__", cs); m && !m->IsAccessor()) {
            return m->value;
        }
        Object* proto = object->Proto();
        if (proto && dynamic_cast<SuperObject*>(object)) {
            proto = proto->Proto();  // super stands for its prototype object
        }
        return proto ? Value::Obj(proto) : Value();
    }
    Value found;
    if (FindMember(object, name, version, found, foundOn)) {
        return found;
    }
    // __resolve, for names that are nowhere (SWF 6 and later)
    if (version >= 6 && !NamesEqual(name, u"__resolve", version)) {
        Object* r = object;
        for (int depth = 0; r && depth < kMaxProtoDepth; ++depth) {
            if (const Member* m = r->Members().Find(u"__resolve", cs); m && !m->IsAccessor()) {
                Value fn = m->value;
                if (IsFunction(fn)) {
                    Value arg = Value::Str(String(name));
                    return CallFunction(fn.AsObject(), Value::Obj(object), std::span(&arg, 1),
                                        version);
                }
                // A plain object stops the search; other values are passed over.
                if (fn.IsObject() && !fn.AsObject()->AsClip()) {
                    break;
                }
            }
            r = r->Proto();
        }
    }
    return Value();
}

bool Interpreter::FindMember(Object* object, StringView name, int version, Value& out,
                             Object** foundOn) {
    const bool cs = version >= 7;
    Object* o = object;
    for (int depth = 0; o && depth < kMaxProtoDepth; ++depth) {
        if (const Member* m = o->Members().Find(name, cs); m && VisibleTo(m->attrs, version)) {
            if (foundOn) {
                *foundOn = o;
            }
            if (m->getter) {
                Object* getter = m->getter;
                out = CallFunction(getter, Value::Obj(object), {}, version);
            } else {
                out = m->value;
            }
            return true;
        }
        if (auto native = o->GetNative(vm_, name, version)) {
            if (foundOn) {
                *foundOn = o;
            }
            out = std::move(*native);
            return true;
        }
        if (depth == 0 && o->Class() == ObjectClass::Clip) {
            if (Clip* c = o->AsClip()) {
                if (Clip* child = c->ChildByName(name, cs)) {
                    out = Value::Obj(ObjectFor(child));
                    return true;
                }
            }
        }
        o = o->Proto();
    }
    if (o) {
        throw AbortRun{u"prototype chain too long"};  // a cycle: Flash stops the script
    }
    return false;
}

bool Interpreter::HasMember(Object* object, StringView name, int version) {
    const bool cs = version >= 7;
    Object* o = object;
    for (int depth = 0; o && depth < kMaxProtoDepth; ++depth) {
        if (o->GetNative(vm_, name, version)) {
            return true;
        }
        if (const Member* m = o->Members().Find(name, cs); m && VisibleTo(m->attrs, version)) {
            return true;
        }
        if (depth == 0 && o->Class() == ObjectClass::Clip) {
            if (Clip* c = o->AsClip(); c && c->ChildByName(name, cs)) {
                return true;
            }
        }
        o = o->Proto();
    }
    return false;
}

void Interpreter::SetMember(Object* object, StringView name, const Value& value, int version) {
    if (!object) {
        return;
    }
    if (!object->Watchers().empty() && watchDepth_ < kMaxWatchDepth) {
        for (const Object::Watcher& w : object->Watchers()) {
            if (!NamesEqual(w.name, name, version)) {
                continue;
            }
            // The watcher sees the old and new values and decides what is stored.
            Object* callback = w.callback;
            Value args[4] = {Value::Str(w.name), Value(), value, w.userData};
            if (const Member* m = object->Members().Find(name, version >= 7);
                m && !m->IsAccessor()) {
                args[1] = m->value;
            }
            ++watchDepth_;
            Value stored;
            try {
                stored = CallFunction(callback, Value::Obj(object), args, version);
            } catch (const ScriptThrow&) {
                --watchDepth_;
                SetMemberUnwatched(object, name, Value(), version);
                throw;
            } catch (...) {
                --watchDepth_;
                throw;
            }
            --watchDepth_;
            SetMemberUnwatched(object, name, stored, version);
            return;
        }
    }
    SetMemberUnwatched(object, name, value, version);
}

void Interpreter::SetMemberUnwatched(Object* object, StringView name, const Value& value,
                                     int version) {
    const bool cs = version >= 7;
    if (name.empty()) {
        return;  // Flash ignores members without a name
    }
    if (NamesEqual(name, u"__proto__", version)) {
        if (Object* p = value.AsObject()) {
            object->SetProto(p);
        } else if (value.IsNull() || value.IsUndefined()) {
            object->SetProto(nullptr);
        }
        return;
    }
    Member* own = object->Members().Find(name, cs);
    if (!(own && own->IsAccessor()) && object->SetNative(vm_, name, value, version)) {
        return;
    }
    if (Member* m = own; m && VisibleTo(m->attrs, version)) {
        if (m->IsAccessor()) {
            if (Object* setter = m->setter) {
                Value arg = value;
                CallFunction(setter, Value::Obj(object), std::span(&arg, 1), version);
            }
            return;
        }
        if (m->attrs & kReadOnly) {
            return;
        }
        m->value = value;
        return;
    }
    // An accessor on a prototype takes the assignment.
    Object* o = object->Proto();
    for (int depth = 0; o && depth < kMaxProtoDepth; ++depth) {
        if (const Member* m = o->Members().Find(name, cs); m && VisibleTo(m->attrs, version)) {
            if (m->IsAccessor()) {
                if (Object* setter = m->setter) {
                    Value arg = value;
                    CallFunction(setter, Value::Obj(object), std::span(&arg, 1), version);
                }
                return;
            }
            break;
        }
        o = o->Proto();
    }
    if (Member* m = object->Members().Find(name, cs)) {
        // hidden from this version: replace it
        m->value = value;
        m->attrs = 0;
        return;
    }
    object->Members().Add(name, value);
}

bool Interpreter::DeleteMember(Object* object, StringView name, int version) {
    Member* m = object->Members().Find(name, version >= 7);
    if (!m) {
        if (auto* array = dynamic_cast<ArrayObject*>(object)) {
            if (auto index = ArrayIndex(name)) {
                return array->Erase(*index);
            }
        }
        return false;
    }
    if (m->attrs & kDontDelete) {
        return false;
    }
    return object->Members().Remove(m);
}

std::vector<String> Interpreter::EnumerateKeys(Object* object, int version) {
    std::vector<String> keys;
    std::vector<String> seen;
    auto add = [&](const String& k) {
        for (const String& s : seen) {
            if (NamesEqual(s, k, version)) {
                return;
            }
        }
        seen.push_back(k);
        keys.push_back(k);
    };
    Object* o = object;
    for (int depth = 0; o && depth < kMaxProtoDepth; ++depth) {
        std::vector<String> native;
        o->NativeKeys(vm_, native);
        std::vector<String> own;
        o->Members().ForEach([&](const Member& m) {
            if (!(m.attrs & kDontEnum) && VisibleTo(m.attrs, version)) {
                own.push_back(m.name);
            } else {
                seen.push_back(m.name);  // hides the same name further up
            }
        });
        // Most recent first, as Flash lists them.
        for (auto it = own.rbegin(); it != own.rend(); ++it) {
            add(*it);
        }
        for (auto it = native.rbegin(); it != native.rend(); ++it) {
            add(*it);
        }
        o = o->Proto();
    }
    return keys;
}

// ---------------------------------------------------------------------------------------
// Conversions

Value Interpreter::ToPrimitive(const Value& value, int version, bool preferString) {
    Object* o = value.AsObject();
    if (!o) {
        return value;
    }
    if (preferString) {
        return Value::Str(ToString(value, version));
    }
    // valueOf, and toString when valueOf gives an object; nothing when there is no valueOf.
    Value fn = GetMember(o, u"valueOf", version);
    if (!IsFunction(fn)) {
        return Value();
    }
    Value r = CallFunction(fn.AsObject(), value, {}, version);
    if (r.IsObject()) {
        return Value::Str(ToString(value, version));
    }
    return r;
}

double Interpreter::ToNumber(const Value& value, int version) {
    if (value.IsNumber()) {
        return value.AsNumber();
    }
    if (value.IsObject()) {
        Value p = ToPrimitive(value, version);
        if (p.IsObject()) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        return PrimitiveToNumber(p, version);
    }
    return PrimitiveToNumber(value, version);
}

String Interpreter::ToString(const Value& value, int version) {
    if (value.IsString()) {
        return value.AsString();
    }
    if (Object* o = value.AsObject()) {
        if (o->Class() == ObjectClass::Clip) {
            if (Clip* c = o->AsClip()) {
                return DotPath(*c);
            }
        }
        // toString; an object without one, or one that gives an object, prints its type.
        Value fn = GetMember(o, u"toString", version);
        if (IsFunction(fn)) {
            Value r = CallFunction(fn.AsObject(), value, {}, version);
            if (!r.IsObject()) {
                return PrimitiveToString(r, version);
            }
        }
        return IsFunction(value) ? u"[type Function]" : u"[type Object]";
    }
    return PrimitiveToString(value, version);
}

Object* Interpreter::ToObject(const Value& value, int version) {
    (void)version;
    switch (value.type()) {
        case Type::Object:
            return value.AsObject();
        case Type::Str: {
            // A String object's length is an ordinary member that for..in does not list.
            Object* o = vm_.New<Object>(globals_.stringProto, ObjectClass::BoxedString);
            o->SetPrimitive(value);
            o->Members().Add(u"length", Value::Number(static_cast<double>(value.AsString().size())),
                             kDontEnum | kDontDelete);
            return o;
        }
        case Type::Number: {
            Object* o = vm_.New<Object>(globals_.numberProto, ObjectClass::BoxedNumber);
            o->SetPrimitive(value);
            return o;
        }
        case Type::Boolean: {
            Object* o = vm_.New<Object>(globals_.booleanProto, ObjectClass::BoxedBoolean);
            o->SetPrimitive(value);
            return o;
        }
        default:
            return nullptr;
    }
}

bool Interpreter::IsFunction(const Value& value) const {
    Object* o = value.AsObject();
    return o && (o->Class() == ObjectClass::Function || dynamic_cast<SuperObject*>(o));
}

bool Interpreter::InstanceOf(Object* object, Object* constructor, int version) {
    Value protoValue = GetMember(constructor, u"prototype", version);
    Object* proto = protoValue.AsObject();
    if (!proto) {
        return false;
    }
    std::vector<Object*> work;
    Object* p = object->Proto();
    for (int depth = 0; p && depth < kMaxProtoDepth; ++depth) {
        if (p == proto) {
            return true;
        }
        // interfaces of the classes in the chain
        work.assign(p->Interfaces().begin(), p->Interfaces().end());
        for (std::size_t i = 0; i < work.size() && i < 1024; ++i) {
            Object* iface = work[i];
            if (iface == constructor) {
                return true;
            }
            Object* ip = GetMember(iface, u"prototype", version).AsObject();
            if (ip) {
                if (ip == proto) {
                    return true;
                }
                for (Object* more : ip->Interfaces()) {
                    work.push_back(more);
                }
            }
        }
        p = p->Proto();
    }
    return false;
}

bool Interpreter::StrictEquals(const Value& a, const Value& b) const {
    if (a.type() != b.type()) {
        return false;
    }
    switch (a.type()) {
        case Type::Undefined:
        case Type::Null:
            return true;
        case Type::Boolean:
            return a.AsBool() == b.AsBool();
        case Type::Number:
            return a.AsNumber() == b.AsNumber();
        case Type::Str:
            return a.AsString() == b.AsString();
        case Type::Object:
            return a.AsObject() == b.AsObject();
    }
    return false;
}

bool Interpreter::LooseEquals(const Value& a, const Value& b, int version) {
    if (version <= 5) {
        // SWF 5 compares objects by what valueOf gives, and NaN equals NaN.
        if (a.IsObject() || b.IsObject()) {
            auto valueOf = [&](const Value& v) -> Value {
                Object* o = v.AsObject();
                if (!o) {
                    return v;
                }
                Value fn = GetMember(o, u"valueOf", version);
                return IsFunction(fn) ? CallFunction(fn.AsObject(), v, {}, version) : Value();
            };
            Value x = valueOf(a);
            Value y = valueOf(b);
            if (x.IsObject() && y.IsObject()) {
                return x.AsObject() == y.AsObject();
            }
            if (x.IsObject() || y.IsObject()) {
                return false;
            }
            return LooseEquals(x, y, version);
        }
        if (a.IsNumber() && b.IsNumber() && std::isnan(a.AsNumber()) && std::isnan(b.AsNumber())) {
            return true;
        }
    }
    if (a.type() == b.type()) {
        return StrictEquals(a, b);
    }
    if (a.IsNullish() && b.IsNullish()) {
        return true;
    }
    if (a.IsNullish() || b.IsNullish()) {
        return false;
    }
    if (a.IsNumber() && b.IsString()) {
        return a.AsNumber() == StringToNumber(b.AsString(), version);
    }
    if (a.IsString() && b.IsNumber()) {
        return StringToNumber(a.AsString(), version) == b.AsNumber();
    }
    if (a.IsBool()) {
        return LooseEquals(Value::Number(a.AsBool() ? 1 : 0), b, version);
    }
    if (b.IsBool()) {
        return LooseEquals(a, Value::Number(b.AsBool() ? 1 : 0), version);
    }
    if (a.IsObject() && !b.IsObject()) {
        Value p = ToPrimitive(a, version);
        return !p.IsObject() && LooseEquals(p, b, version);
    }
    if (b.IsObject() && !a.IsObject()) {
        Value p = ToPrimitive(b, version);
        return !p.IsObject() && LooseEquals(a, p, version);
    }
    return false;
}

Value Interpreter::LessThan(const Value& a, const Value& b, int version, bool objectsFalse) {
    // Comparisons take valueOf alone. An operand that stays an object makes Less2 false at
    // once (the other is not converted) and other comparisons NaN.
    bool stuck = false;
    auto valueOf = [&](const Value& v) -> Value {
        Object* o = v.AsObject();
        if (!o) {
            return v;
        }
        Value fn = GetMember(o, u"valueOf", version);
        Value r = IsFunction(fn) ? CallFunction(fn.AsObject(), v, {}, version) : Value();
        if (r.IsObject()) {
            stuck = stuck || o->Class() != ObjectClass::Clip;  // clips compare as NaN
            return Value::Number(std::numeric_limits<double>::quiet_NaN());
        }
        return r;
    };
    Value x = valueOf(a);
    if (stuck && objectsFalse) {
        return Value::Bool(false);
    }
    Value y = valueOf(b);
    if (stuck && objectsFalse) {
        return Value::Bool(false);
    }
    if (x.IsString() && y.IsString()) {
        return Value::Bool(x.AsString() < y.AsString());
    }
    double p = ToNumber(x, version);
    double q = ToNumber(y, version);
    if (std::isnan(p) || std::isnan(q)) {
        return Value();
    }
    return Value::Bool(p < q);
}

String Interpreter::TypeOf(const Value& value) {
    switch (value.type()) {
        case Type::Undefined:
            return u"undefined";
        case Type::Null:
            return u"null";
        case Type::Boolean:
            return u"boolean";
        case Type::Number:
            return u"number";
        case Type::Str:
            return u"string";
        case Type::Object:
            break;
    }
    Object* o = value.AsObject();
    if (IsFunction(value)) {
        return u"function";
    }
    if (o && o->Class() == ObjectClass::Clip) {
        Clip* c = o->AsClip();
        if (!c || c->Kind() == ClipKind::MovieClip) {
            return u"movieclip";
        }
    }
    return u"object";
}

// ---------------------------------------------------------------------------------------
// Objects

Object* Interpreter::NewObject() {
    return vm_.New<Object>(globals_.objectProto);
}

ArrayObject* Interpreter::NewArray() {
    return vm_.New<ArrayObject>(globals_.arrayProto);
}

Object* Interpreter::ObjectFor(Clip* clip) {
    return clip ? vm_.ObjectOf(*clip) : nullptr;
}

}  // namespace flash::avm1
