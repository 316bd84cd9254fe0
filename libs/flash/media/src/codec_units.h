#pragma once

// Splitting SWF sound data into the packets the codecs take.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

namespace flash::media::detail {

// Receives one packet and the count of samples (per channel) it holds; false stops.
using PacketSink = std::function<bool(std::span<const std::uint8_t> packet, int samples)>;

// SWF ADPCM: a 2-bit code size, then blocks of 4096 samples per channel (an initial sample
// and step index per channel, then 4095 codes per channel) packed without byte alignment;
// the last block may be short. Each block goes out byte aligned behind its own code size.
// False when the data holds no whole block header.
bool SplitAdpcm(std::span<const std::uint8_t> data, int channels, const PacketSink& sink);

// Speex: wideband frames of 320 samples, packed without padding between them (a narrowband
// layer, then an optional high-band layer). Each frame goes out byte aligned on its own.
// Terminators and the padding that ends a packet are passed over, so packets may follow each
// other. False when something else stands where a frame should start (the rest is dropped).
bool SplitSpeex(std::span<const std::uint8_t> data, const PacketSink& sink);

}  // namespace flash::media::detail
