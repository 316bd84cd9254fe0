#pragma once

// Test signals: sines written as SWF sound data of each format, through FFmpeg's encoders
// where the format needs one, and measurements of decoded mixer frames.

#include <cstdint>
#include <string>
#include <vector>

#include "flash/media/pcm.h"
#include "flash/swf/sound.h"

namespace flash::media::testing {

// A sine per channel: left at `hz`, right (when stereo) at 1.5 times that.
struct Tone {
    int rate = 44100;
    bool stereo = false;
    int samples = 44100;
    double hz = 440;
    double amplitude = 0.5;  // of full scale

    double Value(int channel, int i) const;
};

// The tone as a DefineSound of `format` (rate code, sizes and flags filled in). MP3 data
// starts with its seek field. Empty data when the encoder is missing.
swf::Sound EncodeSound(swf::SoundFormat format, const Tone& tone, bool is16Bit = true,
                       bool bigEndian = false);

// The codec packets of an encoder for the tone, as they come out.
std::vector<std::vector<std::uint8_t>> EncodePackets(const char* encoder, const Tone& tone,
                                                     int framesPerPacket = 0);

// A moving test picture: a grey background with a red square that moves right two pixels a
// frame, a green bar and a blue bar; BGRA bytes, `width` * 4 per row.
std::vector<std::uint8_t> TestPicture(int width, int height, int frame);

// Video packets of an encoder for `frames` test pictures, a keyframe every `gop` frames.
struct VideoPacket {
    std::vector<std::uint8_t> data;
    bool key = false;
};
std::vector<VideoPacket> EncodeVideo(const char* encoder, int width, int height, int frames,
                                     int gop);

// Measurements of one channel of decoded frames, over [from, to).
struct Measure {
    double frequency = 0;  // from zero crossings
    double rms = 0;        // of full scale
};
Measure MeasureChannel(const PcmBuffer& pcm, int channel, std::size_t from, std::size_t to);

}  // namespace flash::media::testing
