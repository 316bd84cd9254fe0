#pragma once

// AMF0, the value encoding of SharedObject files, LocalConnection messages and remoting calls:
// script values to bytes and back. Objects seen twice are written as references, so cycles
// end; the reader checks every length and count against the bytes it has and caps nesting.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "flash/avm1/value.h"

namespace flash::avm1 {

class Vm;

struct AmfOptions {
    // Arrays with nothing but elements go as strict arrays (remoting, LocalConnection);
    // otherwise every array is an ECMA array (SharedObject files).
    bool strictArrays = false;
    int version = 8;  // of the movie: names of registered classes compare by case from 7
};

class AmfWriter {
  public:
    AmfWriter(Vm& vm, AmfOptions options) : vm_(vm), options_(options) {}
    void Write(const Value& value);
    // A name as object members carry it (u16 length, UTF-8), as .sol entries do too.
    void WriteName(StringView name);
    std::vector<std::uint8_t>& Bytes() { return out_; }

  private:
    void WriteValue(const Value& value, int depth);
    void WriteObject(Object* object, int depth);
    void WriteArray(Object* array, int depth);
    void WriteMembers(Object* object, bool skipIndexes, int depth);
    void WriteString(StringView text);
    void U8(std::uint8_t v) { out_.push_back(v); }
    void U16(std::uint16_t v);
    void U32(std::uint32_t v);
    void Double(double v);

    Vm& vm_;
    AmfOptions options_;
    std::vector<std::uint8_t> out_;
    std::vector<Object*> seen_;
};

class AmfReader {
  public:
    AmfReader(Vm& vm, std::span<const std::uint8_t> bytes, int version)
        : vm_(vm), in_(bytes), version_(version) {}
    // The next value; false at the end or on bad data (the reading stops there).
    bool Read(Value& out);
    bool ReadName(String& out);
    bool AtEnd() const { return at_ >= in_.size(); }
    std::size_t Offset() const { return at_; }
    bool Skip(std::size_t n);

  private:
    bool ReadValue(Value& out, int depth);
    bool ReadMembers(Object* into, int depth);
    bool Utf8(std::size_t length, String& out);
    bool U8(std::uint8_t& v);
    bool U16(std::uint16_t& v);
    bool U32(std::uint32_t& v);
    bool Double(double& v);

    Vm& vm_;
    std::span<const std::uint8_t> in_;
    int version_;
    std::size_t at_ = 0;
    bool failed_ = false;
    std::vector<Object*> seen_;
};

// Values nested deeper than this end the writing (as null) and the reading.
inline constexpr int kMaxAmfNesting = 64;

}  // namespace flash::avm1
