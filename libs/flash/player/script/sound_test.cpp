// The runtime's sound: sound tags on the timeline reach the player's mixer as Flash plays
// them, on movies written with swfgen and a mixer that renders on request.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "display/movie_clip.h"
#include "flash/media/movie_sound.h"
#include "flash/player/player.h"
#include "flash/swf/movie.h"
#include "runtime/runtime.h"
#include "test_movies.h"

namespace flash {
namespace {

using namespace testmovies;

constexpr double kFps = 10;
constexpr std::size_t kPerFrame = 4410;  // mixer frames per movie frame

// 44.1 kHz mono 16-bit PCM of one level throughout: what plays reads straight off.
std::vector<std::uint8_t> Level(std::size_t samples, int value) {
    std::vector<std::uint8_t> data;
    for (std::size_t i = 0; i < samples; ++i) {
        data.push_back(static_cast<std::uint8_t>(value & 0xFF));
        data.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
    }
    return data;
}

swf::Sound PcmSound(std::size_t samples, int value) {
    swf::Sound s;
    s.format = swf::SoundFormat::PcmLittleEndian;
    s.rate = 3;
    s.is16Bit = true;
    s.sampleCount = static_cast<std::uint32_t>(samples);
    s.data = Level(samples, value);
    return s;
}

swf::SoundStreamHead PcmHead() {
    swf::SoundStreamHead h;
    h.version = 2;
    h.format = swf::SoundFormat::PcmLittleEndian;
    h.rate = 3;
    h.playbackRate = 3;
    h.sampleCount = kPerFrame;
    return h;
}

// A movie of `frames` frames with a stream block in each (frame f plays level 100 * (f + 1)),
// an event sound (level 1000, 10 frames long) started in frame 0.
swfgen::MovieWriter StreamMovie(int frames) {
    swfgen::MovieWriter m(6, kStage, kFps);
    m.DefineSound(1, PcmSound(10 * kPerFrame, 1000));
    m.SoundStreamHead(PcmHead());
    for (int f = 0; f < frames; ++f) {
        if (f == 0) {
            swf::StartSound start;
            start.soundId = 1;
            m.StartSound(start);
        }
        m.SoundStreamBlock(Level(kPerFrame, 100 * (f + 1)));
        m.ShowFrame();
    }
    return m;
}

class SoundTest : public ::testing::Test {
  protected:
    SoundTest()
        : mixer(
              [this] {
                  auto out = std::make_unique<media::ManualOutput>();
                  output = out.get();
                  return out;
              },
              false) {
        runtime.SetSoundMixer(&mixer, false);
    }

    MovieClip& Load(const swfgen::MovieWriter& movie) {
        swfgen::Bytes bytes = movie.Build();
        runtime.Load(0, std::make_shared<const swf::Movie>(swf::ParseMovie(bytes)),
                     "file:///test.swf", true);
        return *runtime.LevelClip(0);
    }
    // The level that plays now, after a frame's time.
    int Heard() {
        mixer.EnsureStarted();
        output->Pump(kPerFrame);
        return static_cast<int>(std::lround(output->Last()[2 * (kPerFrame - 1)] * 32768));
    }

    media::ManualOutput* output = nullptr;
    media::Mixer mixer;
    Runtime runtime{PlayerLimits{}};
};

TEST_F(SoundTest, StreamBlocksPlayFrameByFrameWithTheEventSound) {
    MovieClip& root = Load(StreamMovie(4));
    for (int f = 0; f < 3; ++f) {
        runtime.Advance();
        EXPECT_EQ(root.Frame(), f);
        EXPECT_EQ(Heard(), 1000 + 100 * (f + 1)) << f;
    }
    const media::StreamClock clock = runtime.Sound().Clock(&root);
    EXPECT_TRUE(clock.playing);
    EXPECT_EQ(clock.heardFrame, 3) << "the next frame is due";
}

TEST_F(SoundTest, AStoppedTimelineStopsItsStreamButNotItsEventSounds) {
    MovieClip& root = Load(StreamMovie(4));
    runtime.Advance();
    root.Stop();
    EXPECT_FALSE(runtime.Sound().Clock(&root).playing);
    EXPECT_EQ(Heard(), 1000);
    root.Play();
    runtime.Advance();
    EXPECT_EQ(Heard(), 1000 + 200) << "playing on resumes the stream where the timeline is";
}

TEST_F(SoundTest, AJumpRestartsTheStreamAtTheTarget) {
    MovieClip& root = Load(StreamMovie(6));
    runtime.Advance();
    root.GotoFrame(4, true);
    EXPECT_EQ(Heard(), 1000 + 500);
    root.GotoFrame(1, false);
    EXPECT_FALSE(runtime.Sound().Clock(&root).playing);
    EXPECT_EQ(Heard(), 1000);
}

TEST_F(SoundTest, StopAllSoundsStopsEverything) {
    swfgen::MovieWriter m = StreamMovie(1);
    m.DoAction(swfgen::ActionBuilder().Op(0x09).Build()).ShowFrame();
    MovieClip& root = Load(m);
    runtime.Advance();
    EXPECT_EQ(Heard(), 1100);
    runtime.Advance();
    EXPECT_EQ(root.Frame(), 1);
    EXPECT_EQ(Heard(), 0);
}

TEST_F(SoundTest, LoadingANewMovieSilencesTheOldOne) {
    Load(StreamMovie(4));
    runtime.Advance();
    swfgen::MovieWriter quiet(6, kStage, kFps);
    quiet.ShowFrame();
    Load(quiet);
    runtime.Advance();
    EXPECT_EQ(Heard(), 0);
}

TEST_F(SoundTest, ASpritesStreamGoesWithIt) {
    swfgen::TagList sprite;
    sprite.SoundStreamHead(PcmHead());
    for (int f = 0; f < 3; ++f) {
        sprite.SoundStreamBlock(Level(kPerFrame, 700)).ShowFrame();
    }
    swfgen::MovieWriter m(6, kStage, kFps);
    m.DefineSprite(5, sprite);
    m.PlaceObject2(PlaceNew(5, 1)).ShowFrame();
    m.RemoveObject2(1).ShowFrame();
    m.ShowFrame();
    Load(m);
    runtime.Advance();
    runtime.Advance();  // the sprite's frame 1, then it goes
    EXPECT_EQ(Heard(), 0);
}

// Scripts' Sound objects: a script in frame 0 works on the exported sound "tone" (level 1000)
// through `s`; what plays in each channel shows the volume and transform it set.
struct ScriptCall {
    std::string method;
    std::vector<double> args;
};

swfgen::ActionBuilder& CallOnS(swfgen::ActionBuilder& b, const ScriptCall& call) {
    if (call.method == "setTransform") {  // args: ll, lr, rr, rl
        const char* names[] = {"ll", "lr", "rr", "rl"};
        for (std::size_t i = 0; i < 4; ++i) {
            b.Push(names[i]).PushNumber(call.args[i]);
        }
        b.PushInteger(4).Op(0x43);  // InitObject
    } else if (call.method == "attachSound") {
        b.Push("tone");
    } else {
        for (auto it = call.args.rbegin(); it != call.args.rend(); ++it) {
            b.PushNumber(*it);
        }
    }
    const bool oneArg = call.method == "setTransform" || call.method == "attachSound";
    const int argc = oneArg ? 1 : static_cast<int>(call.args.size());
    return b.PushInteger(argc)
        .Push("s")
        .GetVariable()
        .Push(call.method)
        .Op(0x52)
        .Op(swfgen::kActionPop);
}

swfgen::MovieWriter ScriptSoundMovie(const std::string& target,
                                     const std::vector<ScriptCall>& calls,
                                     bool timelineSound = false) {
    swfgen::MovieWriter m(6, kStage, kFps);
    m.DefineSound(1, PcmSound(20 * kPerFrame, 1000));
    m.ExportAssets({{1, "tone"}});
    swfgen::ActionBuilder b;
    b.Push("s");
    if (!target.empty()) {
        b.Push(target).PushInteger(1);
    } else {
        b.PushInteger(0);
    }
    b.Push("Sound").Op(0x40).SetVariable();  // s = new Sound(target)
    // s.onSoundComplete = function () { trace("done"); }
    b.Push("s").GetVariable().Push("onSoundComplete");
    const std::uint8_t function[] = {0, 0, 0, 10, 0};  // no name, no parameters, 10 bytes
    b.Op(0x9B, function).Push("done").Trace().Op(swfgen::kActionSetMember);
    CallOnS(b, {"attachSound", {}});
    for (const ScriptCall& call : calls) {
        CallOnS(b, call);
    }
    m.DoAction(b.Build());
    if (timelineSound) {
        swf::StartSound start;
        start.soundId = 1;
        m.StartSound(start);
    }
    for (int f = 0; f < 30; ++f) {
        m.ShowFrame();
    }
    return m;
}

class ScriptSoundTest : public SoundTest, public PlayerListener {
  protected:
    ScriptSoundTest() { runtime.SetListener(this); }
    void OnTrace(const std::string& text) override { traces.push_back(text); }
    // Left and right after a frame's time.
    std::pair<int, int> HeardBoth() {
        mixer.EnsureStarted();
        output->Pump(kPerFrame);
        const float* last = &output->Last()[2 * (kPerFrame - 1)];
        return {static_cast<int>(std::lround(last[0] * 32768)),
                static_cast<int>(std::lround(last[1] * 32768))};
    }
    std::vector<std::string> traces;
};

TEST_F(ScriptSoundTest, VolumePanAndTransformShapeWhatPlays) {
    struct Case {
        const char* name;
        std::string target;
        std::vector<ScriptCall> calls;
        std::pair<int, int> heard;
        bool timelineSound = false;
    } cases[] = {
        {"no start, nothing plays", "", {}, {0, 0}},
        {"global sound at full volume", "", {{"start", {}}}, {1000, 1000}},
        {"global volume 50", "", {{"setVolume", {50}}, {"start", {}}}, {500, 500}},
        {"volume set while it plays", "_root", {{"start", {}}, {"setVolume", {10}}}, {100, 100}},
        {"pan fully left", "_root", {{"setPan", {-100}}, {"start", {}}}, {1000, 0}},
        {"pan half right", "", {{"setPan", {50}}, {"start", {}}}, {500, 1000}},
        {"transform with volume",
         "_root",
         {{"setTransform", {0, 50, 25, 0}}, {"setVolume", {50}}, {"start", {}}},
         {250, 125}},
        {"stopped", "_root", {{"start", {}}, {"stop", {}}}, {0, 0}},
        {"a missing target plays nothing", "nowhere", {{"start", {}}}, {0, 0}},
        {"the clip's volume scales its timeline sounds",
         "_root",
         {{"setVolume", {20}}},
         {200, 200},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(ScriptSoundMovie(c.target, c.calls, c.timelineSound));
        runtime.Advance();
        EXPECT_EQ(HeardBoth(), c.heard);
    }
}

TEST_F(ScriptSoundTest, OnSoundCompleteFollowsTheEndOfEachStart) {
    // A second loop of the whole sound, then a start of its last two frames.
    Load(ScriptSoundMovie("", {{"start", {0, 2}}, {"start", {18.0 * kPerFrame / 44100}}}));
    for (int f = 0; f < 45 && traces.size() < 2; ++f) {
        runtime.Advance();
        HeardBoth();
        if (f == 3) {
            EXPECT_EQ(traces, std::vector<std::string>{"done"}) << "the short start ended";
        }
    }
    EXPECT_EQ(traces, (std::vector<std::string>{"done", "done"}));
}

std::vector<std::uint8_t> Bytes(const swfgen::MovieWriter& movie) {
    swfgen::Bytes bytes = movie.Build();
    return {bytes.begin(), bytes.end()};
}

TEST(PlayerSoundTest, ASilentPlayerKeepsItsOwnClock) {
    Player player;
    EXPECT_FALSE(player.UsesSoundDevice());
    player.LoadMovieBytes(0, Bytes(StreamMovie(30)), "file:///test.swf");
    player.Play();
    for (int i = 0; i < 20; ++i) {
        player.Advance();
        ASSERT_EQ(player.FramesToRun(1), 1) << i;
    }
    EXPECT_EQ(player.CurrentFrame(), 19);
}

// Twenty frames of sound queued at once are far more than the device has played: the
// timeline waits for it.
TEST(PlayerSoundTest, WithTheDeviceAStreamedMovieWaitsForItsSound) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Player player;
    player.UseSoundDevice(true);
    player.LoadMovieBytes(0, Bytes(StreamMovie(40)), "file:///test.swf");
    player.Play();
    for (int i = 0; i < 20; ++i) {
        player.Advance();
    }
    EXPECT_EQ(player.FramesToRun(1), 0);
    EXPECT_EQ(player.FramesToRun(0), 0);
    player.Stop();
    EXPECT_EQ(player.FramesToRun(1), 1) << "without its stream the frame clock rules again";
}

TEST(PlayerSoundTest, TheVolumeStaysBetweenSilenceAndFull) {
    Player player;
    EXPECT_EQ(player.SoundVolume(), 1.0);
    for (auto [set, got] : {std::pair{0.25, 0.25}, {7.0, 1.0}, {-1.0, 0.0}}) {
        player.SetSoundVolume(set);
        EXPECT_EQ(player.SoundVolume(), got);
    }
}

}  // namespace
}  // namespace flash
