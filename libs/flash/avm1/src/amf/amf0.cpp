#include "flash/avm1/amf0.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "flash/avm1/convert.h"
#include "flash/avm1/vm.h"
#include "globals.h"
#include "internal.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

enum Marker : std::uint8_t {
    kNumber = 0x00,
    kBoolean = 0x01,
    kString = 0x02,
    kObject = 0x03,
    kNull = 0x05,
    kUndefined = 0x06,
    kReference = 0x07,
    kEcmaArray = 0x08,
    kObjectEnd = 0x09,
    kStrictArray = 0x0A,
    kDate = 0x0B,
    kLongString = 0x0C,
    kUnsupported = 0x0D,
    kXml = 0x0F,
    kTypedObject = 0x10,
};

bool IsHidden(const Member& m) {
    return (m.attrs & kDontEnum) != 0;
}

// The name Object.registerClass gave the object's class, if any. A later registration under a
// name that compares equal (by case from SWF 7 only) replaces an earlier one.
std::optional<String> RegisteredName(Interpreter& in, Object* object, int version) {
    Object* registry = in.globals().classRegistry;
    Object* proto = object->Proto();
    if (registry == nullptr || proto == nullptr) {
        return std::nullopt;
    }
    std::vector<const Member*> entries;
    registry->Members().ForEach([&](const Member& m) { entries.push_back(&m); });
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Member& m = *entries[i];
        bool replaced = std::any_of(
            entries.begin() + static_cast<std::ptrdiff_t>(i) + 1, entries.end(),
            [&](const Member* later) { return NamesEqual(later->name, m.name, version); });
        Object* ctor = m.value.AsObject();
        if (replaced || ctor == nullptr) {
            continue;
        }
        if (in.GetMember(ctor, u"prototype", version).AsObject() == proto) {
            return m.name;
        }
    }
    return std::nullopt;
}

// An element or member value for writing; a getter that throws gives undefined.
Value MemberValue(Interpreter& in, Object* object, const Member& m, int version) {
    if (!m.IsAccessor()) {
        return m.value;
    }
    try {
        return in.CallFunction(m.getter, Value::Obj(object), {}, version);
    } catch (const ScriptThrow&) {
        return Value();
    }
}

}  // namespace

void AmfWriter::U16(std::uint16_t v) {
    out_.push_back(static_cast<std::uint8_t>(v >> 8));
    out_.push_back(static_cast<std::uint8_t>(v));
}

void AmfWriter::U32(std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out_.push_back(static_cast<std::uint8_t>(v >> shift));
    }
}

void AmfWriter::Double(double v) {
    auto bits = std::bit_cast<std::uint64_t>(v);
    for (int shift = 56; shift >= 0; shift -= 8) {
        out_.push_back(static_cast<std::uint8_t>(bits >> shift));
    }
}

void AmfWriter::WriteName(StringView name) {
    std::string utf8 = ToUtf8(name);
    utf8.resize(std::min<std::size_t>(utf8.size(), 0xFFFF));
    U16(static_cast<std::uint16_t>(utf8.size()));
    out_.insert(out_.end(), utf8.begin(), utf8.end());
}

void AmfWriter::WriteString(StringView text) {
    std::string utf8 = ToUtf8(text);
    if (utf8.size() <= 0xFFFF) {
        U8(kString);
        U16(static_cast<std::uint16_t>(utf8.size()));
    } else {
        U8(kLongString);
        U32(static_cast<std::uint32_t>(std::min<std::size_t>(utf8.size(), 0xFFFFFFFFu)));
    }
    out_.insert(out_.end(), utf8.begin(), utf8.end());
}

void AmfWriter::Write(const Value& value) {
    WriteValue(value, 0);
}

void AmfWriter::WriteValue(const Value& value, int depth) {
    switch (value.type()) {
        case Type::Undefined:
            U8(kUndefined);
            return;
        case Type::Null:
            U8(kNull);
            return;
        case Type::Boolean:
            U8(kBoolean);
            U8(value.AsBool() ? 1 : 0);
            return;
        case Type::Number:
            U8(kNumber);
            Double(value.AsNumber());
            return;
        case Type::Str:
            WriteString(value.AsString());
            return;
        case Type::Object:
            break;
    }
    Object* object = value.AsObject();
    auto seen = std::find(seen_.begin(), seen_.end(), object);
    if (seen != seen_.end() && seen_.size() <= 0xFFFF) {
        U8(kReference);
        U16(static_cast<std::uint16_t>(seen - seen_.begin()));
        return;
    }
    if (depth >= kMaxAmfNesting) {
        U8(kNull);
        return;
    }
    seen_.push_back(object);
    if (object->Class() == ObjectClass::Date) {
        U8(kDate);
        Double(object->Primitive().AsNumber());
        U16(0);
    } else if (object->Class() == ObjectClass::Array) {
        WriteArray(object, depth + 1);
    } else {
        WriteObject(object, depth + 1);
    }
}

void AmfWriter::WriteObject(Object* object, int depth) {
    Interpreter& in = InterpreterOf(vm_);
    if (std::optional<String> name = RegisteredName(in, object, options_.version)) {
        U8(kTypedObject);
        WriteName(*name);
    } else {
        U8(kObject);
    }
    WriteMembers(object, false, depth);
    U16(0);
    U8(kObjectEnd);
}

void AmfWriter::WriteMembers(Object* object, bool skipIndexes, int depth) {
    Interpreter& in = InterpreterOf(vm_);
    std::vector<const Member*> members;
    object->Members().ForEach([&](const Member& m) {
        if (IsHidden(m) || (skipIndexes && (ArrayIndex(m.name) || m.name == u"length"))) {
            return;
        }
        members.push_back(&m);
    });
    for (const Member* m : members) {
        Value v = MemberValue(in, object, *m, options_.version);
        if (in.IsFunction(v)) {
            continue;  // functions are not data
        }
        WriteName(m->name);
        WriteValue(v, depth);
    }
}

void AmfWriter::WriteArray(Object* array, int depth) {
    auto* a = static_cast<ArrayObject*>(array);
    bool onlyElements = true;
    array->Members().ForEach([&](const Member& m) {
        if (!IsHidden(m) && !ArrayIndex(m.name) && m.name != u"length") {
            onlyElements = false;
        }
    });
    auto length = static_cast<std::uint32_t>(std::min<std::size_t>(a->length(), 0xFFFFFFFFu));
    if (options_.strictArrays && onlyElements) {
        U8(kStrictArray);
        U32(length);
        for (std::size_t i = 0; i < length; ++i) {
            WriteValue(a->At(i), depth);
        }
        return;
    }
    U8(kEcmaArray);
    U32(length);
    for (std::size_t i = 0; i < length; ++i) {
        if (a->Has(i)) {
            WriteName(FromUtf8(std::to_string(i)));
            WriteValue(a->At(i), depth);
        }
    }
    WriteMembers(array, true, depth);
    U16(0);
    U8(kObjectEnd);
}

bool AmfReader::Skip(std::size_t n) {
    if (in_.size() - at_ < n) {
        failed_ = true;
        return false;
    }
    at_ += n;
    return true;
}

bool AmfReader::U8(std::uint8_t& v) {
    if (at_ >= in_.size()) {
        failed_ = true;
        return false;
    }
    v = in_[at_++];
    return true;
}

bool AmfReader::U16(std::uint16_t& v) {
    std::uint8_t a = 0, b = 0;
    if (!U8(a) || !U8(b)) {
        return false;
    }
    v = static_cast<std::uint16_t>((a << 8) | b);
    return true;
}

bool AmfReader::U32(std::uint32_t& v) {
    std::uint16_t a = 0, b = 0;
    if (!U16(a) || !U16(b)) {
        return false;
    }
    v = (static_cast<std::uint32_t>(a) << 16) | b;
    return true;
}

bool AmfReader::Double(double& v) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        std::uint8_t b = 0;
        if (!U8(b)) {
            return false;
        }
        bits = (bits << 8) | b;
    }
    v = std::bit_cast<double>(bits);
    return true;
}

bool AmfReader::Utf8(std::size_t length, String& out) {
    if (in_.size() - at_ < length) {
        failed_ = true;
        return false;
    }
    out = FromUtf8(std::string_view(reinterpret_cast<const char*>(in_.data() + at_), length));
    at_ += length;
    return true;
}

bool AmfReader::ReadName(String& out) {
    std::uint16_t length = 0;
    return !failed_ && U16(length) && Utf8(length, out);
}

bool AmfReader::Read(Value& out) {
    return !failed_ && ReadValue(out, 0);
}

bool AmfReader::ReadMembers(Object* into, int depth) {
    Interpreter& in = InterpreterOf(vm_);
    for (;;) {
        String name;
        if (!ReadName(name)) {
            return false;
        }
        if (name.empty()) {
            std::uint8_t end = 0;
            if (!U8(end) || end != kObjectEnd) {
                failed_ = true;
                return false;
            }
            return true;
        }
        Value v;
        if (!ReadValue(v, depth)) {
            return false;
        }
        in.SetMember(into, name, v, version_);
    }
}

bool AmfReader::ReadValue(Value& out, int depth) {
    std::uint8_t marker = 0;
    if (depth > kMaxAmfNesting || !U8(marker)) {
        failed_ = true;
        return false;
    }
    Interpreter& in = InterpreterOf(vm_);
    switch (marker) {
        case kNumber: {
            double d = 0;
            out = Value::Number(0);
            return Double(d) && (out = Value::Number(d), true);
        }
        case kBoolean: {
            std::uint8_t b = 0;
            return U8(b) && (out = Value::Bool(b != 0), true);
        }
        case kString: {
            String s;
            return ReadName(s) && (out = Value::Str(std::move(s)), true);
        }
        case kLongString:
        case kXml: {
            std::uint32_t length = 0;
            String s;
            return U32(length) && Utf8(length, s) && (out = Value::Str(std::move(s)), true);
        }
        case kNull:
            out = Value::Null();
            return true;
        case kUndefined:
        case kUnsupported:
            out = Value();
            return true;
        case kReference: {
            std::uint16_t index = 0;
            if (!U16(index) || index >= seen_.size()) {
                failed_ = true;
                return false;
            }
            out = Value::Obj(seen_[index]);
            return true;
        }
        case kDate: {
            double ms = 0;
            std::uint16_t zone = 0;
            if (!Double(ms) || !U16(zone)) {
                return false;
            }
            Value ctor = in.GetMember(vm_.Global(), u"Date", version_);
            Value arg = Value::Number(ms);
            out = in.IsFunction(ctor) ? in.Construct(ctor.AsObject(), std::span(&arg, 1), version_)
                                      : Value::Number(ms);
            return true;
        }
        case kObject:
        case kTypedObject: {
            Object* object = in.NewObject();
            if (marker == kTypedObject) {
                String name;
                if (!ReadName(name)) {
                    return false;
                }
                if (Object* ctor = vm_.RegisteredClass(name, version_)) {
                    if (Object* proto = in.GetMember(ctor, u"prototype", version_).AsObject()) {
                        object->SetProto(proto);
                    }
                }
            }
            seen_.push_back(object);
            out = Value::Obj(object);
            return ReadMembers(object, depth + 1);
        }
        case kEcmaArray: {
            std::uint32_t count = 0;
            if (!U32(count)) {
                return false;
            }
            ArrayObject* array = in.NewArray();
            seen_.push_back(array);
            out = Value::Obj(array);
            return ReadMembers(array, depth + 1);
        }
        case kStrictArray: {
            std::uint32_t count = 0;
            // Every element takes a byte at least: a count beyond the bytes left is bad data.
            if (!U32(count) || count > in_.size() - at_ || count > vm_.limits().maxArrayLength) {
                failed_ = true;
                return false;
            }
            ArrayObject* array = in.NewArray();
            seen_.push_back(array);
            out = Value::Obj(array);
            for (std::uint32_t i = 0; i < count; ++i) {
                Value v;
                if (!ReadValue(v, depth + 1)) {
                    return false;
                }
                array->SetAt(vm_, i, std::move(v));
            }
            return true;
        }
        default:
            failed_ = true;
            return false;
    }
}

}  // namespace flash::avm1
