#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "flash/geom.h"

namespace flash::swf {

// Reads the SWF primitive types from a byte range: little-endian integers, bit fields
// (most significant bit first) and the packed records (RECT, MATRIX, CXFORM). Every read is
// checked against the range; running past its end throws ParseError. Byte-sized reads start
// at the next whole byte.
class BitReader {
  public:
    explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t position() const { return pos_; }  // whole bytes consumed
    std::size_t size() const { return data_.size(); }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ >= data_.size(); }
    void Align() { bitCount_ = 0; }

    std::uint32_t ReadUB(unsigned bits);  // 0..32 bits
    std::int32_t ReadSB(unsigned bits);   // 0..32 bits, sign-extended
    double ReadFB(unsigned bits);         // signed 16.16 fixed point
    bool ReadFlag() { return ReadUB(1) != 0; }

    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::int16_t ReadS16() { return static_cast<std::int16_t>(ReadU16()); }
    std::int32_t ReadS32() { return static_cast<std::int32_t>(ReadU32()); }
    double ReadFixed8();  // signed 8.8
    double ReadFixed();   // signed 16.16
    float ReadFloat();
    std::uint32_t ReadEncodedU32();
    // A NUL-terminated string, without its NUL, bytes as stored.
    std::string ReadString();
    // A string of a given byte length (a trailing NUL is dropped).
    std::string ReadString(std::size_t length);

    std::span<const std::uint8_t> ReadBytes(std::size_t count);
    std::span<const std::uint8_t> ReadRest();
    void Skip(std::size_t count) { ReadBytes(count); }
    void Seek(std::size_t position);

    Rect ReadRect();
    Matrix ReadMatrix();
    ColorTransform ReadColorTransform(bool withAlpha);
    Rgba ReadRgb();
    Rgba ReadRgba();
    Rgba ReadArgb();

  private:
    [[noreturn]] static void Overrun();

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    std::uint8_t bits_ = 0;  // the partly read byte
    unsigned bitCount_ = 0;  // bits of it still unread
};

}  // namespace flash::swf
