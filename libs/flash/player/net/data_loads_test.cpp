// What movies load and keep: variables from files beside them or from a loopback server by
// the sandbox rules, and shared objects that outlive the player.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "flash/player/player.h"
#include "loopback_server.h"
#include "test_movies.h"
#include "tovi/testing/files.h"

namespace flash {
namespace {

using namespace testmovies;

constexpr std::uint8_t kCallMethod = 0x52;

class Traces : public PlayerListener {
  public:
    void OnTrace(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

// loadVariablesNum(url, 0) in frame 1; frame 2 traces `a` and stops.
swfgen::MovieWriter LoadVariablesMovie(const std::string& url, bool network) {
    swfgen::MovieWriter m(8, kStage, 24);
    if (network) {
        m.FileAttributes(0x01);
    }
    const std::uint8_t loadVariables = 0x80;
    m.DoAction(swfgen::ActionBuilder()
                   .Push(url)
                   .Push("_level0")
                   .Op(swfgen::kActionGetUrl2, {&loadVariables, 1})
                   .Build())
        .ShowFrame();
    m.DoAction(swfgen::ActionBuilder().Push("a").GetVariable().Trace().Stop().Build()).ShowFrame();
    return m;
}

std::vector<std::string> Play(const std::filesystem::path& movie, int frames) {
    Traces t;
    Player p;
    p.SetListener(&t);
    p.LoadMovie(0, movie.string());
    p.Play();
    for (int i = 0; i < frames; ++i) {
        p.Advance();
    }
    return t.lines;
}

TEST(DataLoadsTest, VariablesComeFromAFileBesideTheMovie) {
    tovi::testing::TempDir dir;
    std::ofstream(dir / "vars.txt") << "a=two+words%21&b=2";
    LoadVariablesMovie("vars.txt", false).Save(dir / "main.swf");
    EXPECT_EQ(Play(dir / "main.swf", 2), std::vector<std::string>{"two words!"});
}

std::string WideToUtf8Simple(const std::wstring& s) {
    return std::string(s.begin(), s.end());
}

// Waits, bounded, for `a` to arrive; gives it, or "" when nothing came.
std::string LoadFromServer(const std::filesystem::path& movie) {
    Traces t;
    Player p;
    p.SetListener(&t);
    p.LoadMovie(0, movie.string());
    p.Play();
    p.Advance();
    // Stopped on frame 2: the answer lands whenever it comes, and `a` is traced again.
    for (int i = 0; i < 200; ++i) {
        p.Advance();
        if (p.GetVariable(L"_level0.a") != L"") {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    t.lines.push_back(WideToUtf8Simple(p.GetVariable(L"_level0.a")));
    return t.lines.empty() ? "" : t.lines.back();
}

TEST(DataLoadsTest, OnlyAMovieWithTheNetworkFlagReachesTheServer) {
    LoopbackServer server(LoopbackServer::Response(200, "a=from+server"));
    tovi::testing::TempDir dir;
    LoadVariablesMovie(server.Url("/vars"), false).Save(dir / "local.swf");
    LoadVariablesMovie(server.Url("/vars"), true).Save(dir / "network.swf");
    std::ofstream(dir / "vars.txt") << "a=local";
    LoadVariablesMovie("vars.txt", true).Save(dir / "network_file.swf");

    EXPECT_EQ(LoadFromServer(dir / "local.swf"), "");
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_EQ(LoadFromServer(dir / "network.swf"), "from server");
    EXPECT_EQ(server.Requests().size(), 1u);
    // With network access, local files are out of reach.
    EXPECT_EQ(Play(dir / "network_file.swf", 3), std::vector<std::string>{"undefined"});
}

// so = SharedObject.getLocal("prefs"); trace(so.data.x); so.data.x = "kept"; and, when asked,
// trace(so.flush()).
swfgen::MovieWriter SharedObjectMovie(bool flush) {
    swfgen::ActionBuilder a;
    a.Push("so").Push("prefs").PushInteger(1).Push("SharedObject").GetVariable();
    a.Push("getLocal").Op(kCallMethod).SetVariable();
    a.Push("so").GetVariable().Push("data").Op(swfgen::kActionGetMember);
    a.Push("x").Op(swfgen::kActionGetMember).Trace();
    a.Push("so").GetVariable().Push("data").Op(swfgen::kActionGetMember);
    a.Push("x").Push("kept").Op(swfgen::kActionSetMember);
    if (flush) {
        a.PushInteger(0).Push("so").GetVariable().Push("flush").Op(kCallMethod).Trace();
    }
    swfgen::MovieWriter m(8, kStage, 24);
    m.DoAction(a.Build()).ShowFrame();
    return m;
}

TEST(SharedObjectTest, DataSurvivesClosingAndReopeningThePlayer) {
    for (bool flush : {true, false}) {
        tovi::testing::TempDir dir;
        SharedObjectMovie(flush).Save(dir / "game.swf");
        std::vector<std::string> first = Play(dir / "game.swf", 1);
        std::vector<std::string> second = Play(dir / "game.swf", 1);
        ASSERT_FALSE(first.empty());
        ASSERT_FALSE(second.empty());
        EXPECT_EQ(first[0], "undefined") << flush;
        EXPECT_EQ(second[0], "kept") << flush;
        if (flush) {
            EXPECT_EQ(first[1], "true");
        }
    }
}

}  // namespace
}  // namespace flash
