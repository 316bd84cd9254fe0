#include "codec_units.h"

#include "bits.h"

namespace flash::media::detail {

bool SplitAdpcm(std::span<const std::uint8_t> data, int channels, const PacketSink& sink) {
    BitCursor in(data);
    if (in.BitsLeft() < 2) {
        return false;
    }
    const std::uint32_t sizeField = in.Read(2);
    const std::size_t codeBits = sizeField + 2;
    const std::size_t headerBits = 22 * static_cast<std::size_t>(channels);
    const std::size_t codesPerSample = codeBits * static_cast<std::size_t>(channels);
    const std::size_t blockBits = headerBits + 4095 * codesPerSample;
    if (in.BitsLeft() < headerBits) {
        return false;
    }
    BitWriter out;
    while (in.BitsLeft() >= headerBits) {
        const std::size_t take = std::min(blockBits, in.BitsLeft());
        const int samples = 1 + static_cast<int>((take - headerBits) / codesPerSample);
        out.Clear();
        out.Put(sizeField, 2);
        out.Copy(data, in.Position(), take);
        in.Skip(take);
        if (!sink(out.Bytes(), samples)) {
            break;
        }
    }
    return true;
}

namespace {

// Bits per frame of each layer's modes, headers included (-1: no such mode).
constexpr int kNarrowbandBits[16] = {5,  43, 119, 160, 220, 300, 364, 492,
                                     79, -1, -1,  -1,  -1,  -1,  -1,  -1};
constexpr int kHighbandBits[8] = {4, 36, 112, 192, 352, -1, -1, -1};
constexpr std::uint32_t kTerminator = 15;  // a 0 (narrowband) and mode 15

// The length of the frame at the cursor, or 0 when no frame starts there.
std::size_t SpeexFrameBits(const BitCursor& at) {
    BitCursor in = at;
    if (in.BitsLeft() < 5 || in.Peek(1) != 0) {
        return 0;
    }
    const int narrow = kNarrowbandBits[in.Peek(5) & 15];
    if (narrow < 0 || in.BitsLeft() < static_cast<std::size_t>(narrow)) {
        return 0;
    }
    in.Skip(static_cast<std::size_t>(narrow));
    if (in.BitsLeft() >= 4 && in.Peek(1) == 1) {
        const int high = kHighbandBits[in.Peek(4) & 7];
        if (high < 0 || in.BitsLeft() < static_cast<std::size_t>(high)) {
            return 0;
        }
        in.Skip(static_cast<std::size_t>(high));
    }
    return in.Position() - at.Position();
}

// The padding after the last frame of a packet: a 0, then 1s up to the byte boundary (or
// only the 1s, when a terminator took the 0).
bool AtPadding(const BitCursor& in) {
    const int toBoundary = static_cast<int>((8 - in.Position() % 8) % 8);
    if (toBoundary == 0) {
        return false;
    }
    const std::uint32_t ones = (1u << toBoundary) - 1;
    const std::uint32_t bits = in.Peek(toBoundary);
    return bits == ones || bits == ones >> 1;
}

}  // namespace

bool SplitSpeex(std::span<const std::uint8_t> data, const PacketSink& sink) {
    BitCursor in(data);
    BitWriter out;
    while (in.BitsLeft() >= 5) {
        if (in.Peek(5) == kTerminator) {
            in.Skip(5);
            continue;
        }
        const std::size_t bits = SpeexFrameBits(in);
        if (bits == 0) {
            if (AtPadding(in)) {
                in.AlignToByte();
                continue;
            }
            return false;
        }
        out.Clear();
        out.Copy(data, in.Position(), bits);
        in.Skip(bits);
        if (!sink(out.Bytes(), 320)) {
            break;
        }
    }
    return true;
}

}  // namespace flash::media::detail
