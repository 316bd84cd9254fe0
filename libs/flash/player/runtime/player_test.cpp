// The control's operations on the headless player.
#include "flash/player/player.h"

#include <gtest/gtest.h>

#include "test_movies.h"
#include "tovi/testing/files.h"

namespace flash {
namespace {

using namespace testmovies;

class Recorder : public PlayerListener {
  public:
    void OnTrace(const std::string& line) override { events.push_back("trace " + line); }
    void OnOpenPage(const std::string& url, const std::string& window) override {
        events.push_back("page " + url + " " + window);
    }
    void OnFsCommand(const std::string& command, const std::string& args) override {
        events.push_back("fscommand " + command + " " + args);
    }
    void OnOtherUrl(const std::string& url, const std::string& window) override {
        events.push_back("other " + url + " " + window);
    }
    std::vector<std::string> events;
};

// Five frames; each traces its number.
swfgen::MovieWriter CountingMovie() {
    swfgen::MovieWriter m(6, kStage, 24);
    m.SetBackgroundColor({10, 20, 30, 255});
    for (int i = 1; i <= 5; ++i) {
        m.DoAction(Trace("frame " + std::to_string(i))).ShowFrame();
    }
    return m;
}

TEST(PlayerTest, WithoutAMovieBehavesAsTheControl) {
    Player p;
    EXPECT_FALSE(p.HasMovie());
    EXPECT_EQ(p.TotalFrames(), 0);
    EXPECT_EQ(p.FrameNum(), 0);
    EXPECT_EQ(p.CurrentFrame(), 0);
    EXPECT_FALSE(p.IsPlaying());
    p.Play();
    p.GotoFrame(3);
    p.Rewind();
    p.Advance();
    EXPECT_FALSE(p.IsPlaying());
    EXPECT_EQ(p.GetVariable(L"_level0.x"), L"");
    p.SetVariable(L"_level0.x", L"1");
    Image image(4, 3);
    p.Render(image);
    EXPECT_EQ(image.Pixel(2, 1), 0xFFFFFFFFu);
}

TEST(PlayerTest, ScaleModeAndQuality) {
    Player p;
    EXPECT_EQ(p.ScaleMode(), 0);
    for (int mode : {1, 2, 3, 7, -4}) {
        p.SetScaleMode(mode);
        EXPECT_EQ(p.ScaleMode(), mode);
    }
    EXPECT_EQ(p.Quality2(), L"high");
    struct Case {
        const wchar_t* given;
        const wchar_t* read;
    } cases[] = {{L"LOW", L"low"},   {L"Medium", L"medium"}, {L"high", L"high"},
                 {L"best", L"high"}, {L"AutoLow", L"low"},   {L"autohigh", L"high"}};
    for (const auto& c : cases) {
        p.SetQuality2(c.given);
        EXPECT_EQ(p.Quality2(), c.read) << c.given;
    }
    p.SetQuality2(L"low");
    EXPECT_THROW(p.SetQuality2(L"ultra"), FlashError);
    EXPECT_EQ(p.Quality2(), L"low");
}

TEST(PlayerTest, LoadFailures) {
    tovi::testing::TempDir dir;
    tovi::testing::WriteFileText(dir / "text.swf", "plain text, not a movie");
    Player p;
    EXPECT_THROW(p.LoadMovie(0, (dir / "missing.swf").wstring()), FlashError);
    EXPECT_THROW(p.LoadMovie(0, (dir / "text.swf").wstring()), FlashError);
    EXPECT_THROW(p.LoadMovie(0, L"http://example.com/a.swf"), FlashError);
    EXPECT_THROW(p.LoadMovieBytes(0, {'F', 'W', 'S'}, ""), FlashError);
    EXPECT_THROW(p.LoadMovieBytes(-1, CountingMovie().Build(), ""), FlashError);
    EXPECT_THROW(p.LoadMovieBytes(100000, CountingMovie().Build(), ""), FlashError);
    EXPECT_FALSE(p.HasMovie());

    // A failed load leaves the movie shown before.
    CountingMovie().Save(dir / "ok.swf");
    p.LoadMovie(0, "file://" + (dir / "ok.swf").string());
    EXPECT_THROW(p.LoadMovie(0, (dir / "text.swf").wstring()), FlashError);
    EXPECT_EQ(p.TotalFrames(), 5);
}

TEST(PlayerTest, PlaybackOperations) {
    Recorder r;
    Player p;
    p.SetListener(&r);
    p.LoadMovieBytes(0, CountingMovie().Build(), "m.swf");
    EXPECT_EQ(p.TotalFrames(), 5);
    EXPECT_EQ(p.StageWidth(), 550);
    EXPECT_EQ(p.StageHeight(), 400);
    EXPECT_DOUBLE_EQ(p.FrameRate(), 24);
    // Loaded paused; the first frame comes with the first tick.
    EXPECT_FALSE(p.IsPlaying());
    p.Advance();
    p.Advance();
    EXPECT_EQ(p.CurrentFrame(), 0);
    p.Play();
    EXPECT_TRUE(p.IsPlaying());
    p.Advance();
    p.Advance();
    EXPECT_EQ(p.FrameNum(), 2);
    p.StopPlay();
    EXPECT_FALSE(p.IsPlaying());
    p.Advance();
    EXPECT_EQ(p.FrameNum(), 2);
    // GotoFrame shows the frame and runs its actions at once, keeping the play state.
    p.GotoFrame(4);
    EXPECT_EQ(p.CurrentFrame(), 4);
    p.GotoFrame(99);
    EXPECT_EQ(p.CurrentFrame(), 4);
    p.Rewind();
    EXPECT_EQ(p.CurrentFrame(), 0);
    EXPECT_FALSE(p.IsPlaying());
    p.Play();
    p.Advance();
    p.Stop();
    EXPECT_FALSE(p.IsPlaying());
    EXPECT_EQ(r.events,
              (std::vector<std::string>{"trace frame 1", "trace frame 2", "trace frame 3",
                                        "trace frame 5", "trace frame 1", "trace frame 2"}));
    Image image(2, 2);
    p.Render(image);
    EXPECT_EQ(image.Pixel(0, 0), 0xFF0A141Eu);
}

TEST(PlayerTest, VariablesByPath) {
    swfgen::MovieWriter m(6, kStage, 24);
    m.DoAction(swfgen::ActionBuilder().SetVar("strStatu", "Play").Build()).ShowFrame();
    m.DoAction(Trace("never")).ShowFrame();
    m.FrameLabel("two")
        .DoAction(swfgen::ActionBuilder()
                      .Push("path is ")
                      .Push("strPath")
                      .GetVariable()
                      .Op(swfgen::kActionStringAdd)
                      .Trace()
                      .Build())
        .ShowFrame();
    Recorder r;
    Player p;
    p.SetListener(&r);
    p.LoadMovieBytes(0, m.Build(), "m.swf");
    p.GotoFrame(0);
    EXPECT_EQ(p.GetVariable(L"_level0.strStatu"), L"Play");
    EXPECT_EQ(p.GetVariable(L"/:strStatu"), L"Play");
    EXPECT_EQ(p.GetVariable(L"_level0.nothing"), L"");
    EXPECT_EQ(p.GetVariable(L"_level0.missing.clip.x"), L"");
    p.SetVariable(L"_level0.strPath", L"C:\\电影\\a.flv");
    p.GotoFrame(2);
    EXPECT_EQ(r.events, (std::vector<std::string>{"trace path is C:\\电影\\a.flv"}));
}

TEST(PlayerTest, UrlsAreReportedNeverOpened) {
    swfgen::MovieWriter m(6, kStage, 24);
    swfgen::ActionBuilder a;
    a.GetUrl("https://example.com/x", "_blank")
        .GetUrl("mailto:someone@example.com", "")
        .GetUrl("FSCommand:quit", "true")
        .GetUrl("file:///bin/sh", "");
    m.DoAction(a.Build()).ShowFrame();
    Recorder r;
    Player p;
    p.SetListener(&r);
    p.LoadMovieBytes(0, m.Build(), "m.swf");
    p.Advance();
    EXPECT_EQ(r.events, (std::vector<std::string>{"page https://example.com/x _blank",
                                                  "other mailto:someone@example.com ",
                                                  "fscommand quit true", "other file:///bin/sh "}));
}

TEST(PlayerTest, HigherLayersPlayOverTheMovie) {
    Recorder r;
    Player p;
    p.SetListener(&r);
    p.LoadMovieBytes(0, CountingMovie().Build(), "a.swf");
    swfgen::MovieWriter over(6, kStage, 24);
    over.DoAction(Trace("over 1")).ShowFrame().DoAction(Trace("over 2")).ShowFrame();
    p.LoadMovieBytes(1, over.Build(), "b.swf");
    p.Advance();
    p.Advance();
    EXPECT_EQ(r.events,
              (std::vector<std::string>{"trace frame 1", "trace over 1", "trace over 2"}));
    // Layer 0 replaces everything.
    r.events.clear();
    p.LoadMovieBytes(0, over.Build(), "c.swf");
    p.Advance();
    EXPECT_EQ(r.events, (std::vector<std::string>{"trace over 1"}));
    EXPECT_EQ(p.TotalFrames(), 2);
}

TEST(PlayerTest, LoadMovieIntoAClipReplacesItsContent) {
    tovi::testing::TempDir dir;
    swfgen::MovieWriter child(6, kStage, 24);
    swfgen::ActionBuilder c;
    c.Push("child ").Push("_name").GetVariable().Op(swfgen::kActionAdd2);
    c.Push(" ").Op(swfgen::kActionAdd2).Push("v").GetVariable().Op(swfgen::kActionAdd2).Trace();
    child.DoAction(c.Build()).ShowFrame();
    child.Save(dir / "child.swf");

    // Frame 1 makes "holder" with a variable and loads into it; frame 2 reads the variable.
    swfgen::MovieWriter m(6, kStage, 24);
    swfgen::ActionBuilder a;
    a.PushInteger(1).Push("holder").PushInteger(2).Push("_root").GetVariable();
    a.Push("createEmptyMovieClip").Op(0x52).Op(swfgen::kActionPop);
    a.Push("holder.old").Push("x").SetVariable();
    const std::uint8_t loadIntoTarget = 0x40;
    a.Push("child.swf?v=a%20b").Push("holder").Op(swfgen::kActionGetUrl2, {&loadIntoTarget, 1});
    a.Push("missing.swf").Push("holder").Op(swfgen::kActionGetUrl2, {&loadIntoTarget, 1});
    m.DoAction(a.Build()).ShowFrame();
    m.DoAction(swfgen::ActionBuilder().Push("holder.old").GetVariable().Trace().Build())
        .ShowFrame();
    m.Save(dir / "main.swf");

    Recorder r;
    Player p;
    p.SetListener(&r);
    p.LoadMovie(0, (dir / "main.swf").wstring());
    p.Play();
    p.Advance();
    p.Advance();
    // The missing file leaves the loaded clip alone; the old variables went with the old clip.
    EXPECT_EQ(r.events, (std::vector<std::string>{"trace child holder a b", "trace undefined"}));
}

}  // namespace
}  // namespace flash

namespace flash {
namespace {

// Whether Advance() could change anything in a movie whose root sits stopped in frame 0
// holding the clip "child" (sprite 2: two frames, a square in each).
struct IdleCase {
    const char* name;
    bool childStops = true;        // the child's frame 0 stops it
    bool enterFrameEvent = false;  // onClipEvent(enterFrame) on the child
    std::string rootScript = {};   // runs in the root's frame 0, after stop()
    bool sound = false;            // frame 0 starts a long event sound
    bool playRoot = false;         // the host plays the root
    bool drag = false;             // the root's frame 0 drags the child
    bool canChange = false;
};

// function () {} as an anonymous DefineFunction, pushed on the stack.
swfgen::ActionBuilder& EmptyFunction(swfgen::ActionBuilder& b) {
    const std::uint8_t function[] = {0, 0, 0, 0, 0};  // no name, no parameters, empty body
    return b.Op(0x9B, function);
}

std::vector<std::uint8_t> IdleMovie(const IdleCase& c) {
    swfgen::MovieWriter m(6, kStage, 24);
    DefineSquare(m, 1);
    swfgen::TagList sprite(6);
    if (c.childStops) {
        sprite.DoAction(swfgen::ActionBuilder().Stop().Build());
    }
    sprite.PlaceObject2(PlaceNew(1, 1)).ShowFrame();
    sprite.PlaceObject2(MoveTo(1, 100, 100)).ShowFrame();
    m.DefineSprite(2, sprite);
    if (c.sound) {
        swf::Sound s;
        s.format = swf::SoundFormat::PcmLittleEndian;
        s.rate = 3;
        s.is16Bit = true;
        s.sampleCount = 44100 * 10;
        s.data.assign(std::size_t{2} * s.sampleCount, 0x10);
        m.DefineSound(3, s);
        swf::StartSound start;
        start.soundId = 3;
        m.StartSound(start);
    }
    swfgen::Place place = PlaceNew(2, 1, "child");
    if (c.enterFrameEvent) {
        place.clipActions.push_back({swf::kClipEnterFrame, 0, Trace("tick")});
    }
    m.PlaceObject2(place);
    swfgen::ActionBuilder script;
    if (!c.playRoot) {
        script.Stop();
    }
    if (c.rootScript == "onEnterFrame") {  // child.onEnterFrame = function () {};
        EmptyFunction(script.Push("child").GetVariable().Push("onEnterFrame"))
            .Op(swfgen::kActionSetMember);
    } else if (!c.rootScript.empty()) {  // setInterval or setTimeout (function () {}, 1000);
        EmptyFunction(script.PushNumber(1000))
            .PushInteger(2)
            .Push(c.rootScript)
            .Op(0x3D)
            .Op(swfgen::kActionPop);
    }
    if (c.drag) {
        // startDrag("child", false): no constraint, not locked to the centre.
        script.PushInteger(0).PushInteger(0).Push("child").Op(0x27);
    }
    m.DoAction(script.Build()).ShowFrame().ShowFrame();
    return m.Build();
}

TEST(PlayerTest, CanChangeOnlyWhileSomethingMovesOrWaits) {
    const IdleCase cases[] = {
        {.name = "stopped root, stopped child", .canChange = false},
        {.name = "playing child", .childStops = false, .canChange = true},
        {.name = "playing root", .playRoot = true, .canChange = true},
        {.name = "onEnterFrame on the child", .rootScript = "onEnterFrame", .canChange = true},
        {.name = "enterFrame clip event", .enterFrameEvent = true, .canChange = true},
        {.name = "pending interval", .rootScript = "setInterval", .canChange = true},
        {.name = "pending timeout", .rootScript = "setTimeout", .canChange = true},
        {.name = "playing sound", .sound = true, .canChange = true},
        {.name = "dragging the child", .drag = true, .canChange = true},
    };
    for (const IdleCase& c : cases) {
        SCOPED_TRACE(c.name);
        Player p;
        p.LoadMovieBytes(0, IdleMovie(c), "idle.swf");
        EXPECT_TRUE(p.CanChange()) << "the first frame is still to be entered";
        if (c.playRoot) {
            p.Play();
        }
        p.Advance();
        EXPECT_EQ(p.CanChange(), c.canChange);
    }
}

TEST(PlayerTest, IdleFramesKeepTheScriptClock) {
    Player p;
    p.LoadMovieBytes(0, IdleMovie({.name = "idle"}), "idle.swf");
    p.Advance();
    ASSERT_FALSE(p.CanChange());
    const double before = p.TimeMs();
    p.PassIdleFrames(12);
    EXPECT_DOUBLE_EQ(p.TimeMs(), before + 500);
    EXPECT_FALSE(p.CanChange());
    // A control call that sets something moving ends it.
    p.Play();
    EXPECT_TRUE(p.CanChange());
}

}  // namespace
}  // namespace flash
