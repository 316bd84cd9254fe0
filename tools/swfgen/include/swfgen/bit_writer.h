#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "flash/geom.h"

namespace swfgen {

using Bytes = std::vector<std::uint8_t>;

// Writes the SWF primitive types: little-endian integers, bit fields (most significant bit
// first) and the packed records. Byte-sized writes first finish a partly written byte.
class BitWriter {
  public:
    void UB(std::uint32_t value, unsigned bits);
    void SB(std::int32_t value, unsigned bits);
    void FB(double value, unsigned bits);  // 16.16 fixed point
    void Flag(bool value) { UB(value ? 1 : 0, 1); }
    void Align();

    void U8(std::uint8_t v);
    void U16(std::uint16_t v);
    void U32(std::uint32_t v);
    void S16(std::int16_t v) { U16(static_cast<std::uint16_t>(v)); }
    void Fixed8(double v);  // signed 8.8
    void Fixed(double v);   // signed 16.16
    void Float(float v);
    void EncodedU32(std::uint32_t v);
    void String(std::string_view s);  // with its NUL
    void Append(std::span<const std::uint8_t> bytes);

    void Rect(const flash::Rect& r);
    void Matrix(const flash::Matrix& m);
    void ColorTransform(const flash::ColorTransform& c, bool withAlpha);
    void Rgb(flash::Rgba c);
    void Rgba(flash::Rgba c);
    void Argb(flash::Rgba c);

    // The bits a signed or unsigned field needs to hold each value.
    static unsigned SignedBits(std::int64_t v);
    static unsigned UnsignedBits(std::uint64_t v);

    const Bytes& bytes();  // aligns first
    std::size_t size() const { return bytes_.size(); }

  private:
    Bytes bytes_;
    unsigned used_ = 0;  // bits used in the last byte, 0 when aligned
};

}  // namespace swfgen
