#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace flash::avm1 {

// Script text is UTF-16, as string lengths and character codes count UTF-16 units.
using String = std::u16string;
using StringView = std::u16string_view;

class Object;

enum class Type : std::uint8_t { Undefined, Null, Boolean, Number, Str, Object };

// One script value. Strings are shared and immutable, so copying a value is cheap; objects
// are owned by the interpreter's heap and referenced here without ownership.
class Value {
  public:
    Value() = default;  // undefined

    static Value Null() {
        Value v;
        v.type_ = Type::Null;
        return v;
    }
    static Value Bool(bool b) {
        Value v;
        v.type_ = Type::Boolean;
        v.bool_ = b;
        return v;
    }
    static Value Number(double d) {
        Value v;
        v.type_ = Type::Number;
        v.number_ = d;
        return v;
    }
    static Value Str(String s) {
        Value v;
        v.type_ = Type::Str;
        v.string_ = std::make_shared<const String>(std::move(s));
        return v;
    }
    static Value Str(std::shared_ptr<const String> s) {
        Value v;
        v.type_ = Type::Str;
        v.string_ = s ? std::move(s) : std::make_shared<const String>();
        return v;
    }
    // A null object pointer gives null.
    static Value Obj(Object* o) {
        Value v;
        v.type_ = o ? Type::Object : Type::Null;
        v.object_ = o;
        return v;
    }

    Type type() const { return type_; }
    bool IsUndefined() const { return type_ == Type::Undefined; }
    bool IsNull() const { return type_ == Type::Null; }
    bool IsNullish() const { return type_ == Type::Undefined || type_ == Type::Null; }
    bool IsBool() const { return type_ == Type::Boolean; }
    bool IsNumber() const { return type_ == Type::Number; }
    bool IsString() const { return type_ == Type::Str; }
    bool IsObject() const { return type_ == Type::Object; }
    bool IsPrimitive() const { return type_ != Type::Object; }

    // Accessors for the matching type only; other types give a neutral value.
    bool AsBool() const { return type_ == Type::Boolean && bool_; }
    double AsNumber() const { return type_ == Type::Number ? number_ : 0.0; }
    const String& AsString() const;
    const std::shared_ptr<const String>& SharedString() const { return string_; }
    Object* AsObject() const { return type_ == Type::Object ? object_ : nullptr; }

  private:
    Type type_ = Type::Undefined;
    union {
        bool bool_;
        double number_ = 0.0;
        Object* object_;
    };
    std::shared_ptr<const String> string_;
};

// UTF-8 <-> UTF-16 at the edges (trace output, names from movies, tests). Invalid UTF-8
// bytes become U+FFFD; unpaired surrogates become U+FFFD on the way out.
String FromUtf8(std::string_view text);
std::string ToUtf8(StringView text);

// SWF 5 and earlier store text in the system code page; bytes map one to one (Latin-1).
String FromLatin1(std::string_view text);

}  // namespace flash::avm1
