#include "flash/avm1/vm.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <unordered_map>

#include "flash/avm1/convert.h"
#include "globals.h"
#include "heap.h"
#include "interpreter.h"
#include "timers.h"

namespace flash::avm1 {
namespace {

// Lock-free, so that a signal handler may set it.
std::atomic<bool> g_scriptsInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

}  // namespace

void InterruptScripts() {
    g_scriptsInterrupted.store(true, std::memory_order_relaxed);
}

void ResumeScripts() {
    g_scriptsInterrupted.store(false, std::memory_order_relaxed);
}

bool ScriptsInterrupted() {
    return g_scriptsInterrupted.load(std::memory_order_relaxed);
}

struct ClipRegistry {
    std::unordered_map<Clip*, ClipObject*> objects;
};

Interpreter& InterpreterOf(Vm& vm) {
    return *vm.interpreter_;
}
Timers& TimersOf(Vm& vm) {
    return *vm.timers_;
}

Vm::Vm(Host& host, Limits limits)
    : host_(host),
      limits_(limits),
      heap_(std::make_unique<Heap>(limits.maxObjects)),
      globals_(std::make_unique<Globals>(*this)),
      interpreter_(std::make_unique<Interpreter>(*this, *globals_)),
      timers_(std::make_unique<Timers>(*this)),
      clips_(std::make_unique<ClipRegistry>()) {
    globals_->Install(*interpreter_);
}

Vm::~Vm() = default;

void Vm::SetScriptLimits(int maxCallDepth, double timeoutMs) {
    // Calls nest on the machine's own stack: a movie may not ask for more than it holds.
    constexpr int kDeepestCalls = 2000;
    if (maxCallDepth > 0) {
        limits_.maxCallDepth = std::min(maxCallDepth, kDeepestCalls);
    }
    if (timeoutMs > 0) {
        limits_.scriptTimeoutMs = timeoutMs;
    }
}

Object* Vm::Adopt(std::unique_ptr<Object> object) {
    Object* raw = object.get();
    if (heap_->size() >= limits_.maxObjects && !interpreter_->Running()) {
        // Called by the host between runs: make room rather than fail.
        Collect();
        heap_->Adopt(std::move(object), true);
        return raw;
    }
    if (!heap_->Adopt(std::move(object))) {
        throw AbortRun{u"out of script memory"};
    }
    return raw;
}

// Entry points the host may call between runs must not let script errors escape: inside a
// run they travel on to the run's handler.
template <typename F, typename R>
R Vm::Guarded(F&& f, R fallback) {
    if (interpreter_->Running()) {
        return f();
    }
    try {
        return f();
    } catch (const ScriptThrow&) {
        return fallback;
    } catch (const AbortRun& a) {
        host_.ScriptError(a.reason);
        return fallback;
    }
}

RunResult Vm::Run(const ActionBytes& code, Clip* target, int version) {
    if (!code) {
        return RunResult::Done;
    }
    Object* targetObject = target ? ObjectOf(*target) : nullptr;
    RunResult r = interpreter_->RunTop(code, 0, code->size(), targetObject, version);
    MaybeCollect();
    return r;
}

RunResult Vm::Run(std::span<const std::uint8_t> code, Clip* target, int version) {
    return Run(std::make_shared<const std::vector<std::uint8_t>>(code.begin(), code.end()), target,
               version);
}

Value Vm::CallMethod(Object* object, StringView name, std::span<const Value> args, int version) {
    if (!object) {
        return Value();
    }
    Value fn;
    try {
        fn = interpreter_->GetMember(object, name, version);
    } catch (const ScriptThrow&) {
        return Value();
    } catch (const AbortRun& a) {
        host_.ScriptError(a.reason);
        return Value();
    }
    if (!interpreter_->IsFunction(fn)) {
        return Value();
    }
    Value r = interpreter_->CallGuarded(fn.AsObject(), Value::Obj(object), args, version);
    MaybeCollect();
    return r;
}

Value Vm::Call(const Value& function, const Value& thisValue, std::span<const Value> args,
               int version) {
    if (!interpreter_->IsFunction(function)) {
        return Value();
    }
    Value r = interpreter_->CallGuarded(function.AsObject(), thisValue, args, version);
    MaybeCollect();
    return r;
}

bool Vm::IsFunction(const Value& value) const {
    return interpreter_->IsFunction(value);
}

Object* Vm::ObjectOf(Clip& clip) {
    auto it = clips_->objects.find(&clip);
    if (it != clips_->objects.end()) {
        return it->second;
    }
    Object* proto = globals_->movieClipProto;
    if (clip.Kind() == ClipKind::Button) {
        proto = globals_->buttonProto;
    } else if (clip.Kind() == ClipKind::TextField) {
        proto = globals_->textFieldProto;
    }
    // The display list bounds these, so they never fail for a full heap.
    auto object = std::make_unique<ClipObject>(proto, &clip);
    ClipObject* raw = object.get();
    heap_->Adopt(std::move(object), true);
    clips_->objects.emplace(&clip, raw);
    return raw;
}

void Vm::ClipRemoved(Clip& clip) {
    auto it = clips_->objects.find(&clip);
    if (it == clips_->objects.end()) {
        return;
    }
    it->second->Detach();
    clips_->objects.erase(it);
}

std::optional<Value> Vm::GetVariable(StringView path, Clip* base) {
    if (!base) {
        base = host_.Level(0);
    }
    if (!base) {
        return std::nullopt;
    }
    Activation act;
    act.version = base->SwfVersion();
    act.target = ObjectOf(*base);
    act.base = act.target;
    try {
        bool found = false;
        Value v;
        std::size_t split = path.find_last_of(u":./");
        if (split == StringView::npos) {
            v = interpreter_->LookupName(act, path, &found);
            return found ? std::optional<Value>(v) : std::nullopt;
        }
        return interpreter_->GetVariable(act, path);
    } catch (const ScriptThrow&) {
        return std::nullopt;
    } catch (const AbortRun& a) {
        host_.ScriptError(a.reason);
        return std::nullopt;
    }
}

bool Vm::SetVariable(StringView path, const Value& value, Clip* base) {
    if (!base) {
        base = host_.Level(0);
    }
    if (!base) {
        return false;
    }
    Activation act;
    act.version = base->SwfVersion();
    act.target = ObjectOf(*base);
    act.base = act.target;
    try {
        interpreter_->SetVariable(act, path, value);
    } catch (const ScriptThrow&) {
        return false;
    } catch (const AbortRun& a) {
        host_.ScriptError(a.reason);
        return false;
    }
    return true;
}

Clip* Vm::ResolveTarget(StringView path, Clip* base, int version) {
    try {
        return interpreter_->ResolveTargetPath(path, base, version);
    } catch (...) {
        return nullptr;
    }
}

String Vm::DotPath(Clip& clip) {
    return interpreter_->DotPath(clip);
}
String Vm::SlashPath(Clip& clip) {
    return interpreter_->SlashPath(clip);
}

Value Vm::ToPrimitive(const Value& value, int version, bool preferString) {
    return Guarded([&] { return interpreter_->ToPrimitive(value, version, preferString); },
                   Value());
}
double Vm::ToNumber(const Value& value, int version) {
    return Guarded([&] { return interpreter_->ToNumber(value, version); },
                   std::numeric_limits<double>::quiet_NaN());
}
String Vm::ToString(const Value& value, int version) {
    return Guarded([&] { return interpreter_->ToString(value, version); }, String());
}

Object* Vm::NewObject() {
    return interpreter_->NewObject();
}

Object* Vm::NewArray(std::span<const Value> elements) {
    ArrayObject* a = interpreter_->NewArray();
    for (std::size_t i = 0; i < elements.size(); ++i) {
        a->SetAt(*this, i, elements[i]);
    }
    return a;
}

Object* Vm::NewFunction(NativeFn fn, int length) {
    NativeFunction* f = New<NativeFunction>(globals_->functionProto, std::move(fn));
    interpreter_->NewFunctionObject(f);
    (void)length;
    return f;
}

Object* Vm::NewConstructor(NativeFn call, NativeFn construct) {
    NativeFunction* f =
        New<NativeFunction>(globals_->functionProto, std::move(call), std::move(construct));
    interpreter_->NewFunctionObject(f);
    return f;
}

Value Vm::Get(Object* object, StringView name, int version) {
    return Guarded([&] { return interpreter_->GetMember(object, name, version); }, Value());
}

void Vm::Set(Object* object, StringView name, const Value& value, int version) {
    Guarded(
        [&] {
            interpreter_->SetMember(object, name, value, version);
            return true;
        },
        false);
}

void Vm::Define(Object* object, StringView name, const Value& value, std::uint16_t attrs) {
    if (!object) {
        return;
    }
    if (Member* m = object->Members().Find(name, true)) {
        m->value = value;
        m->getter = nullptr;
        m->setter = nullptr;
        m->attrs = attrs;
        return;
    }
    object->Members().Add(name, value, attrs);
}

void Vm::DefineNative(Object* object, StringView name, NativeFn fn, std::uint16_t attrs) {
    NativeFunction* f = New<NativeFunction>(globals_->functionProto, std::move(fn));
    Define(object, name, Value::Obj(f), attrs);
}

Object* Vm::Global() {
    return globals_->global;
}
Object* Vm::ObjectPrototype() {
    return globals_->objectProto;
}
Object* Vm::FunctionPrototype() {
    return globals_->functionProto;
}
Object* Vm::ArrayPrototype() {
    return globals_->arrayProto;
}
Object* Vm::MovieClipPrototype() {
    return globals_->movieClipProto;
}
Object* Vm::ButtonPrototype() {
    return globals_->buttonProto;
}
Object* Vm::TextFieldPrototype() {
    return globals_->textFieldProto;
}

Object* Vm::RegisteredClass(StringView exportName, int version) {
    const Member* m = globals_->classRegistry->Members().Find(exportName, version >= 7);
    return m ? m->value.AsObject() : nullptr;
}

void Vm::RunTimers() {
    timers_->RunDue();
    MaybeCollect();
}

bool Vm::HasTimers() const {
    return !timers_->Empty();
}

void Vm::MaybeCollect() {
    if (!interpreter_->Running() && heap_->WantsCollect()) {
        Collect();
    }
}

void Vm::Collect() {
    if (interpreter_->Running()) {
        return;
    }
    std::vector<Object*> roots;
    globals_->Roots(roots);
    interpreter_->Roots(roots);
    timers_->Roots(roots);
    for (const auto& [clip, object] : clips_->objects) {
        roots.push_back(object);
    }
    heap_->Collect(roots);
}

std::size_t Vm::LiveObjects() const {
    return heap_->size();
}

std::uint64_t Vm::ActionsExecuted() const {
    return interpreter_->totalExecuted();
}

}  // namespace flash::avm1
