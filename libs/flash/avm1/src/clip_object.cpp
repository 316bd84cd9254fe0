#include <algorithm>
#include <cmath>

#include "flash/avm1/convert.h"
#include "globals.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

// What a _focusrect assignment hands the clip: undefined for null and undefined (the
// movie-wide value ignores them, a clip's own value is unset), else a boolean. The
// movie-wide value (every object's in version 5, a level root's later) reads numbers as
// nonzero, NaN included, strings as the numbers they spell and objects as false; a clip's
// own value converts as a condition does.
Value FocusRectValue(Clip& clip, const Value& value, int version) {
    if (value.IsUndefined() || value.IsNull()) {
        return Value();
    }
    if (clip.SwfVersion() > 5 && clip.Parent() != nullptr) {
        return Value::Bool(ToBoolean(value, version));
    }
    if (value.IsBool()) {
        return value;
    }
    if (value.IsNumber()) {
        return Value::Bool(value.AsNumber() != 0);
    }
    if (value.IsString()) {
        return Value::Bool(StringToNumber(value.AsString(), version) != 0);
    }
    return Value::Bool(false);
}

}  // namespace

std::optional<Value> ClipObject::GetNative(Vm& vm, StringView name, int version) {
    if (!clip_ || name.empty()) {
        return std::nullopt;
    }
    Interpreter& in = InterpreterOf(vm);
    if (name[0] == u'_') {
        if (auto p = PropertyByName(name)) {
            switch (*p) {
                case Property::Target:
                    return Value::Str(in.SlashPath(*clip_));
                case Property::Name:
                    return Value::Str(clip_->Name());
                case Property::CurrentFrame:
                    return Value::Number(clip_->CurrentFrame() + 1);
                case Property::TotalFrames:
                    return Value::Number(clip_->TotalFrames());
                case Property::FramesLoaded:
                    return Value::Number(clip_->FramesLoaded());
                default:
                    return clip_->GetProperty(*p);
            }
        }
        if (NamesEqual(name, u"_parent", version)) {
            Clip* parent = clip_->Parent();
            return parent ? Value::Obj(in.ObjectFor(parent)) : Value();
        }
        if (NamesEqual(name, u"_root", version)) {
            Clip* c = clip_;
            int guard = 0;
            while (c->Parent() && !c->LocksRoot() && guard++ < 100000) {
                c = c->Parent();
            }
            return Value::Obj(in.ObjectFor(c));
        }
    }
    return clip_->GetMember(name);
}

bool ClipObject::SetNative(Vm& vm, StringView name, const Value& value, int version) {
    if (!clip_ || name.empty()) {
        return false;
    }
    Interpreter& in = InterpreterOf(vm);
    if (name[0] == u'_') {
        if (auto p = PropertyByName(name)) {
            switch (*p) {
                case Property::CurrentFrame:
                case Property::TotalFrames:
                case Property::FramesLoaded:
                case Property::Target:
                case Property::Url:
                case Property::DropTarget:
                case Property::XMouse:
                case Property::YMouse:
                    return true;  // read-only
                case Property::Name:
                    clip_->SetName(in.ToString(value, version));
                    return true;
                case Property::Quality:
                    clip_->SetProperty(*p, Value::Str(in.ToString(value, version)));
                    return true;
                case Property::FocusRect:
                    clip_->SetProperty(*p, FocusRectValue(*clip_, value, version));
                    return true;
                case Property::Visible:
                case Property::HighQuality: {
                    Value prim = in.ToPrimitive(value, version);
                    bool b =
                        prim.IsString()
                            ? ToBoolean(Value::Number(StringToNumber(prim.AsString(), version)),
                                        version)
                            : ToBoolean(prim, version);
                    clip_->SetProperty(*p, Value::Bool(b));
                    return true;
                }
                default:
                    clip_->SetProperty(*p, Value::Number(in.ToNumber(value, version)));
                    return true;
            }
        }
    }
    return clip_->SetMember(name, value);
}

void ClipObject::NativeKeys(Vm&, std::vector<String>& keys) {
    if (!clip_) {
        return;
    }
    for (Clip* child : clip_->Children()) {
        keys.push_back(child->Name());
    }
}

std::optional<std::size_t> ArrayIndex(StringView name) {
    if (name.empty() || name.size() > 10 || (name.size() > 1 && name[0] == u'0')) {
        return std::nullopt;
    }
    std::size_t n = 0;
    for (char16_t c : name) {
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        n = n * 10 + static_cast<std::size_t>(c - u'0');
    }
    if (n >= 4294967295u) {
        return std::nullopt;
    }
    return n;
}

namespace {

// A member name that reads as a whole number ("-5", "4294967296") moves the length: its
// digits are read into 32 bits, wrapping as Flash's reading does.
std::optional<std::int32_t> NumberedName(StringView name) {
    std::size_t i = !name.empty() && name[0] == u'-' ? 1 : 0;
    if (i == name.size()) {
        return std::nullopt;
    }
    std::uint32_t n = 0;
    for (; i < name.size(); ++i) {
        if (name[i] < u'0' || name[i] > u'9') {
            return std::nullopt;
        }
        n = n * 10u + static_cast<std::uint32_t>(name[i] - u'0');
    }
    return static_cast<std::int32_t>(name[0] == u'-' ? 0u - n : n);
}

}  // namespace

std::optional<Value> ArrayObject::GetNative(Vm&, StringView name, int version) {
    if (NamesEqual(name, u"length", version)) {
        return Value::Number(ScriptLength());
    }
    if (auto index = ArrayIndex(name)) {
        if (Has(*index)) {
            return elements_[*index].value;
        }
    }
    return std::nullopt;
}

bool ArrayObject::SetNative(Vm& vm, StringView name, const Value& value, int version) {
    if (NamesEqual(name, u"length", version)) {
        SetScriptLength(vm, ToInt32(InterpreterOf(vm).ToNumber(value, version)));
        return true;
    }
    if (auto index = ArrayIndex(name); index && *index < vm.limits().maxArrayLength) {
        Write(vm, *index, value);
        return true;
    }
    if (auto n = NumberedName(name)) {
        NumberedMemberSet(vm, *n);
    }
    return false;  // out of the elements' range: kept as a plain member
}

void ArrayObject::SetScriptLength(Vm& vm, std::int32_t length) {
    if (length >= 0 && static_cast<std::size_t>(length) <= vm.limits().maxArrayLength) {
        Resize(vm, static_cast<std::size_t>(length));
        return;
    }
    if (length < 0) {
        elements_.clear();
    }
    outside_ = length;
}

void ArrayObject::NumberedMemberSet(Vm& vm, std::int32_t index) {
    if (index >= ScriptLength()) {
        SetScriptLength(vm, ToInt32(static_cast<double>(index) + 1));
    }
}

void ArrayObject::NativeKeys(Vm&, std::vector<String>& keys) {
    // Elements in the order they were added, as Flash's property table keeps them.
    std::vector<std::size_t> present;
    for (std::size_t i = 0; i < elements_.size(); ++i) {
        if (elements_[i].present && !(elements_[i].attrs & kDontEnum)) {
            present.push_back(i);
        }
    }
    std::stable_sort(present.begin(), present.end(), [this](std::size_t a, std::size_t b) {
        return elements_[a].order < elements_[b].order;
    });
    for (std::size_t i : present) {
        keys.push_back(Ascii(std::to_string(i)));
    }
}

void ArrayObject::TraceRefs(std::vector<Object*>& out) {
    for (const Slot& s : elements_) {
        if (auto* o = s.value.AsObject()) {
            out.push_back(o);
        }
    }
}

void ArrayObject::SetAt(Vm& vm, std::size_t i, Value value) {
    if (i >= elements_.size()) {
        const bool within = outside_ && *outside_ > 0 && static_cast<std::size_t>(*outside_) > i;
        if (within && i < vm.limits().maxArrayLength) {
            elements_.resize(i + 1);  // inside a length set beyond the elements held
        } else {
            Resize(vm, i + 1);
        }
    }
    elements_[i].value = std::move(value);
    if (!elements_[i].present) {
        elements_[i].present = true;
        elements_[i].order = ++added_;
    }
}

void ArrayObject::Resize(Vm& vm, std::size_t length) {
    if (length > vm.limits().maxArrayLength) {
        throw AbortRun{u"array too long"};
    }
    elements_.resize(length);
    outside_.reset();
}

bool ArrayObject::Write(Vm& vm, std::size_t i, Value value) {
    if (Has(i) && (elements_[i].attrs & kReadOnly)) {
        return false;
    }
    SetAt(vm, i, std::move(value));
    return true;
}

bool ArrayObject::Erase(std::size_t i) {
    if (!Has(i) || (elements_[i].attrs & kDontDelete)) {
        return false;
    }
    elements_[i] = Slot{};
    return true;
}

}  // namespace flash::avm1
