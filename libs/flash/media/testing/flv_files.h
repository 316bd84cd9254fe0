#pragma once

// FLV files for tests: written by the ffmpeg program from its test pattern and a tone, or put
// together tag by tag (script data and PCM sound, for what ffmpeg does not write).

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "flash/swf/bitmap.h"

namespace flash::media::testing {

struct FlvRecipe {
    const char* video = "flv";  // an ffmpeg encoder, or null for none
    const char* audio = nullptr;
    int width = 160;
    int height = 120;
    int fps = 15;
    double seconds = 2;
    int gop = 10;  // a keyframe every this many frames
    int audioRate = 22050;
    const char* x264Preset = "ultrafast";
    const char* extra = "";  // more output options
};

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& file);
std::string ReadText(const std::filesystem::path& file);

// Writes the file; false with ffmpeg's complaint in *log.
bool MakeFlv(const FlvRecipe& recipe, const std::filesystem::path& out, std::string* log);

// Frame `index` of a file as ffmpeg itself decodes it, as BGRA; empty when it fails.
std::vector<std::uint8_t> FfmpegFrame(const std::filesystem::path& file, int index, int width,
                                      int height);

// Peak signal to noise ratio of an ARGB image against BGRA bytes of the same size, in dB over
// the colour channels.
double Psnr(const swf::Image& image, const std::vector<std::uint8_t>& bgra);

// An FLV put together from tags.
class FlvBuilder {
  public:
    FlvBuilder(bool audio, bool video);
    // A script data tag: the handler's name and one ECMA array of numbers and strings.
    FlvBuilder& Script(std::uint32_t ms, const std::string& name,
                       const std::vector<std::pair<std::string, double>>& numbers,
                       const std::vector<std::pair<std::string, std::string>>& strings = {});
    // A PCM sound tag: 44.1 kHz 16-bit stereo little-endian, `frames` frames of a square wave.
    FlvBuilder& Pcm(std::uint32_t ms, int frames);
    FlvBuilder& Tag(std::uint8_t type, std::uint32_t ms, const std::vector<std::uint8_t>& body);
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    void Save(const std::filesystem::path& file) const;

  private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace flash::media::testing
