#include "flash/media/amf0.h"

#include <bit>
#include <cstring>

namespace flash::media {

namespace {

enum Marker : std::uint8_t {
    kNumber = 0,
    kBoolean = 1,
    kString = 2,
    kObject = 3,
    kNull = 5,
    kUndefined = 6,
    kReference = 7,
    kEcmaArray = 8,
    kObjectEnd = 9,
    kStrictArray = 10,
    kDate = 11,
    kLongString = 12,
    kUnsupported = 13,
    kXmlDocument = 15,
    kTypedObject = 16,
};

}  // namespace

AmfValue AmfValue::Number(double n) {
    AmfValue v;
    v.type = Type::Number;
    v.number = n;
    return v;
}

AmfValue AmfValue::String(std::string s) {
    AmfValue v;
    v.type = Type::String;
    v.string = std::move(s);
    return v;
}

const AmfValue* AmfValue::Find(std::string_view name) const {
    for (const AmfMember& m : members) {
        if (m.name == name) {
            return &m.value;
        }
    }
    return nullptr;
}

double AmfValue::NumberOr(std::string_view name, double fallback) const {
    const AmfValue* v = Find(name);
    return v != nullptr && v->type == Type::Number ? v->number : fallback;
}

std::optional<AmfValue> AmfReader::Next() {
    AmfValue v;
    if (AtEnd() || !Value(v, 0)) {
        at_ = in_.size();
        return std::nullopt;
    }
    return v;
}

bool AmfReader::U8(std::uint8_t& v) {
    if (at_ + 1 > in_.size()) {
        return false;
    }
    v = in_[at_++];
    return true;
}

bool AmfReader::U16(std::uint16_t& v) {
    if (at_ + 2 > in_.size()) {
        return false;
    }
    v = static_cast<std::uint16_t>(in_[at_] << 8 | in_[at_ + 1]);
    at_ += 2;
    return true;
}

bool AmfReader::U32(std::uint32_t& v) {
    if (at_ + 4 > in_.size()) {
        return false;
    }
    v = static_cast<std::uint32_t>(in_[at_]) << 24 |
        static_cast<std::uint32_t>(in_[at_ + 1]) << 16 |
        static_cast<std::uint32_t>(in_[at_ + 2]) << 8 | in_[at_ + 3];
    at_ += 4;
    return true;
}

bool AmfReader::Double(double& v) {
    if (at_ + 8 > in_.size()) {
        return false;
    }
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) {
        bits = bits << 8 | in_[at_ + static_cast<std::size_t>(i)];
    }
    at_ += 8;
    v = std::bit_cast<double>(bits);
    return true;
}

bool AmfReader::Utf8(std::size_t length, std::string& out) {
    if (length > in_.size() - at_) {
        return false;
    }
    out.assign(reinterpret_cast<const char*>(in_.data() + at_), length);
    at_ += length;
    return true;
}

// Name and value pairs up to the end marker (an empty name and 9). Data that ends cleanly
// between two members ends the list too: some writers leave the marker out.
bool AmfReader::Members(std::vector<AmfMember>& out, int depth) {
    for (;;) {
        if (AtEnd()) {
            return true;
        }
        std::uint16_t length = 0;
        if (!U16(length)) {
            return false;
        }
        std::string name;
        if (!Utf8(length, name)) {
            return false;
        }
        if (length == 0 && at_ < in_.size() && in_[at_] == kObjectEnd) {
            ++at_;
            return true;
        }
        AmfMember m;
        m.name = std::move(name);
        if (!Value(m.value, depth + 1)) {
            return false;
        }
        out.push_back(std::move(m));
    }
}

bool AmfReader::Value(AmfValue& out, int depth) {
    std::uint8_t marker = 0;
    if (!U8(marker)) {
        return false;
    }
    if (depth > kMaxAmfDepth) {
        return false;
    }
    using T = AmfValue::Type;
    switch (marker) {
        case kNumber:
            out.type = T::Number;
            return Double(out.number);
        case kBoolean: {
            std::uint8_t b = 0;
            out.type = T::Boolean;
            if (!U8(b)) {
                return false;
            }
            out.boolean = b != 0;
            return true;
        }
        case kString: {
            std::uint16_t length = 0;
            out.type = T::String;
            return U16(length) && Utf8(length, out.string);
        }
        case kLongString:
        case kXmlDocument: {
            std::uint32_t length = 0;
            out.type = T::String;
            return U32(length) && Utf8(length, out.string);
        }
        case kObject:
            out.type = T::Object;
            return Members(out.members, depth);
        case kTypedObject: {
            std::uint16_t length = 0;
            std::string className;
            out.type = T::Object;
            return U16(length) && Utf8(length, className) && Members(out.members, depth);
        }
        case kEcmaArray: {
            std::uint32_t count = 0;  // a hint only: the members run to the end marker
            out.type = T::EcmaArray;
            return U32(count) && Members(out.members, depth);
        }
        case kStrictArray: {
            std::uint32_t count = 0;
            out.type = T::StrictArray;
            if (!U32(count)) {
                return false;
            }
            for (std::uint32_t i = 0; i < count; ++i) {
                AmfValue element;
                if (!Value(element, depth + 1)) {
                    return false;
                }
                out.elements.push_back(std::move(element));
            }
            return true;
        }
        case kDate: {
            std::uint16_t zone = 0;
            out.type = T::Date;
            return Double(out.number) && U16(zone);
        }
        case kNull:
            out.type = T::Null;
            return true;
        case kUndefined:
        case kUnsupported:
            out.type = T::Undefined;
            return true;
        case kReference: {
            std::uint16_t index = 0;  // references to earlier objects are not followed
            out.type = T::Undefined;
            return U16(index);
        }
        default:
            return false;
    }
}

}  // namespace flash::media
