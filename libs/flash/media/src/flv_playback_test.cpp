#include "flash/media/flv_playback.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "flash/media/audio_output.h"
#include "flv_files.h"
#include "tovi/testing/files.h"

namespace flash::media {
namespace {

using testing::FlvBuilder;
using testing::FlvRecipe;
using testing::MakeFlv;

constexpr double kTick = 1.0 / 30;

// A playback over a file with a mixer that renders only when pumped.
class FlvPlaybackTest : public ::testing::Test {
  protected:
    FlvPlaybackTest()
        : mixer(
              [this] {
                  auto out = std::make_unique<ManualOutput>();
                  output = out.get();
                  return out;
              },
              /*applyOutputVolume=*/false) {}

    std::filesystem::path Make(const FlvRecipe& recipe, const char* name = "test.flv") {
        const auto path = dir / name;
        std::string log;
        EXPECT_TRUE(MakeFlv(recipe, path, &log)) << log;
        return path;
    }

    void Start(const std::filesystem::path& file, bool audioClock = false) {
        playback = std::make_unique<FlvPlayback>(FileOpener(file), mixer,
                                                 FlvPlayback::Options{.audioClock = audioClock});
    }

    // Ticks until `done` holds (the worker is given real time to keep up), at most 30 s.
    template <typename Done>
    bool TickUntil(Done done, double tick = kTick) {
        for (int i = 0; i < 3000; ++i) {
            Collect();
            if (done()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            playback->Tick(tick);
        }
        Collect();
        return done();
    }

    // Plays `seconds` of clock; the worker keeps up before each tick.
    void PlayFor(double seconds) {
        const double end = playback->Time() + seconds;
        TickUntil([&] { return playback->Time() + 1e-9 >= end; },
                  std::min(kTick, std::max(1e-6, end - playback->Time())));
    }

    void Collect() {
        for (FlvEvent& e : playback->TakeEvents()) {
            if (e.kind == FlvEvent::Kind::Status) {
                codes.push_back(e.code);
            } else {
                codes.push_back(e.handler);
                if (e.handler == "onMetaData") {
                    metadata = e.value;
                }
            }
            events.push_back(std::move(e));
        }
    }

    double PictureTime() const {
        const StreamPicture* p = playback->Picture();
        return p != nullptr ? p->time : -1;
    }

    bool Seen(const std::string& code) const {
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    }

    tovi::testing::TempDir dir;
    ManualOutput* output = nullptr;
    Mixer mixer;
    std::unique_ptr<FlvPlayback> playback;
    std::vector<std::string> codes;
    std::vector<FlvEvent> events;
    AmfValue metadata;
};

struct CodecCase {
    const char* name;
    const char* video;
    const char* audio;
    int videoCodecId;
    int audioCodecId;
};

// One file per codec the ffmpeg program writes into FLV.
constexpr CodecCase kCodecs[] = {
    {"flv1_mp3", "flv", "libmp3lame", 2, 2},     {"h264_aac", "libx264", "aac", 7, 10},
    {"flashsv", "flashsv", nullptr, 3, -1},      {"flashsv2", "flashsv2", nullptr, 6, -1},
    {"adpcm", nullptr, "adpcm_swf", 0, 1},       {"pcm", "flv", "pcm_s16le", 2, 3},
    {"nellymoser", nullptr, "nellymoser", 0, 6},
};

class FlvCodecTest : public FlvPlaybackTest, public ::testing::WithParamInterface<CodecCase> {};

TEST_P(FlvCodecTest, PlaysToTheEndReportingAsANetStreamDoes) {
    const CodecCase& c = GetParam();
    FlvRecipe recipe{.video = c.video, .audio = c.audio, .seconds = 1};
    if (std::string(c.name) == "nellymoser") {
        recipe.audioRate = 22050;
    }
    Start(Make(recipe));
    ASSERT_TRUE(TickUntil([&] { return playback->Ended() || playback->Failed(); }));
    EXPECT_EQ(codes.front(), "NetStream.Play.Start");
    ASSERT_TRUE(playback->Layout().has_value());
    EXPECT_EQ(playback->Layout()->videoCodecId, c.videoCodecId);
    EXPECT_EQ(playback->Layout()->audioCodecId, c.audioCodecId);
    EXPECT_TRUE(Seen("onMetaData"));
    std::vector<std::string> tail(codes.end() - 2, codes.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"NetStream.Play.Stop", "NetStream.Buffer.Empty"}));
    EXPECT_TRUE(Seen("NetStream.Buffer.Full"));
    EXPECT_TRUE(Seen("NetStream.Buffer.Flush"));
    EXPECT_NEAR(playback->Time(), 1.0, 0.2);  // the last sound packet may run over
    if (c.video != nullptr) {
        ASSERT_NE(playback->Picture(), nullptr);
        EXPECT_EQ(playback->Picture()->image.width, 160);
        EXPECT_EQ(playback->Picture()->image.height, 120);
    } else {
        EXPECT_EQ(playback->Picture(), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Codecs, FlvCodecTest, ::testing::ValuesIn(kCodecs),
                         [](const auto& p) { return std::string(p.param.name); });

struct PictureCase {
    const char* video;
    double minPsnr;
};

class FlvPictureTest : public FlvPlaybackTest, public ::testing::WithParamInterface<PictureCase> {};

// The picture shown at one second is the file's frame at one second, as ffmpeg decodes it.
TEST_P(FlvPictureTest, ThePictureAtATimeIsThatFrame) {
    const auto file = Make({.video = GetParam().video, .width = 192, .height = 144, .fps = 15});
    Start(file);
    PlayFor(1.0);
    ASSERT_NE(playback->Picture(), nullptr);
    EXPECT_NEAR(PictureTime(), 1.0, 1e-6);
    const auto expected = testing::FfmpegFrame(file, 15, 192, 144);
    ASSERT_FALSE(expected.empty());
    EXPECT_GE(testing::Psnr(playback->Picture()->image, expected), GetParam().minPsnr);
    // The frame before is a different picture: the check above tells frames apart.
    EXPECT_LT(testing::Psnr(playback->Picture()->image, testing::FfmpegFrame(file, 14, 192, 144)),
              GetParam().minPsnr);
}

INSTANTIATE_TEST_SUITE_P(Codecs, FlvPictureTest,
                         ::testing::Values(PictureCase{"flv", 35}, PictureCase{"libx264", 35}),
                         [](const auto& p) {
                             return std::string(p.param.video) == "flv" ? "flv1" : "h264";
                         });

TEST_F(FlvPlaybackTest, MetadataCarriesTheFilesFieldsAndKeyframes) {
    Start(Make({.video = "flv", .fps = 15, .seconds = 2, .extra = "-flvflags add_keyframe_index"}));
    ASSERT_TRUE(TickUntil([&] { return Seen("onMetaData"); }));
    EXPECT_NEAR(metadata.NumberOr("duration", 0), 2.0, 0.1);
    EXPECT_EQ(metadata.NumberOr("width", 0), 160);
    EXPECT_EQ(metadata.NumberOr("height", 0), 120);
    EXPECT_EQ(metadata.NumberOr("framerate", 0), 15);
    EXPECT_EQ(metadata.NumberOr("videocodecid", 0), 2);
    const AmfValue* keyframes = metadata.Find("keyframes");
    ASSERT_NE(keyframes, nullptr);
    const AmfValue* times = keyframes->Find("times");
    ASSERT_NE(times, nullptr);
    ASSERT_GE(times->elements.size(), 3u);
    EXPECT_NEAR(times->elements[1].number, 10.0 / 15, 0.01);
}

TEST_F(FlvPlaybackTest, SeekGoesToTheKeyframeAtOrBefore) {
    // Keyframes every 10 frames at 15 fps: 0, 0.667, 1.333, 2.0 s.
    Start(Make({.video = "flv", .fps = 15, .seconds = 3, .gop = 10}));
    PlayFor(0.2);
    struct {
        double to;
        double at;
    } cases[] = {{1.3, 10.0 / 15}, {1.34, 20.0 / 15}, {0.1, 0}, {2.5, 2.0}};
    for (const auto& c : cases) {
        codes.clear();
        playback->Seek(c.to);
        ASSERT_TRUE(TickUntil([&] { return Seen("NetStream.Seek.Notify"); })) << c.to;
        EXPECT_NEAR(playback->Time(), c.at, 0.02) << c.to;
        ASSERT_NE(playback->Picture(), nullptr);
        EXPECT_NEAR(PictureTime(), c.at, 0.02) << c.to;
    }
    codes.clear();
    playback->Seek(60);
    Collect();
    ASSERT_EQ(codes, std::vector<std::string>{"NetStream.Seek.InvalidTime"});
    EXPECT_EQ(events.back().level, "error");
    EXPECT_NEAR(events.back().details, 3.0, 0.1);
}

TEST_F(FlvPlaybackTest, PausedTheClockAndPictureStand) {
    Start(Make({.video = "flv", .seconds = 2}));
    PlayFor(0.5);
    playback->SetPaused(true);
    const double at = playback->Time();
    const std::uint64_t serial = playback->PictureSerial();
    for (int i = 0; i < 10; ++i) {
        playback->Tick(kTick);
    }
    EXPECT_EQ(playback->Time(), at);
    EXPECT_EQ(playback->PictureSerial(), serial);
    playback->SetPaused(false);
    PlayFor(0.3);
    EXPECT_GT(playback->PictureSerial(), serial);
    Collect();
    EXPECT_TRUE(Seen("NetStream.Pause.Notify"));
    EXPECT_TRUE(Seen("NetStream.Unpause.Notify"));
}

TEST_F(FlvPlaybackTest, SeekWhilePausedShowsThePictureThere) {
    Start(Make({.video = "flv", .fps = 15, .seconds = 2, .gop = 5}));
    PlayFor(0.1);
    playback->SetPaused(true);
    playback->Seek(1.0);
    ASSERT_TRUE(TickUntil([&] { return Seen("NetStream.Seek.Notify") && playback->Picture(); }));
    EXPECT_NEAR(PictureTime(), 1.0, 0.01);
    EXPECT_TRUE(playback->Paused());
}

// With sound the pictures follow what the mixer has played, and the sound reaches it.
TEST_F(FlvPlaybackTest, SoundDrivesTheClockAndReachesTheMixer) {
    Start(Make({.video = "flv", .audio = "libmp3lame", .seconds = 2, .audioRate = 44100}),
          /*audioClock=*/true);
    ASSERT_TRUE(TickUntil([&] { return Seen("NetStream.Buffer.Full"); }));
    double loudest = 0;
    for (int i = 0; i < 20; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        output->Pump(2205);  // 50 ms
        for (float v : output->Last()) {
            loudest = std::max(loudest, static_cast<double>(std::abs(v)));
        }
        playback->Tick(0);  // the frame clock says nothing
    }
    EXPECT_GT(loudest, 0.1);
    EXPECT_NEAR(playback->Time(), 1.0, 0.1);
    ASSERT_NE(playback->Picture(), nullptr);
    EXPECT_LE(PictureTime(), playback->Time() + 0.01);
    EXPECT_GT(PictureTime(), playback->Time() - 0.15);

    playback->SetVolume(0);
    output->Pump(2205);
    for (float v : output->Last()) {
        EXPECT_EQ(v, 0.0f);
    }
}

TEST_F(FlvPlaybackTest, ScriptDataArrivesWhenItsTimeComes) {
    FlvBuilder flv(true, false);
    flv.Script(0, "onMetaData", {{"duration", 1.0}})
        .Pcm(0, 11025)
        .Script(300, "onCuePoint", {{"time", 0.3}}, {{"name", "first"}})
        .Pcm(250, 11025)
        .Pcm(500, 11025)
        .Pcm(750, 11025);
    flv.Save(dir / "cues.flv");
    Start(dir / "cues.flv");
    ASSERT_TRUE(TickUntil([&] { return Seen("onMetaData"); }));
    EXPECT_FALSE(Seen("onCuePoint"));
    EXPECT_LT(playback->Time(), 0.3);
    ASSERT_TRUE(TickUntil([&] { return Seen("onCuePoint"); }));
    EXPECT_NEAR(playback->Time(), 0.3, kTick + 0.01);
    const AmfValue* name = events.back().value.Find("name");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->string, "first");
}

struct BadCase {
    const char* name;
    std::vector<std::uint8_t> bytes;  // none: no file at all
    bool missing;
    const char* first;  // the first status
};

class FlvBadInputTest : public FlvPlaybackTest, public ::testing::WithParamInterface<BadCase> {};

TEST_P(FlvBadInputTest, EndsWithAStatusNeverAHang) {
    const BadCase& c = GetParam();
    const auto file = dir / "bad.flv";
    if (!c.missing) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(c.bytes.data()),
                   static_cast<std::streamsize>(c.bytes.size()));
    }
    Start(file);
    ASSERT_TRUE(TickUntil([&] { return playback->Ended() || playback->Failed(); }));
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), c.first);
    if (std::string(c.first) == "NetStream.Play.StreamNotFound") {
        EXPECT_EQ(events.front().level, "error");
        EXPECT_EQ(codes.size(), 1u);
    } else {
        EXPECT_TRUE(Seen("NetStream.Play.Stop"));
    }
}

const std::vector<std::uint8_t> kHeaderOnly = {'F', 'L', 'V', 1, 5, 0, 0, 0, 9, 0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Inputs, FlvBadInputTest,
    ::testing::Values(
        BadCase{"missing", {}, true, "NetStream.Play.StreamNotFound"},
        BadCase{"empty", {}, false, "NetStream.Play.StreamNotFound"},
        BadCase{"text", {'h', 'e', 'l', 'l', 'o', '\n'}, false, "NetStream.Play.StreamNotFound"},
        BadCase{"header_only", kHeaderOnly, false, "NetStream.Play.Start"},
        BadCase{
            "tag_cut_off",
            {'F', 'L', 'V', 1, 1, 0, 0, 0, 9, 0, 0, 0, 0, 9, 0, 0x40, 0, 0, 0, 0, 0, 0, 0, 0x12},
            false,
            "NetStream.Play.Start"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(FlvPlaybackTest, ATruncatedFilePlaysWhatIsThere) {
    const auto whole = Make({.video = "flv", .audio = "libmp3lame", .seconds = 2});
    std::vector<std::uint8_t> bytes = testing::ReadFile(whole);
    bytes.resize(bytes.size() / 2);
    std::ofstream(dir / "half.flv", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    Start(dir / "half.flv");
    ASSERT_TRUE(TickUntil([&] { return playback->Ended(); }));
    EXPECT_TRUE(Seen("NetStream.Play.Stop"));
    EXPECT_GT(playback->Time(), 0.5);
    EXPECT_LT(playback->Time(), 1.8);
    EXPECT_NE(playback->Picture(), nullptr);
}

}  // namespace
}  // namespace flash::media
