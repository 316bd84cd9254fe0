// Prints what sound and video cost: CPU time per second of stream sound (decoding the blocks
// and mixing them), per second of event sound decoded, and per video frame decoded.
#include <cstdio>
#include <ctime>
#include <memory>

#include "flash/media/movie_sound.h"
#include "flash/media/video.h"
#include "signals.h"

namespace {

using namespace flash;
using namespace flash::media;

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Format {
    const char* name;
    swf::SoundFormat format;
    testing::Tone tone;
};

constexpr double kFps = 24;
constexpr int kSeconds = 20;

// The sound cut into one block per frame, as SoundStreamBlock carries it.
std::vector<swf::SoundStreamBlock> Blocks(const swf::Sound& sound, int rate) {
    std::vector<swf::SoundStreamBlock> blocks;
    const int perFrame = static_cast<int>(rate / kFps);
    const int frames = kSeconds * static_cast<int>(kFps);
    if (sound.format == swf::SoundFormat::Mp3) {
        // Whole MP3 frames per block, each block led by its sample count and seek field.
        const auto packets =
            testing::EncodePackets("libmp3lame", {rate, sound.stereo, rate * kSeconds});
        const int samplesPerPacket = rate >= 32000 ? 1152 : 576;
        double owed = 0;
        std::size_t next = 0;
        for (int f = 0; f < frames && next < packets.size(); ++f) {
            swf::SoundStreamBlock b;
            b.data = {0, 0, 0, 0};
            owed += perFrame;
            while (owed >= samplesPerPacket / 2.0 && next < packets.size()) {
                b.data.insert(b.data.end(), packets[next].begin(), packets[next].end());
                owed -= samplesPerPacket;
                ++next;
            }
            blocks.push_back(std::move(b));
        }
        return blocks;
    }
    // Fixed-size codecs: an equal share of the data per frame (ADPCM blocks are whole sounds).
    if (sound.format == swf::SoundFormat::Adpcm) {
        for (int f = 0; f < frames; ++f) {
            testing::Tone piece{rate, sound.stereo, perFrame};
            blocks.push_back({testing::EncodeSound(swf::SoundFormat::Adpcm, piece).data});
        }
        return blocks;
    }
    const std::size_t share = sound.data.size() / static_cast<std::size_t>(frames);
    for (int f = 0; f < frames; ++f) {
        blocks.push_back({{sound.data.begin() + static_cast<std::ptrdiff_t>(f * share),
                           sound.data.begin() + static_cast<std::ptrdiff_t>((f + 1) * share)}});
    }
    return blocks;
}

void StreamSound(const Format& f) {
    const swf::Sound sound = testing::EncodeSound(f.format, f.tone);
    if (sound.data.empty()) {
        std::printf("%-28s (no encoder)\n", f.name);
        return;
    }
    const auto blocks = Blocks(sound, f.tone.rate);
    ManualOutput* output = nullptr;
    Mixer mixer(
        [&] {
            auto out = std::make_unique<ManualOutput>();
            output = out.get();
            return out;
        },
        false);
    MovieSound player(mixer, {.decodeInBackground = false});
    swf::SoundStreamHead head;
    head.format = sound.format;
    head.rate = sound.rate;
    head.is16Bit = sound.is16Bit;
    head.stereo = sound.stereo;
    int key = 0;
    player.StreamHead(&key, head, kFps);
    mixer.EnsureStarted();
    const std::size_t perFrame = static_cast<std::size_t>(kMixRate / kFps);
    const double start = CpuSeconds();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        player.StreamBlock(&key, static_cast<int>(i), blocks[i]);
        output->Pump(perFrame);
    }
    const double cpu = CpuSeconds() - start;
    const double seconds = static_cast<double>(blocks.size()) / kFps;
    std::printf("%-28s %8.3f ms CPU per second of sound (%.1f%% of one core)\n", f.name,
                1000 * cpu / seconds, 100 * cpu / seconds);
}

void EventSound(const Format& f) {
    const swf::Sound sound = testing::EncodeSound(f.format, f.tone);
    if (sound.data.empty()) {
        return;
    }
    const double start = CpuSeconds();
    DecodedSound decoded;
    DecodeEventSound(sound, decoded);
    const double cpu = CpuSeconds() - start;
    const double seconds = static_cast<double>(decoded.Available()) / kMixRate;
    std::printf("%-28s %8.3f ms CPU per second decoded\n", f.name, 1000 * cpu / seconds);
}

void Video(const char* encoder, swf::VideoCodec codec, int width, int height) {
    constexpr int kFrames = 60;
    const auto packets = testing::EncodeVideo(encoder, width, height, kFrames, 30);
    swf::VideoStream stream;
    stream.codec = codec;
    stream.width = static_cast<std::uint16_t>(width);
    stream.height = static_cast<std::uint16_t>(height);
    VideoTrack track(stream);
    for (std::size_t i = 0; i < packets.size(); ++i) {
        track.AddFrame(static_cast<int>(i), packets[i].data);
    }
    const double start = CpuSeconds();
    for (int i = 0; i < kFrames; ++i) {
        track.Picture(i);
    }
    const double played = CpuSeconds() - start;
    const double seekStart = CpuSeconds();
    for (int i = 0; i < 10; ++i) {
        track.Picture(kFrames - 1 - 3 * i);
    }
    const double seek = (CpuSeconds() - seekStart) / 10;
    std::printf("%-10s %4dx%-4d %8.3f ms per frame played, %8.3f ms per seek back\n", encoder,
                width, height, 1000 * played / kFrames, 1000 * seek);
}

}  // namespace

int main() {
    const int n = 44100 * kSeconds;
    const Format formats[] = {
        {"mp3 44.1 kHz stereo", swf::SoundFormat::Mp3, {44100, true, n}},
        {"mp3 22 kHz mono", swf::SoundFormat::Mp3, {22050, false, n / 2}},
        {"adpcm 22 kHz stereo", swf::SoundFormat::Adpcm, {22050, true, n / 2}},
        {"pcm 16-bit 44.1 kHz stereo", swf::SoundFormat::PcmLittleEndian, {44100, true, n}},
        {"pcm 8-bit 5.5 kHz mono", swf::SoundFormat::PcmNative, {5512, false, n / 8}},
        {"nellymoser 22 kHz", swf::SoundFormat::Nellymoser, {22050, false, n / 2}},
        {"speex 16 kHz", swf::SoundFormat::Speex, {16000, false, 16000 * kSeconds}},
    };
    std::printf("Stream sound, %g frames a second, decode + mix:\n", kFps);
    for (const Format& f : formats) {
        StreamSound(f);
    }
    std::printf("\nEvent sound decoding:\n");
    for (const Format& f : formats) {
        EventSound(f);
    }
    std::printf("\nVideo decoding to ARGB32:\n");
    Video("flv", swf::VideoCodec::SorensonH263, 320, 240);
    Video("flv", swf::VideoCodec::SorensonH263, 640, 480);
    Video("flashsv", swf::VideoCodec::ScreenVideo, 640, 480);
    Video("flashsv2", swf::VideoCodec::ScreenVideo2, 640, 480);
    return 0;
}
