#pragma once

// AMF0, the value encoding of FLV script data (onMetaData, onCuePoint): a reader that checks
// every length against the bytes it has and caps how deep values nest.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace flash::media {

struct AmfMember;

struct AmfValue {
    enum class Type {
        Undefined,
        Null,
        Number,
        Boolean,
        String,
        Object,
        EcmaArray,
        StrictArray,
        Date
    };

    Type type = Type::Undefined;
    double number = 0;  // Number; Date: milliseconds since 1970
    bool boolean = false;
    std::string string;              // UTF-8 as stored
    std::vector<AmfMember> members;  // Object and EcmaArray, in file order
    std::vector<AmfValue> elements;  // StrictArray

    static AmfValue Number(double n);
    static AmfValue String(std::string s);
    // The member of an object or ECMA array; null when there is none.
    const AmfValue* Find(std::string_view name) const;
    // A number member, or `fallback` when missing or not a number.
    double NumberOr(std::string_view name, double fallback) const;
};

struct AmfMember {
    std::string name;
    AmfValue value;
};

// Values nested deeper than this end the reading.
inline constexpr int kMaxAmfDepth = 32;

// Reads values one after another from `bytes`. A value that runs past the end, or a type this
// reader does not know, ends the reading: Next gives nullopt from then on.
class AmfReader {
  public:
    explicit AmfReader(std::span<const std::uint8_t> bytes) : in_(bytes) {}

    std::optional<AmfValue> Next();
    bool AtEnd() const { return at_ >= in_.size(); }

  private:
    bool Value(AmfValue& out, int depth);
    bool Members(std::vector<AmfMember>& out, int depth);
    bool Utf8(std::size_t length, std::string& out);
    bool U8(std::uint8_t& v);
    bool U16(std::uint16_t& v);
    bool U32(std::uint32_t& v);
    bool Double(double& v);

    std::span<const std::uint8_t> in_;
    std::size_t at_ = 0;
};

}  // namespace flash::media
