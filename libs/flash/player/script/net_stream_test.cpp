// NetConnection, NetStream and Video in the runtime: a movie plays FLV files written by the
// ffmpeg program and reports what happens through its handlers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "flash/player/image.h"
#include "flash/player/player.h"
#include "flv_files.h"
#include "swfgen/script_writer.h"
#include "test_movies.h"
#include "tovi/testing/files.h"

namespace flash {
namespace {

using namespace swfgen;

constexpr std::uint16_t kVideoId = 1;

// A movie with a Video "v" (320 x 240 at (100, 50) px) and a stream "ns" attached to it whose
// status codes and metadata go to trace; `play` names the file. `later` gives scripts for
// frames after the first; the movie stops at its last frame.
Bytes StreamMovie(const std::string& play, const std::map<int, Block>& later = {}) {
    MovieWriter m(8, testmovies::kStage, 20);
    m.SetBackgroundColor({0, 0, 0, 255});
    swf::VideoStream stream;
    stream.width = 320;
    stream.height = 240;
    m.DefineVideoStream(kVideoId, stream);
    Place video = testmovies::PlaceNew(kVideoId, 1, "v");
    video.matrix = Matrix::Translate(2000, 1000);
    m.PlaceObject2(video);
    ScriptWriter w;
    w.Set("nc", New("NetConnection"));
    w.Trace(Member(Var("nc"), "isConnected"));
    w.Do(Call(Var("nc"), "connect", {Null()}));
    w.Set("ns", New("NetStream", {Var("nc")}));
    w.Do(Call(Var("v"), "attachVideo", {Var("ns")}));
    w.SetMember(Var("ns"), "onStatus", Function({"info"}, [](ScriptWriter& f) {
                    f.Trace(Binary(0x47, Binary(0x47, Member(Var("info"), "level"), Str(" ")),
                                   Member(Var("info"), "code")));
                }));
    w.SetMember(Var("ns"), "onMetaData", Function({"m"}, [](ScriptWriter& f) {
                    f.Trace(Binary(0x47, Str("meta "),
                                   Binary(0x47, Member(Var("m"), "width"),
                                          Binary(0x47, Str("x"), Member(Var("m"), "height")))));
                }));
    w.Do(Call(Var("ns"), "play", {Str(play)}));
    if (later.empty()) {
        w.Stop();
    }
    m.DoAction(w.Build());
    m.ShowFrame();
    const int last = later.empty() ? 0 : later.rbegin()->first;
    for (int f = 1; f <= last; ++f) {
        auto it = later.find(f);
        if (it != later.end() || f == last) {
            ScriptWriter s;
            if (it != later.end()) {
                it->second(s);
            }
            if (f == last) {
                s.Stop();
            }
            m.DoAction(s.Build());
        }
        m.ShowFrame();
    }
    return m.Build();
}

class NetStreamTest : public ::testing::Test, public PlayerListener {
  protected:
    NetStreamTest() { player.SetListener(this); }
    void OnTrace(const std::string& line) override { traces.push_back(line); }

    void Load(const Bytes& movie) {
        player.LoadMovieBytes(0, {movie.begin(), movie.end()}, (dir / "movie.swf").string());
        player.Play();
    }

    void Run(int frames) {
        for (int i = 0; i < frames; ++i) {
            player.Advance();
        }
    }

    std::filesystem::path Make(media::testing::FlvRecipe recipe, const char* name = "clip.flv") {
        std::string log;
        EXPECT_TRUE(media::testing::MakeFlv(recipe, dir / name, &log)) << log;
        return dir / name;
    }

    tovi::testing::TempDir dir;
    Player player;
    std::vector<std::string> traces;
};

TEST_F(NetStreamTest, APlayedFileReportsAsFlashDoesAndShowsInTheVideo) {
    Make({.video = "flv", .audio = "libmp3lame", .width = 160, .height = 120, .seconds = 1});
    Load(StreamMovie("clip.flv"));  // beside the movie
    Run(40);
    const std::vector<std::string> expected = {"false",  // before connect(null)
                                               "status NetStream.Play.Start",
                                               "status NetStream.Buffer.Full",
                                               "meta 160x120",
                                               "status NetStream.Buffer.Flush",
                                               "status NetStream.Play.Stop",
                                               "status NetStream.Buffer.Empty"};
    EXPECT_EQ(traces, expected);
    EXPECT_EQ(player.GetVariable(L"_level0.v.width"), L"160");
    EXPECT_EQ(player.GetVariable(L"_level0.v.height"), L"120");
    // The picture fills the Video's 320 x 240 box at its place, nothing outside it.
    Image image(player.StageWidth(), player.StageHeight());
    player.Render(image);
    EXPECT_NE(image.Pixel(260, 170) & 0xFFFFFF, 0u);
    EXPECT_NE(image.Pixel(105, 55) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.Pixel(95, 45) & 0xFFFFFF, 0u);
    EXPECT_EQ(image.Pixel(425, 295) & 0xFFFFFF, 0u);
}

TEST_F(NetStreamTest, AMissingFileIsNotFound) {
    Load(StreamMovie("nothing.flv"));
    Run(5);
    EXPECT_EQ(traces, (std::vector<std::string>{"false", "error NetStream.Play.StreamNotFound"}));
    EXPECT_EQ(player.GetVariable(L"_level0.ns.time"), L"0");
}

TEST_F(NetStreamTest, PauseSeekAndTheFiguresAsScriptsSeeThem) {
    Make({.video = "flv", .fps = 10, .seconds = 4, .gop = 10});  // keyframes every second
    const Expr time = Member(Var("ns"), "time");
    Load(StreamMovie("clip.flv", {{20,
                                   [&](ScriptWriter& s) {
                                       s.Trace(time);
                                       s.Do(Call(Var("ns"), "pause"));
                                   }},
                                  {30,
                                   [&](ScriptWriter& s) {
                                       s.Trace(time);
                                       s.Do(Call(Var("ns"), "seek", {Num(2.5)}));
                                   }},
                                  {32,
                                   [&](ScriptWriter& s) {
                                       s.Trace(time);
                                       s.Do(Call(Var("ns"), "seek", {Num(60)}));
                                       s.Do(Call(Var("ns"), "pause", {Bool(false)}));
                                   }},
                                  {42, [&](ScriptWriter& s) { s.Trace(time); }}}));
    Run(45);
    const std::vector<std::string> expected = {
        "false",
        "status NetStream.Play.Start",
        "status NetStream.Buffer.Full",
        "meta 160x120",
        "1",  // 20 frames at 20 fps
        "1",  // paused: no status for that
        "status NetStream.Seek.Notify",
        "status NetStream.Buffer.Flush",  // read to the end from there
        "2",                              // the keyframe before 2.5
        "error NetStream.Seek.InvalidTime",
        "2.5"};
    EXPECT_EQ(traces, expected);
    EXPECT_EQ(player.GetVariable(L"_level0.ns.bufferTime"), L"0.1");
    EXPECT_EQ(player.GetVariable(L"_level0.ns.liveDelay"), L"0");
    EXPECT_NE(player.GetVariable(L"_level0.ns.bytesTotal"), L"0");
    EXPECT_EQ(player.GetVariable(L"_level0.ns.bytesLoaded"),
              player.GetVariable(L"_level0.ns.bytesTotal"));
}

}  // namespace
}  // namespace flash
