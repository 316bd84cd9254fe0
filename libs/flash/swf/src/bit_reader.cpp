#include "flash/swf/bit_reader.h"

#include <cstring>

#include "flash/swf/error.h"

namespace flash::swf {

void BitReader::Overrun() {
    throw ParseError("unexpected end of data");
}

std::uint32_t BitReader::ReadUB(unsigned bits) {
    if (bits > 32) {
        throw ParseError("bit field wider than 32 bits");
    }
    std::uint64_t value = 0;
    while (bits > 0) {
        if (bitCount_ == 0) {
            if (pos_ >= data_.size()) {
                Overrun();
            }
            bits_ = data_[pos_++];
            bitCount_ = 8;
        }
        const unsigned take = bits < bitCount_ ? bits : bitCount_;
        const unsigned shift = bitCount_ - take;
        value = (value << take) | ((bits_ >> shift) & ((1u << take) - 1));
        bitCount_ -= take;
        bits -= take;
    }
    return static_cast<std::uint32_t>(value);
}

std::int32_t BitReader::ReadSB(unsigned bits) {
    const std::uint32_t raw = ReadUB(bits);
    if (bits == 0 || bits == 32) {
        return static_cast<std::int32_t>(raw);
    }
    const std::uint32_t sign = 1u << (bits - 1);
    return static_cast<std::int32_t>((raw ^ sign) - sign);
}

double BitReader::ReadFB(unsigned bits) {
    return ReadSB(bits) / 65536.0;
}

std::uint8_t BitReader::ReadU8() {
    Align();
    if (pos_ >= data_.size()) {
        Overrun();
    }
    return data_[pos_++];
}

std::uint16_t BitReader::ReadU16() {
    const auto b = ReadBytes(2);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t BitReader::ReadU32() {
    const auto b = ReadBytes(4);
    return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
           (std::uint32_t(b[3]) << 24);
}

double BitReader::ReadFixed8() {
    return ReadS16() / 256.0;
}

double BitReader::ReadFixed() {
    return ReadS32() / 65536.0;
}

float BitReader::ReadFloat() {
    const std::uint32_t bits = ReadU32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

std::uint32_t BitReader::ReadEncodedU32() {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < 5; ++i) {
        const std::uint8_t b = ReadU8();
        value |= std::uint32_t(b & 0x7F) << (7 * i);
        if ((b & 0x80) == 0) {
            break;
        }
    }
    return value;
}

std::string BitReader::ReadString() {
    Align();
    if (pos_ >= data_.size()) {
        Overrun();
    }
    const void* end = std::memchr(data_.data() + pos_, 0, data_.size() - pos_);
    if (end == nullptr) {
        Overrun();
    }
    const auto length =
        static_cast<std::size_t>(static_cast<const std::uint8_t*>(end) - (data_.data() + pos_));
    std::string s(reinterpret_cast<const char*>(data_.data() + pos_), length);
    pos_ += length + 1;
    return s;
}

std::string BitReader::ReadString(std::size_t length) {
    const auto bytes = ReadBytes(length);
    std::string s(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const auto nul = s.find('\0');
    if (nul != std::string::npos) {
        s.resize(nul);
    }
    return s;
}

std::span<const std::uint8_t> BitReader::ReadBytes(std::size_t count) {
    Align();
    if (count > data_.size() - pos_) {
        Overrun();
    }
    const auto out = data_.subspan(pos_, count);
    pos_ += count;
    return out;
}

std::span<const std::uint8_t> BitReader::ReadRest() {
    Align();
    return ReadBytes(data_.size() - pos_);
}

void BitReader::Seek(std::size_t position) {
    Align();
    if (position > data_.size()) {
        Overrun();
    }
    pos_ = position;
}

Rect BitReader::ReadRect() {
    Align();
    const unsigned bits = ReadUB(5);
    Rect r;
    r.xmin = ReadSB(bits);
    r.xmax = ReadSB(bits);
    r.ymin = ReadSB(bits);
    r.ymax = ReadSB(bits);
    Align();
    return r;
}

Matrix BitReader::ReadMatrix() {
    Align();
    Matrix m;
    if (ReadFlag()) {
        const unsigned bits = ReadUB(5);
        m.a = ReadFB(bits);
        m.d = ReadFB(bits);
    }
    if (ReadFlag()) {
        const unsigned bits = ReadUB(5);
        m.b = ReadFB(bits);
        m.c = ReadFB(bits);
    }
    const unsigned bits = ReadUB(5);
    m.tx = ReadSB(bits);
    m.ty = ReadSB(bits);
    Align();
    return m;
}

ColorTransform BitReader::ReadColorTransform(bool withAlpha) {
    Align();
    const bool hasAdd = ReadFlag();
    const bool hasMult = ReadFlag();
    const unsigned bits = ReadUB(4);
    ColorTransform cx;
    if (hasMult) {
        cx.rMult = ReadSB(bits) / 256.0;
        cx.gMult = ReadSB(bits) / 256.0;
        cx.bMult = ReadSB(bits) / 256.0;
        if (withAlpha) {
            cx.aMult = ReadSB(bits) / 256.0;
        }
    }
    if (hasAdd) {
        cx.rAdd = ReadSB(bits);
        cx.gAdd = ReadSB(bits);
        cx.bAdd = ReadSB(bits);
        if (withAlpha) {
            cx.aAdd = ReadSB(bits);
        }
    }
    Align();
    return cx;
}

Rgba BitReader::ReadRgb() {
    const auto b = ReadBytes(3);
    return {b[0], b[1], b[2], 255};
}

Rgba BitReader::ReadRgba() {
    const auto b = ReadBytes(4);
    return {b[0], b[1], b[2], b[3]};
}

Rgba BitReader::ReadArgb() {
    const auto b = ReadBytes(4);
    return {b[1], b[2], b[3], b[0]};
}

}  // namespace flash::swf
