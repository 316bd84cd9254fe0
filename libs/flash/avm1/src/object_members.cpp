// Member lookup with prototype chains, accessors, natives, watchers and __resolve; for..in
// enumeration; object creation.
#include <algorithm>

#include "flash/avm1/convert.h"
#include "globals.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

constexpr int kMaxWatchDepth = 65;  // nested watcher calls before assignments go through

}  // namespace

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

// Flash pushes the names of each object of the chain in the order they were added, own
// first, and for..in takes them back from the top: newest first, inherited before own.
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
        for (const String& k : native) {
            add(k);
        }
        std::vector<String> hidden;
        o->Members().ForEach([&](const Member& m) {
            // Version flags hide a member from lookups, not from for..in.
            if (!(m.attrs & kDontEnum)) {
                add(m.name);
            } else {
                hidden.push_back(m.name);  // hides the same name further up
            }
        });
        seen.insert(seen.end(), hidden.begin(), hidden.end());
        o = o->Proto();
    }
    std::reverse(keys.begin(), keys.end());
    return keys;
}

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
