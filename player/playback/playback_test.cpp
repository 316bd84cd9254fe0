#include "playback/playback.h"

#include <gtest/gtest.h>

#include "host/testing/fake_control.h"
#include "tovi.h"

namespace {

using Calls = std::vector<std::string>;
using host::testing::FakeControl;
using host::testing::FakeControlState;

class PlaybackTest : public ::testing::Test {
  protected:
    PlaybackTest() : playback(control, settings) {
        playback.SetDataMovies("/p/Tools/start.swf", "/p/Tools/FLVPlayer.swf");
        flash.movies = {
            {"/p/Tools/start.swf", 20}, {"/p/Tools/FLVPlayer.swf", 7}, {"/m/a.swf", 100}};
    }

    Playback::LoadResult Load(const wxString& path) {
        return playback.Load(path, [this](long n) { loadedWith.push_back(n); });
    }

    FakeControl control;
    FakeControlState& flash = control.State();
    PlayerSettings settings;
    Playback playback;
    std::vector<long> loadedWith;
};

TEST_F(PlaybackTest, LoadsAnSwfAndPlaysIt) {
    settings.ScaleMode = 3;
    settings.PlayHuazhi = "low";
    Playback::LoadResult r = Load("/m/a.swf");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.frameCount, 100);
    EXPECT_EQ(flash.Take(), (Calls{"LoadMovie 0 /m/a.swf", "Play", "TotalFrames", "SetScaleMode 3",
                                   "SetQuality2 low"}));
    EXPECT_EQ(loadedWith, std::vector<long>{100});
    EXPECT_TRUE(playback.IsLoaded());
    EXPECT_FALSE(playback.IsFlv());
}

TEST_F(PlaybackTest, LoadsAnFlvThroughTheWrapperMovieWhateverTheCaseOfItsExtension) {
    for (const char* path : {"/m/v.flv", "/m/V.FLV"}) {
        Playback::LoadResult r = Load(path);
        EXPECT_TRUE(r.ok);
        EXPECT_EQ(r.frameCount, 0);
        EXPECT_EQ(flash.Take(),
                  (Calls{"LoadMovie 0 /p/Tools/FLVPlayer.swf", "GotoFrame 0", "Stop",
                         std::string("SetVariable _level0.strPath ") + path, "GotoFrame 1", "Stop",
                         "GotoFrame 2", "Stop", "SetScaleMode 0", "SetQuality2 high"}));
        EXPECT_TRUE(playback.IsFlv());
    }
    EXPECT_EQ(loadedWith, (std::vector<long>{0, 0}));
}

TEST_F(PlaybackTest, WithoutAFileTheStartMovieIsShownAndTheListsAreLeftAlone) {
    Playback::LoadResult r = Load("");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(flash.Take(), (Calls{"LoadMovie 0 /p/Tools/start.swf", "Play", "SetQuality2 high"}));
    EXPECT_TRUE(loadedWith.empty());
    EXPECT_FALSE(playback.IsLoaded());
}

TEST_F(PlaybackTest, AFailingCallEndsTheLoadWithTheMessageForItsKind) {
    struct Case {
        const char* path;
        std::string failing;
        const char* message;
        bool loadedAfter;
    } cases[] = {
        {"/m/missing.swf", "LoadMovie",
         "播放此动画失败，可能是因为您所播放的动画不是有效的Flash文档", false},
        {"/m/a.swf", "SetQuality2", "播放此动画失败，可能是因为您所播放的动画不是有效的Flash文档",
         true},
        {"/m/v.flv", "SetVariable",
         "播放此FLV动画失败，可能是因为您所播放的动画不是有效的Flash文档, 或软件已损坏", false},
        // A missing start movie is not reported.
        {"", "LoadMovie", "", false},
    };
    for (const Case& c : cases) {
        FakeControl fake;
        FakeControlState& f = fake.State();
        f.movies = flash.movies;
        f.failing = {c.failing};
        Playback p(fake, settings);
        p.SetDataMovies("/p/Tools/start.swf", "/p/Tools/FLVPlayer.swf");
        bool listsTouched = false;
        Playback::LoadResult r = p.Load(c.path, [&](long) { listsTouched = true; });
        EXPECT_FALSE(r.ok) << c.path;
        EXPECT_EQ(r.error, wxString::FromUTF8(c.message)) << c.path;
        EXPECT_EQ(p.IsLoaded(), c.loadedAfter) << c.path;
        EXPECT_EQ(listsTouched, c.loadedAfter) << c.path;
    }
}

TEST_F(PlaybackTest, PlayPauseOfAnFlvMovesTheWrapperBetweenItsFrames) {
    ASSERT_TRUE(Load("/m/v.flv").ok);
    const struct {
        long from;
        std::optional<long> to;
    } cases[] = {{3, 2}, {6, 2}, {2, 3}, {1, 0}, {0, std::nullopt}, {4, std::nullopt}};
    for (const auto& c : cases) {
        flash.frame = c.from;
        flash.Take();
        playback.PlayPause();
        Calls expected{"FrameNum"};
        if (c.to) {
            expected.push_back("GotoFrame " + std::to_string(*c.to));
            expected.push_back("Stop");
        }
        EXPECT_EQ(flash.Take(), expected) << "from " << c.from;
    }
}

TEST_F(PlaybackTest, PlayPauseOfAnSwfTogglesThePlayingState) {
    ASSERT_TRUE(Load("/m/a.swf").ok);
    flash.Take();
    playback.PlayPause();
    EXPECT_EQ(flash.Take(), (Calls{"IsPlaying", "StopPlay"}));
    playback.PlayPause();
    EXPECT_EQ(flash.Take(), (Calls{"IsPlaying", "Play"}));
}

TEST_F(PlaybackTest, StopRewindsAnSwfAndSendsAnFlvToItsStoppedFrame) {
    ASSERT_TRUE(Load("/m/a.swf").ok);
    flash.Take();
    playback.StopMovie();
    EXPECT_EQ(flash.Take(), (Calls{"Rewind", "Stop"}));
    ASSERT_TRUE(Load("/m/v.flv").ok);
    flash.Take();
    playback.StopMovie();
    EXPECT_EQ(flash.Take(), (Calls{"GotoFrame 6", "Stop"}));
}

TEST_F(PlaybackTest, PlayingStateOfAnFlvComesFromItsStatusText) {
    ASSERT_TRUE(Load("/m/v.flv").ok);
    for (const auto& [status, playing] : std::vector<std::pair<const char*, bool>>{
             {"Play", true}, {"BUFFERING", true}, {"pause", false}, {"", false}}) {
        flash.variables["_level0.strStatu"] = status;
        EXPECT_EQ(playback.IsPlaying(), playing) << status;
    }
}

TEST_F(PlaybackTest, QualityIsReadBackLowerCased) {
    playback.SetQuality("medium");
    EXPECT_EQ(flash.quality, "medium");
    flash.quality = "LOW";
    EXPECT_EQ(playback.SyncQuality(), "low");
    EXPECT_EQ(settings.PlayHuazhi, "low");
}

TEST_F(PlaybackTest, KeywordsRunTheirControlCallsInAnyCase) {
    const struct {
        const char* word;
        Calls calls;
        int navigated;  // 0 none, 1 forward, -1 backward
    } cases[] = {
        {"play", {"Play"}, 0},
        {"Replay", {"GotoFrame 0", "Play"}, 0},
        {"STOP", {"Rewind", "Stop"}, 0},
        {"susped", {"Stop"}, 0},
        {"Next", {}, 1},
        {"last", {}, -1},
        {"pause", {}, 0},
    };
    for (const auto& c : cases) {
        int navigated = 0;
        playback.RunKeyword(c.word, [&](bool forward) { navigated = forward ? 1 : -1; });
        EXPECT_EQ(flash.Take(), c.calls) << c.word;
        EXPECT_EQ(navigated, c.navigated) << c.word;
    }
}

TEST_F(PlaybackTest, MovieSizeOfAnFlvComesFromTheWrapperVariables) {
    stu_SwfInfo info{550, 400, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(Load("/m/v.flv").ok);
    flash.variables["_level0.flvPlayer.0._videoWidth"] = "320";
    flash.variables["_level0.flvPlayer.0._videoHeight"] = "abc";
    EXPECT_EQ(playback.MovieSize(info), wxSize(320, 0));
    ASSERT_TRUE(Load("/m/a.swf").ok);
    EXPECT_EQ(playback.MovieSize(info), wxSize(550, 400));
}

TEST(EndOfMovie, TheLastTwoFramesCallForThePlayModesKeyword) {
    const struct {
        long f, n;
        int mode;
        const char* keyword;  // null: nothing
    } cases[] = {
        {97, 100, kPlayModeOnce, nullptr},
        {98, 100, kPlayModeOnce, "stop"},
        {99, 100, kPlayModeOnce, "stop"},
        {98, 100, kPlayModeAuto, "next"},
        {98, 100, kPlayModeLoopOne, "replay"},
        {98, 100, kPlayModeLoopList, "next"},
        {98, 100, 7, nullptr},
        // Movies of one or two frames are always at their end.
        {0, 1, kPlayModeOnce, "stop"},
        {0, 2, kPlayModeLoopOne, "replay"},
        // Nothing loaded: 0 of 0 frames.
        {0, 0, kPlayModeOnce, "stop"},
    };
    for (const auto& c : cases) {
        auto k = EndOfMovieKeyword(c.f, c.n, 2, c.mode);
        if (c.keyword) {
            ASSERT_TRUE(k) << c.f << "/" << c.n;
            EXPECT_EQ(*k, c.keyword);
        } else {
            EXPECT_FALSE(k) << c.f << "/" << c.n;
        }
    }
}

TEST(EndOfMovie, IsLookedForTwicePerFrame) {
    EXPECT_EQ(EndCheckIntervalMs(12), 41);
    EXPECT_EQ(EndCheckIntervalMs(24), 20);
    EXPECT_EQ(EndCheckIntervalMs(1000), 1);
    EXPECT_EQ(EndCheckIntervalMs(0.5), 250);
    EXPECT_EQ(EndCheckIntervalMs(0), 41);
}

TEST(BestSize, ThePlayingAreaTakesTheMovieSizeButNotLessThan320By240) {
    const struct {
        wxSize movie;
        wxSize expected;
    } cases[] = {
        // A 100 x 50 movie gives an area of 320 x 240.
        {{100, 50}, {800 - 600 + 320, 700 - 450 + 240}},
        {{550, 400}, {800 - 600 + 550, 700 - 450 + 400}},
        {{2000000000, 2000000000}, {32767, 32767}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BestWindowSize({800, 700}, {600, 450}, c.movie), c.expected);
    }
}

TEST(BestSize, VideoDimensionsAreReadAsDecimalNumbers) {
    const struct {
        const char* text;
        int value;
    } cases[] = {{"320", 320},
                 {"  240", 240},
                 {"12.5", 12},
                 {"abc", 0},
                 {"", 0},
                 {"-7", -7},
                 {"+9", 9},
                 {"99999999999999999999", 2147483647},
                 {"0000000000000000012345", 12}};
    for (const auto& c : cases) {
        EXPECT_EQ(ParseVideoDimension(c.text), c.value) << c.text;
    }
}

}  // namespace
