#include "swfgen/bit_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace swfgen {

void BitWriter::UB(std::uint32_t value, unsigned bits) {
    for (unsigned i = bits; i-- > 0;) {
        if (used_ == 0) {
            bytes_.push_back(0);
        }
        if ((value >> i) & 1) {
            bytes_.back() |= static_cast<std::uint8_t>(0x80 >> used_);
        }
        used_ = (used_ + 1) % 8;
    }
}

void BitWriter::SB(std::int32_t value, unsigned bits) {
    UB(static_cast<std::uint32_t>(value) & (bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1)), bits);
}

void BitWriter::FB(double value, unsigned bits) {
    SB(static_cast<std::int32_t>(std::lround(value * 65536.0)), bits);
}

void BitWriter::Align() {
    used_ = 0;
}

void BitWriter::U8(std::uint8_t v) {
    Align();
    bytes_.push_back(v);
}

void BitWriter::U16(std::uint16_t v) {
    U8(v & 0xFF);
    U8(v >> 8);
}

void BitWriter::U32(std::uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
}

void BitWriter::Fixed8(double v) {
    S16(static_cast<std::int16_t>(std::lround(v * 256.0)));
}

void BitWriter::Fixed(double v) {
    U32(static_cast<std::uint32_t>(std::llround(v * 65536.0)));
}

void BitWriter::Float(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(bits);
}

void BitWriter::EncodedU32(std::uint32_t v) {
    do {
        std::uint8_t b = v & 0x7F;
        v >>= 7;
        if (v != 0) {
            b |= 0x80;
        }
        U8(b);
    } while (v != 0);
}

void BitWriter::String(std::string_view s) {
    Align();
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    bytes_.push_back(0);
}

void BitWriter::Append(std::span<const std::uint8_t> bytes) {
    Align();
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

unsigned BitWriter::SignedBits(std::int64_t v) {
    unsigned bits = 1;
    while (v < -(std::int64_t(1) << (bits - 1)) || v >= (std::int64_t(1) << (bits - 1))) {
        ++bits;
    }
    return bits;
}

unsigned BitWriter::UnsignedBits(std::uint64_t v) {
    unsigned bits = 0;
    while (bits < 64 && (v >> bits) != 0) {
        ++bits;
    }
    return bits;
}

void BitWriter::Rect(const flash::Rect& r) {
    Align();
    unsigned bits = 0;
    for (std::int32_t v : {r.xmin, r.xmax, r.ymin, r.ymax}) {
        bits = std::max(bits, SignedBits(v));
    }
    UB(bits, 5);
    SB(r.xmin, bits);
    SB(r.xmax, bits);
    SB(r.ymin, bits);
    SB(r.ymax, bits);
    Align();
}

void BitWriter::Matrix(const flash::Matrix& m) {
    Align();
    auto fixed = [](double v) { return std::llround(v * 65536.0); };
    const bool hasScale = m.a != 1 || m.d != 1;
    Flag(hasScale);
    if (hasScale) {
        const unsigned bits = std::max(SignedBits(fixed(m.a)), SignedBits(fixed(m.d)));
        UB(bits, 5);
        FB(m.a, bits);
        FB(m.d, bits);
    }
    const bool hasRotate = m.b != 0 || m.c != 0;
    Flag(hasRotate);
    if (hasRotate) {
        const unsigned bits = std::max(SignedBits(fixed(m.b)), SignedBits(fixed(m.c)));
        UB(bits, 5);
        FB(m.b, bits);
        FB(m.c, bits);
    }
    const auto tx = static_cast<std::int32_t>(std::lround(m.tx));
    const auto ty = static_cast<std::int32_t>(std::lround(m.ty));
    const unsigned bits = (tx == 0 && ty == 0) ? 0 : std::max(SignedBits(tx), SignedBits(ty));
    UB(bits, 5);
    SB(tx, bits);
    SB(ty, bits);
    Align();
}

void BitWriter::ColorTransform(const flash::ColorTransform& c, bool withAlpha) {
    Align();
    auto mult = [](double v) { return static_cast<std::int32_t>(std::lround(v * 256.0)); };
    auto add = [](double v) { return static_cast<std::int32_t>(std::lround(v)); };
    const std::int32_t mults[4] = {mult(c.rMult), mult(c.gMult), mult(c.bMult), mult(c.aMult)};
    const std::int32_t adds[4] = {add(c.rAdd), add(c.gAdd), add(c.bAdd), add(c.aAdd)};
    const unsigned n = withAlpha ? 4 : 3;
    bool hasMult = false;
    bool hasAdd = false;
    unsigned bits = 1;
    for (unsigned i = 0; i < n; ++i) {
        hasMult |= mults[i] != 256;
        hasAdd |= adds[i] != 0;
    }
    for (unsigned i = 0; i < n; ++i) {
        if (hasMult) {
            bits = std::max(bits, SignedBits(mults[i]));
        }
        if (hasAdd) {
            bits = std::max(bits, SignedBits(adds[i]));
        }
    }
    if (bits > 15) {
        throw std::invalid_argument("colour transform term out of range");
    }
    Flag(hasAdd);
    Flag(hasMult);
    UB(bits, 4);
    if (hasMult) {
        for (unsigned i = 0; i < n; ++i) {
            SB(mults[i], bits);
        }
    }
    if (hasAdd) {
        for (unsigned i = 0; i < n; ++i) {
            SB(adds[i], bits);
        }
    }
    Align();
}

void BitWriter::Rgb(flash::Rgba c) {
    U8(c.r);
    U8(c.g);
    U8(c.b);
}

void BitWriter::Rgba(flash::Rgba c) {
    Rgb(c);
    U8(c.a);
}

void BitWriter::Argb(flash::Rgba c) {
    U8(c.a);
    Rgb(c);
}

const Bytes& BitWriter::bytes() {
    Align();
    return bytes_;
}

}  // namespace swfgen
