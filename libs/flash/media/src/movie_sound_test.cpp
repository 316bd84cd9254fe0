#include "flash/media/movie_sound.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "platform/wave_out.h"
#include "signals.h"
#include "tovi/testing/files.h"

namespace flash::media {
namespace {

// 44.1 kHz mono 16-bit PCM: one mixer frame per sample, so positions read straight off.
std::shared_ptr<const swf::Sound> PcmSound(std::size_t frames,
                                           const std::function<std::int16_t(std::size_t)>& value) {
    auto s = std::make_shared<swf::Sound>();
    s->format = swf::SoundFormat::PcmLittleEndian;
    s->rate = 3;
    s->is16Bit = true;
    s->sampleCount = static_cast<std::uint32_t>(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::uint16_t>(value(i));
        s->data.push_back(static_cast<std::uint8_t>(v & 0xFF));
        s->data.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return s;
}

std::shared_ptr<const swf::Sound> Constant(std::size_t frames, double level) {
    return PcmSound(frames,
                    [level](std::size_t) { return static_cast<std::int16_t>(level * 32768); });
}

class MovieSoundTest : public ::testing::Test {
  protected:
    MovieSoundTest()
        : mixer(
              [this] {
                  auto out = std::make_unique<ManualOutput>();
                  output = out.get();
                  return out;
              },
              /*applyOutputVolume=*/false),
          sound(mixer, {.decodeInBackground = false}) {}

    // Renders `frames` frames; the left (or right) channel of what came out.
    std::vector<float> Pump(std::size_t frames, int channel = 0) {
        mixer.EnsureStarted();
        output->Pump(frames);
        std::vector<float> ch(frames);
        for (std::size_t i = 0; i < frames; ++i) {
            ch[i] = output->Last()[2 * i + static_cast<std::size_t>(channel)];
        }
        return ch;
    }
    std::vector<float> Right() const {
        std::vector<float> ch(output->Last().size() / 2);
        for (std::size_t i = 0; i < ch.size(); ++i) {
            ch[i] = output->Last()[2 * i + 1];
        }
        return ch;
    }

    ManualOutput* output = nullptr;
    Mixer mixer;
    MovieSound sound;
};

swf::SoundInfo Loops(std::uint16_t n) {
    swf::SoundInfo info;
    info.loopCount = n;
    return info;
}

TEST_F(MovieSoundTest, AnEventSoundPlaysItsLoopsThenEnds) {
    const auto s = Constant(1000, 0.5);
    for (std::uint16_t loops : {0, 1, 3}) {
        SCOPED_TRACE(loops);
        const auto voice = sound.StartSound(s, Loops(loops));
        ASSERT_NE(voice, 0u);
        const std::size_t plays = std::max<std::size_t>(loops, 1) * 1000;
        const auto out = Pump(plays + 500);
        EXPECT_FLOAT_EQ(out[0], 0.5f);
        EXPECT_FLOAT_EQ(out[plays - 1], 0.5f);
        EXPECT_FLOAT_EQ(out[plays], 0.0f);
        EXPECT_FLOAT_EQ(Right()[plays - 1], 0.5f) << "mono plays on both channels";
        EXPECT_FALSE(sound.IsVoicePlaying(voice));
        EXPECT_EQ(sound.TakeFinished(), std::vector<MovieSound::VoiceId>{voice});
    }
}

TEST_F(MovieSoundTest, InAndOutPointsBoundEveryLoop) {
    const auto ramp = PcmSound(1000, [](std::size_t i) { return static_cast<std::int16_t>(i); });
    struct Case {
        std::optional<std::uint32_t> in, out;
        std::size_t first, last;  // the samples each pass plays
    } cases[] = {{100, 300, 100, 299},
                 {100, std::nullopt, 100, 999},
                 {std::nullopt, 10, 0, 9},
                 {500, 200, 500, 999} /* an out point before the in point is not followed */};
    for (const Case& c : cases) {
        swf::SoundInfo info = Loops(2);
        info.inPoint = c.in;
        info.outPoint = c.out;
        sound.StartSound(ramp, info);
        const std::size_t pass = c.last - c.first + 1;
        const auto out = Pump(2 * pass + 10);
        for (std::size_t loop = 0; loop < 2; ++loop) {
            EXPECT_FLOAT_EQ(out[loop * pass] * 32768, static_cast<float>(c.first));
            EXPECT_FLOAT_EQ(out[loop * pass + pass - 1] * 32768, static_cast<float>(c.last));
        }
        EXPECT_FLOAT_EQ(out[2 * pass], 0.0f);
    }
    swf::SoundInfo pastTheEnd;
    pastTheEnd.inPoint = 5000;
    sound.StartSound(ramp, pastTheEnd);
    Pump(10);
    EXPECT_FALSE(sound.IsPlaying(ramp.get()));
}

// Envelope points are 44.1 kHz positions from the start of the sound; levels run linearly
// between them, per channel, and on through the loops.
TEST_F(MovieSoundTest, TheEnvelopeShapesEachChannel) {
    const auto s = Constant(1000, 0.5);
    swf::SoundInfo info = Loops(2);
    info.inPoint = 200;
    info.envelope = {{400, 32768, 0}, {1400, 0, 32768}};
    sound.StartSound(s, info);
    const auto left = Pump(1700);
    const auto right = Right();
    struct Point {
        std::size_t at;  // output frame; envelope time is at + 200
        float left, right;
    } points[] = {{0, 0.5f, 0.0f},      {200, 0.5f, 0.0f},  {700, 0.25f, 0.25f},
                  {1100, 0.05f, 0.45f}, {1300, 0.0f, 0.5f}, {1599, 0.0f, 0.5f}};
    for (const Point& p : points) {
        EXPECT_NEAR(left[p.at], p.left, 1e-3) << p.at;
        EXPECT_NEAR(right[p.at], p.right, 1e-3) << p.at;
    }
    EXPECT_FLOAT_EQ(left[1600], 0.0f);
}

TEST_F(MovieSoundTest, StopAndNoMultipleFlags) {
    const auto s = Constant(10000, 0.25);
    const auto other = Constant(10000, 0.125);
    sound.StartSound(s, {});
    sound.StartSound(other, {});
    EXPECT_NE(sound.StartSound(s, {}), 0u) << "without the flag a second copy starts";
    EXPECT_FLOAT_EQ(Pump(10)[0], 0.625f);
    swf::SoundInfo noMultiple;
    noMultiple.syncNoMultiple = true;
    EXPECT_EQ(sound.StartSound(s, noMultiple), 0u);
    swf::SoundInfo stop;
    stop.syncStop = true;
    EXPECT_EQ(sound.StartSound(s, stop), 0u);
    EXPECT_FALSE(sound.IsPlaying(s.get()));
    EXPECT_TRUE(sound.IsPlaying(other.get()));
    EXPECT_FLOAT_EQ(Pump(10)[0], 0.125f);
    EXPECT_NE(sound.StartSound(s, noMultiple), 0u) << "starts again once stopped";
}

TEST_F(MovieSoundTest, VoicesBeyondTheLimitDoNotStart) {
    const auto s = Constant(100, 0.01);
    for (std::size_t i = 0; i < MovieSound::kMaxVoices; ++i) {
        ASSERT_NE(sound.StartSound(s, {}), 0u);
    }
    EXPECT_EQ(sound.StartSound(s, {}), 0u);
    Pump(200);
    EXPECT_NE(sound.StartSound(s, {}), 0u) << "room again once they ended";
}

TEST_F(MovieSoundTest, InstancesMixAtTheirOwnVolume) {
    MovieSound second(mixer, {.decodeInBackground = false});
    sound.StartSound(Constant(100, 0.5), {});
    second.StartSound(Constant(100, 0.25), {});
    sound.SetVolume(0.5);
    EXPECT_FLOAT_EQ(Pump(1)[0], 0.5f);
    second.SetVolume(0);
    EXPECT_FLOAT_EQ(Pump(1)[0], 0.25f);
    sound.SetVolume(7);
    EXPECT_FLOAT_EQ(Pump(1)[0], 0.5f);
    sound.StartSound(Constant(100, 0.75), {});
    EXPECT_FLOAT_EQ(Pump(1)[0], 1.0f) << "clipped";
}

TEST(MixerTest, TheProcessOutputVolumeScalesEachChannel) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    platform::ResetWaveOut();
    ASSERT_EQ(platform::WaveOutSetVolume(0, 0x4000u << 16 | 0x8000u), platform::kMmSysErrNoError);
    ManualOutput* output = nullptr;
    Mixer mixer([&] {
        auto out = std::make_unique<ManualOutput>();
        output = out.get();
        return out;
    });
    MovieSound sound(mixer, {.decodeInBackground = false});
    sound.StartSound(Constant(100, 0.5), {});
    output->Pump(1);
    EXPECT_NEAR(output->Last()[0], 0.25f, 1e-4);
    EXPECT_NEAR(output->Last()[1], 0.125f, 1e-4);
    platform::ResetWaveOut();
}

TEST(MovieSoundBackgroundTest, SoundsDecodeWhilePlayingAndCanBeDroppedMidway) {
    ManualOutput* output = nullptr;
    Mixer mixer(
        [&] {
            auto out = std::make_unique<ManualOutput>();
            output = out.get();
            return out;
        },
        false);
    testing::Tone tone{22050, true, 22050 * 20};
    auto mp3 = std::make_shared<swf::Sound>(testing::EncodeSound(swf::SoundFormat::Mp3, tone));
    {
        MovieSound sound(mixer);
        sound.StartSound(mp3, {});
        sound.WaitForDecoding();
        const auto decoded = sound.Decoded(mp3);
        EXPECT_TRUE(decoded->Complete());
        EXPECT_NEAR(static_cast<double>(decoded->Available()), 2.0 * tone.samples, 2400);
        output->Pump(44100);
        double energy = 0;
        for (float v : output->Last()) {
            energy += v * v;
        }
        EXPECT_GT(energy, 1000);
    }
    // Gone before its sound finished decoding.
    for (int i = 0; i < 3; ++i) {
        MovieSound sound(mixer);
        sound.StartSound(mp3, {});
    }
}

// Stream blocks of 4410 frames at 10 frames a second: each block's samples hold its frame
// number, so what plays tells which block it came from.
class StreamTest : public MovieSoundTest {
  protected:
    static constexpr std::size_t kPerFrame = 4410;
    const void* const timeline = &kPerFrame;

    void SetUp() override {
        swf::SoundStreamHead head;
        head.format = swf::SoundFormat::PcmLittleEndian;
        head.rate = 3;
        head.is16Bit = true;
        head.stereo = false;
        head.sampleCount = kPerFrame;
        sound.StreamHead(timeline, head, 10);
    }
    void Feed(int frame) {
        swf::SoundStreamBlock block;
        const auto value = static_cast<std::uint16_t>(frame * 100);
        for (std::size_t i = 0; i < kPerFrame; ++i) {
            block.data.push_back(static_cast<std::uint8_t>(value & 0xFF));
            block.data.push_back(static_cast<std::uint8_t>(value >> 8));
        }
        sound.StreamBlock(timeline, frame, block);
    }
    static int FrameOf(float v) { return static_cast<int>(std::lround(v * 32768 / 100)); }
};

TEST_F(StreamTest, BlocksPlayInOrderAndTheClockFollows) {
    Feed(0);
    EXPECT_EQ(sound.StreamSteps(timeline), 1);
    EXPECT_EQ(FrameOf(Pump(1000)[999]), 0);
    Feed(1);
    StreamClock c = sound.Clock(timeline);
    EXPECT_TRUE(c.playing);
    EXPECT_EQ(c.heardFrame, 0);
    EXPECT_NEAR(c.bufferedFrames, (2.0 * kPerFrame - 1000) / kPerFrame, 1e-9);
    const auto out = Pump(kPerFrame);
    EXPECT_EQ(FrameOf(out[kPerFrame - 1001]), 0);
    EXPECT_EQ(FrameOf(out[kPerFrame - 1000]), 1);
    EXPECT_EQ(sound.Clock(timeline).heardFrame, 1);
}

TEST_F(StreamTest, ATimelineAheadOfItsSoundWaits) {
    for (int f = 0; f < 3; ++f) {
        Feed(f);
    }
    EXPECT_EQ(sound.StreamSteps(timeline), 0);
    Pump(kPerFrame);
    EXPECT_EQ(sound.StreamSteps(timeline), 1);
}

// The sound ran on while the timeline stalled: the timeline skips the frames whose time has
// passed, and their sound is dropped so that sound and frames meet again.
TEST_F(StreamTest, ATimelineBehindItsSoundCatchesUp) {
    Feed(0);
    Pump(kPerFrame * 37 / 10);  // 2.7 frames' time with nothing queued
    const StreamClock c = sound.Clock(timeline);
    EXPECT_EQ(c.heardFrame, 3);
    EXPECT_NEAR(c.bufferedFrames, -2.7, 1e-9);
    EXPECT_EQ(sound.StreamSteps(timeline), 3);
    for (int f = 1; f <= 3; ++f) {
        Feed(f);
    }
    const auto out = Pump(kPerFrame);
    const std::size_t left = kPerFrame * 3 / 10;
    EXPECT_EQ(FrameOf(out[0]), 3);
    EXPECT_EQ(FrameOf(out[left - 1]), 3);
    EXPECT_EQ(out[left], 0.0f) << "the rest of frame 3 was late";
}

TEST_F(StreamTest, ASmallDelayPlaysLateInsteadOfDropping) {
    Feed(0);
    Pump(kPerFrame + 100);
    Feed(1);
    const auto out = Pump(kPerFrame);
    EXPECT_EQ(FrameOf(out[0]), 1);
    EXPECT_EQ(FrameOf(out[kPerFrame - 1]), 1);
}

TEST_F(StreamTest, StoppingSilencesTheStreamButNotEventSounds) {
    sound.StartSound(Constant(100000, 0.5), {});
    Feed(0);
    sound.StopStream(timeline);
    EXPECT_FALSE(sound.Clock(timeline).playing);
    EXPECT_EQ(sound.StreamSteps(timeline), 1);
    EXPECT_FLOAT_EQ(Pump(10)[0], 0.5f);
    // Playing again resumes wherever the timeline is.
    Feed(5);
    EXPECT_FLOAT_EQ(Pump(10)[0], 0.5f + 500 / 32768.0f);
    sound.StopAll();
    EXPECT_FLOAT_EQ(Pump(10)[0], 0.0f);
}

TEST_F(StreamTest, AJumpDropsWhatWasQueued) {
    Feed(0);
    Feed(1);
    Feed(7);
    EXPECT_EQ(sound.Clock(timeline).heardFrame, 7);
    EXPECT_EQ(FrameOf(Pump(10)[0]), 7);
    sound.RemoveStream(timeline);
    EXPECT_FALSE(sound.Clock(timeline).playing);
    EXPECT_EQ(Pump(10)[0], 0.0f);
}

TEST_F(StreamTest, AStreamThatRunsDryEndsAndStopsDrivingTheTimeline) {
    Feed(0);
    Pump(kPerFrame * 9);  // dry for 8 frames, under a second
    EXPECT_TRUE(sound.Clock(timeline).playing);
    Pump(kPerFrame * 3);
    EXPECT_FALSE(sound.Clock(timeline).playing);
    Feed(1);
    EXPECT_EQ(FrameOf(Pump(10)[0]), 1) << "blocks that come again play at once";
}

// Starting an MP3 stream anywhere but at its first block skips the block's seek samples.
TEST(StreamMp3Test, ARestartSkipsTheSeekSamplesOfItsBlock) {
    ManualOutput* output = nullptr;
    Mixer mixer(
        [&] {
            auto out = std::make_unique<ManualOutput>();
            output = out.get();
            return out;
        },
        false);
    const testing::Tone tone{22050, false, 22050};
    const auto packets = testing::EncodePackets("libmp3lame", tone);
    ASSERT_GT(packets.size(), 4u);
    swf::SoundStreamHead head;
    head.format = swf::SoundFormat::Mp3;
    head.rate = 2;
    head.sampleCount = 576;
    auto block = [&](std::size_t i, std::int16_t seek) {
        swf::SoundStreamBlock b;
        b.data.resize(4 + packets[i].size());
        b.data[0] = 0x40;  // SampleCount 576
        b.data[1] = 0x02;
        b.data[2] = static_cast<std::uint8_t>(seek & 0xFF);
        b.data[3] = static_cast<std::uint8_t>(seek >> 8 & 0xFF);
        std::copy(packets[i].begin(), packets[i].end(), b.data.begin() + 4);
        return b;
    };
    std::size_t queued[2] = {};
    for (std::int16_t seek : {0, 300}) {
        MovieSound sound(mixer, {.decodeInBackground = false});
        sound.StreamHead(&head, head, 38.28125);
        sound.StreamBlock(&head, 3, block(3, seek));
        sound.StreamBlock(&head, 4, block(4, 999));  // a continuation skips nothing
        const StreamClock c = sound.Clock(&head);
        queued[seek == 0 ? 0 : 1] =
            static_cast<std::size_t>(std::lround(c.bufferedFrames * kMixRate / 38.28125));
    }
    EXPECT_EQ(queued[0] - queued[1], 600u);
    (void)output;
}

// SDL's "disk" driver is a device that writes what it plays into a file.
TEST(SdlOutputTest, TheDevicePlaysWhatIsMixed) {
    tovi::testing::TempDir dir;
    const std::string file = (dir / "played.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    std::string error;
    auto mixer = std::make_unique<Mixer>([&] { return OpenSdlOutput(&error); }, false);
    {
        MovieSound sound(*mixer, {.decodeInBackground = false});
        const testing::Tone tone{44100, false, 44100};
        sound.StartSound(std::make_shared<swf::Sound>(
                             testing::EncodeSound(swf::SoundFormat::PcmLittleEndian, tone)),
                         {});
        EXPECT_TRUE(mixer->HasDevice()) << error;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (sound.TakeFinished().empty() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    mixer.reset();  // closes the device and its file
    const auto bytes = tovi::testing::ReadFileBytes(file);
    PcmBuffer played;
    for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
        float v;
        std::memcpy(&v, &bytes[i], 4);
        played.samples.push_back(static_cast<std::int16_t>(v * 32767));
    }
    ASSERT_GE(played.Frames(), 44100u);
    const auto m = testing::MeasureChannel(played, 1, 0, played.Frames());
    EXPECT_NEAR(m.frequency, 440, 2);
}

}  // namespace
}  // namespace flash::media
