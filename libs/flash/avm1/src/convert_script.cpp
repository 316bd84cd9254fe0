// Conversions, equality and comparison of values that may run script (valueOf, toString).
#include <cmath>
#include <limits>

#include "flash/avm1/convert.h"
#include "globals.h"
#include "interpreter.h"

namespace flash::avm1 {

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

}  // namespace flash::avm1
