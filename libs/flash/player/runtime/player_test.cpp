// The control's operations on the headless player.
#include "flash/player/player.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "swfgen/image_encoder.h"
#include "swfgen/script_writer.h"
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
    void OnPageRefused(const std::string& url, const std::string& window) override {
        events.push_back("refused " + url + " " + window);
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
    // No page opens without the user asking (see PagesOpenOnlyInAnswerToTheUser).
    EXPECT_EQ(r.events, (std::vector<std::string>{"refused https://example.com/x _blank",
                                                  "other mailto:someone@example.com ",
                                                  "fscommand quit true", "other file:///bin/sh "}));
}

swfgen::Bytes AskForPages(const std::string& what) {
    swfgen::ActionBuilder a;
    for (int i = 0; i < 500; ++i) {
        a.GetUrl("http://example.com/" + what, "_blank");
    }
    return a.Build();
}

// Flash's rule for pop-ups: a page opens only in answer to a click or a key press, one for
// each; the movie's other requests are refused and the first refusal is told to the host.
TEST(PlayerTest, PagesOpenOnlyInAnswerToTheUser) {
    Recorder r;
    Player p;
    p.SetListener(&r);
    p.LoadMovieBytes(0,
                     ActionButtonMovie(AskForPages("frame"), AskForPages("press"),
                                       AskForPages("release"), AskForPages("key"))
                         .Build(),
                     "flood.swf");
    p.Advance();
    p.Advance();
    EXPECT_EQ(r.events, (std::vector<std::string>{"refused http://example.com/frame _blank"}));
    r.events.clear();
    for (int click = 0; click < 2; ++click) {
        p.MouseMove(150, 150);
        p.MouseDown(150, 150);
        p.MouseUp(150, 150);
    }
    p.MouseMove(300, 300);
    p.MouseDown(300, 300);  // a press outside the button runs none of its actions
    p.MouseUp(300, 300);
    p.Advance();
    p.KeyDown('K', U'k');
    p.KeyUp('K', U'k');
    p.Advance();
    EXPECT_EQ(r.events, (std::vector<std::string>{"page http://example.com/press _blank",
                                                  "page http://example.com/press _blank",
                                                  "page http://example.com/key _blank"}));
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

swfgen::Bytes Script(const swfgen::Block& body) {
    swfgen::ScriptWriter w;
    body(w);
    return w.Build();
}

swfgen::Expr Concat(const std::string& text, swfgen::Expr value) {
    return swfgen::Binary(swfgen::kActionAdd2, swfgen::Str(text), std::move(value));
}

// An ImportAssets2 tag: symbols of `url` bound here under local ids.
void ImportAssets(swfgen::TagList& tags, const std::string& url,
                  const std::vector<std::pair<std::uint16_t, std::string>>& assets) {
    swfgen::Bytes body(url.begin(), url.end());
    body.insert(body.end(), {0, 1, 0, static_cast<std::uint8_t>(assets.size()), 0});
    for (const auto& [id, name] : assets) {
        body.insert(body.end(),
                    {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8)});
        body.insert(body.end(), name.begin(), name.end());
        body.push_back(0);
    }
    tags.Tag(swf::kTagImportAssets2, body);
}

// A library exporting a sprite (whose init actions and frame trace) and a font; the movie
// imports both under ids of its own, places the sprite, attaches it and asks for a symbol of
// a library that is not there.
TEST(PlayerTest, ImportedSymbolsComeFromTheLibraryBesideTheMovie) {
    using namespace swfgen;
    tovi::testing::TempDir dir;
    MovieWriter lib(8, kStage, 24);
    TagList sprite(8);
    sprite.DoAction(Script([](ScriptWriter& w) { w.Trace(Concat("frame of ", Var("_name"))); }))
        .ShowFrame();
    lib.DefineSprite(1, sprite);
    swf::Font font;
    font.version = 2;
    font.name = "LibFont";
    lib.DefineFont(2, font);
    lib.ExportAssets({{1, "item"}, {2, "libfont"}});
    lib.DoInitAction(1, Script([](ScriptWriter& w) { w.Trace(Concat("init on ", Var("this"))); }));
    lib.ShowFrame();
    lib.Save(dir / "lib.swf");

    MovieWriter m(8, kStage, 24);
    ImportAssets(m, "lib.swf", {{7, "item"}, {9, "libfont"}});
    ImportAssets(m, "none.swf", {{8, "gone"}});
    m.PlaceObject2(PlaceNew(7, 1, "placed")).ShowFrame();
    m.DoAction(Script([](ScriptWriter& w) {
         w.Trace(Call(Var("_root"), "attachMovie", {Str("item"), Str("a"), Num(2)}));
         w.Trace(Call(Var("_root"), "attachMovie", {Str("gone"), Str("b"), Num(3)}));
         w.Stop();
     })).ShowFrame();
    m.Save(dir / "main.swf");

    Recorder r;
    Player p;
    p.SetListener(&r);
    p.LoadMovie(0, (dir / "main.swf").wstring());
    p.Play();
    p.Advance();
    p.Advance();
    EXPECT_EQ(r.events,
              (std::vector<std::string>{"trace init on _level0", "trace frame of placed",
                                        "trace _level0.a", "trace undefined", "trace frame of a"}));
}

// MovieClipLoader: the file arrives at the end of the tick that asked for it (start, progress,
// complete), the clip shows it from the next tick and then hears onLoadInit; a file that is
// not there is an error in the same tick. An image loads as a clip of its size.
TEST(PlayerTest, ClipLoaderEventsComeInFlashOrder) {
    using namespace swfgen;
    tovi::testing::TempDir dir;
    MovieWriter child(8, kStage, 24);
    child.DoAction(Script([](ScriptWriter& w) { w.Trace(Str("child frame")); })).ShowFrame();
    child.Save(dir / "child.swf");
    Pixels pixels{3, 2, std::vector<std::uint32_t>(6, 0xFF00FF00)};
    Bytes png = EncodePng(pixels);
    std::ofstream(dir / "picture.gif", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));

    auto listener = [](const std::string& event, Block body) {
        return [event, body](ScriptWriter& w) {
            w.SetMember(Var("o"), event,
                        Function({"target", "a", "b"}, [event, body](ScriptWriter& f) {
                            f.Trace(Concat(event + " ", Var("target")));
                            if (body) {
                                body(f);
                            }
                        }));
        };
    };
    MovieWriter m(8, kStage, 24);
    m.DoAction(Script([&](ScriptWriter& w) {
         w.Set("o", New("Object"));
         listener("onLoadStart", [](ScriptWriter& f) { f.Trace(Member(Var("target"), "v")); })(w);
         listener("onLoadProgress", [](ScriptWriter& f) { f.Trace(Var("b")); })(w);
         listener("onLoadComplete", {})(w);
         listener("onLoadInit",
                  [](ScriptWriter& f) { f.Trace(Member(Var("target"), "_width")); })(w);
         listener("onLoadError", [](ScriptWriter& f) { f.Trace(Var("a")); })(w);
         w.Set("l", New("MovieClipLoader"));
         w.Do(Call(Var("l"), "addListener", {Var("o")}));
         w.Do(Call(Var("_root"), "createEmptyMovieClip", {Str("c.swf"), Num(1)}));
         w.Do(Call(Var("_root"), "createEmptyMovieClip", {Str("pic"), Num(2)}));
         w.SetMember(Member(Var("_root"), "pic"), "v", Str("old"));
         w.Do(Call(Var("l"), "loadClip", {Str("child.swf"), Member(Var("_root"), "c.swf")}));
         w.Do(Call(Var("l"), "loadClip", {Str("picture.gif"), Str("pic")}));
         w.Do(Call(Var("l"), "loadClip", {Str("missing.swf"), Num(5)}));
         w.Trace(Str("asked"));
     })).ShowFrame();
    m.DoAction(Script([](ScriptWriter& w) {
         w.Trace(Member(Call(Var("l"), "getProgress", {Str("pic")}), "bytesTotal"));
         w.Trace(Member(Call(Var("l"), "getProgress", {Num(4)}), "bytesTotal"));
         w.Trace(Call(Var("l"), "getProgress", {Var("o")}));
         w.Stop();
     })).ShowFrame();
    m.Save(dir / "main.swf");

    Recorder r;
    Player p;
    p.SetListener(&r);
    p.LoadMovie(0, (dir / "main.swf").wstring());
    p.Play();
    p.Advance();
    std::vector<std::string> first = {
        "trace asked",
        "trace onLoadStart _level0.c.swf",
        "trace undefined",
        "trace onLoadProgress _level0.c.swf",
        "trace " + std::to_string(std::filesystem::file_size(dir / "child.swf")),
        "trace onLoadComplete _level0.c.swf",
        "trace onLoadStart _level0.pic",
        "trace undefined",
        "trace onLoadProgress _level0.pic",
        "trace " + std::to_string(png.size()),
        "trace onLoadComplete _level0.pic",
        "trace onLoadError undefined",
        "trace URLNotFound",
    };
    EXPECT_EQ(r.events, first);
    r.events.clear();
    p.Advance();
    EXPECT_EQ(r.events, (std::vector<std::string>{
                            "trace child frame", "trace " + std::to_string(png.size()),
                            "trace undefined", "trace undefined", "trace onLoadInit _level0.c.swf",
                            "trace 0", "trace onLoadInit _level0.pic", "trace 3"}));
}

// removeMovieClip takes any object placed by script, text fields included, up to the
// highest depth a script may remove from.
TEST(PlayerTest, RemoveMovieClipTakesScriptPlacedObjectsInItsDepthRange) {
    struct Case {
        const char* make;  // createEmptyMovieClip or createTextField
        std::int32_t depth;
        const char* after;  // trace of the name after removing it
    };
    const Case cases[] = {{"createEmptyMovieClip", 2130690031, "undefined"},
                          {"createEmptyMovieClip", 2130690032, "_level0.o"},
                          {"createEmptyMovieClip", -1, "_level0.o"},
                          {"createTextField", 5, "undefined"}};
    for (const Case& t : cases) {
        swfgen::ActionBuilder a;
        a.PushInteger(10).PushInteger(10).PushInteger(0).PushInteger(0);
        a.PushInteger(t.depth).Push("o").PushInteger(6).Push("_root").GetVariable();
        a.Push(t.make).Op(0x52).Op(swfgen::kActionPop);
        a.Push("o").GetVariable().Op(0x25);  // RemoveSprite
        a.Push("o").GetVariable().Trace();
        swfgen::MovieWriter m(8, kStage, 24);
        m.DoAction(a.Build()).ShowFrame();
        Recorder r;
        Player p;
        p.SetListener(&r);
        p.LoadMovieBytes(0, m.Build(), "m.swf");
        p.Advance();
        EXPECT_EQ(r.events, (std::vector<std::string>{std::string("trace ") + t.after}))
            << t.make << " " << t.depth;
    }
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
