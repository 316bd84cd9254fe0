#pragma once

// Bit-level reading and writing, most significant bit first, for repacking codec data whose
// units are not byte aligned (SWF ADPCM blocks, Speex frames).

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace flash::media::detail {

class BitCursor {
  public:
    explicit BitCursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Position() const { return pos_; }
    std::size_t BitsLeft() const { return bytes_.size() * 8 - pos_; }
    // Up to 32 bits; bits past the end read as 0.
    std::uint32_t Peek(int count) const {
        std::uint32_t v = 0;
        for (int i = 0; i < count; ++i) {
            const std::size_t at = pos_ + static_cast<std::size_t>(i);
            const unsigned bit =
                at < bytes_.size() * 8 ? (bytes_[at / 8] >> (7 - at % 8)) & 1u : 0u;
            v = v << 1 | bit;
        }
        return v;
    }
    std::uint32_t Read(int count) {
        const std::uint32_t v = Peek(count);
        Skip(static_cast<std::size_t>(count));
        return v;
    }
    void Skip(std::size_t count) { pos_ = count > BitsLeft() ? bytes_.size() * 8 : pos_ + count; }
    void AlignToByte() { Skip((8 - pos_ % 8) % 8); }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

class BitWriter {
  public:
    void Put(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            PutBit((value >> i) & 1u);
        }
    }
    // Appends `count` bits of `src` starting at bit `from` (the caller checks the range).
    void Copy(std::span<const std::uint8_t> src, std::size_t from, std::size_t count) {
        std::size_t at = from;
        // Bit by bit up to a byte boundary of the source, then whole bytes.
        while (count > 0 && at % 8 != 0) {
            PutBit((src[at / 8] >> (7 - at % 8)) & 1u);
            ++at;
            --count;
        }
        while (count >= 8) {
            Put(src[at / 8], 8);
            at += 8;
            count -= 8;
        }
        while (count > 0) {
            PutBit((src[at / 8] >> (7 - at % 8)) & 1u);
            ++at;
            --count;
        }
    }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }
    void Clear() {
        bytes_.clear();
        bits_ = 0;
    }

  private:
    void PutBit(unsigned bit) {
        if (bits_ % 8 == 0) {
            bytes_.push_back(0);
        }
        if (bit != 0) {
            bytes_.back() = static_cast<std::uint8_t>(bytes_.back() | (0x80u >> (bits_ % 8)));
        }
        ++bits_;
    }

    std::vector<std::uint8_t> bytes_;
    std::size_t bits_ = 0;
};

}  // namespace flash::media::detail
