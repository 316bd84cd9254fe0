// The standalone player as a user meets it: the builder makes one from a movie, it starts,
// extracts, shows its title and plays; started again it reuses its cache; the bare stub
// started on its own stays untitled. The player is followed through its state probe file and
// the window title on the X server.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <thread>

#include "platform/messages.h"
#include "platform/text.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"
#include "tovi.h"
#include "tovi/testing/files.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const std::string kInitialTitle = "无标题 - ToviFlash播放器 [独立版]";

// A 24-frame movie of a square crossing a 400 x 300 stage.
void WriteMovie(const fs::path& file) {
    swfgen::MovieWriter movie(8, flash::Rect{0, 400 * 20, 0, 300 * 20}, 24.0);
    movie.SetBackgroundColor(flash::Rgba{255, 255, 255, 255});
    swfgen::ShapeBuilder square;
    square.Fill1(square.AddSolidFill(flash::Rgba{200, 30, 30, 255}));
    square.Rectangle(flash::Rect{0, 60 * 20, 0, 60 * 20});
    const auto body = square.DefineShape(1, 1);
    movie.Tag(2, body);  // DefineShape
    for (int frame = 0; frame < 24; ++frame) {
        swfgen::Place place;
        place.depth = 1;
        place.move = frame > 0;
        if (frame == 0) {
            place.characterId = 1;
        }
        flash::Matrix m;
        m.tx = frame * 14 * 20;
        m.ty = 120 * 20;
        place.matrix = m;
        movie.PlaceObject2(place);
        movie.ShowFrame();
    }
    movie.Save(file);
}

class Receiver : public platform::MessageWindow {
  public:
    platform::LRESULT HandleMessage(platform::UINT, platform::WPARAM wParam,
                                    platform::LPARAM lParam) override {
        if (wParam == 1) {
            texts.push_back(platform::Utf8FromWide(reinterpret_cast<const wchar_t*>(lParam)));
        }
        return 0;
    }
    std::vector<std::string> texts;
};

// A program started with the probe file set, ended with the test.
class Player {
  public:
    Player(const std::string& program, const std::string& probe) : probe_(probe) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            env.emplace_back(*e);
        }
        env.push_back("TOVI_PLAYER_PROBE=" + probe);
        std::vector<char*> envp;
        for (auto& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        std::string arg0 = program;
        char* argv[] = {arg0.data(), nullptr};
        if (::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
            pid_ = -1;
        }
    }
    ~Player() { Stop(); }

    void Stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        std::error_code ec;
        fs::remove(probe_, ec);
    }
    bool Running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

    std::map<std::string, std::string> State() const {
        std::map<std::string, std::string> values;
        std::ifstream in(probe_);
        for (std::string line; std::getline(in, line);) {
            const auto eq = line.find('=');
            if (eq != std::string::npos) {
                values[line.substr(0, eq)] = line.substr(eq + 1);
            }
        }
        return values;
    }

    // Waits until the window reports the end of its extraction; its state then.
    std::map<std::string, std::string> WaitForResult(std::chrono::seconds timeout = 60s) const {
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < until && Running()) {
            auto state = State();
            if (!state["result"].empty() && state["result"] != "0") {
                return state;
            }
            std::this_thread::sleep_for(50ms);
        }
        return State();
    }

  private:
    pid_t pid_ = -1;
    std::string probe_;
};

// The title the X server holds for a top-level window whose title begins with `prefix`, as
// xwininfo lists the windows; empty when there is none or xwininfo is not installed.
std::string XWindowTitle(const std::string& prefix) {
    const std::string marker = "\"" + prefix;
    for (int i = 0; i < 100; ++i) {
        std::FILE* p = ::popen("xwininfo -root -children 2>/dev/null", "r");
        if (!p) {
            return {};
        }
        std::string found;
        char line[1024];
        while (std::fgets(line, sizeof line, p) != nullptr) {
            const std::string text = line;
            const auto start = text.find(marker);
            const auto end = text.find("\":", start == std::string::npos ? 0 : start + 1);
            if (start != std::string::npos && end != std::string::npos) {
                found = text.substr(start + 1, end - start - 1);
            }
        }
        ::pclose(p);
        if (!found.empty()) {
            return found;
        }
        std::this_thread::sleep_for(50ms);
    }
    return {};
}

bool HaveXwininfo() {
    return std::system("command -v xwininfo >/dev/null 2>&1") == 0;
}

class StandaloneE2eTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::getenv("DISPLAY")) {
            GTEST_SKIP() << "needs a display (run under xvfb-run)";
        }
    }
    std::string Probe() const { return (dir_ / "probe.txt").string(); }
    tovi::testing::TempDir dir_;
};

TEST_F(StandaloneE2eTest, BuiltPlayerExtractsPlaysAndReusesItsCache) {
    const fs::path swf = dir_ / "card.swf";
    WriteMovie(swf);
    stu_SwfInfo info{};
    ASSERT_EQ(GetSwfInfo(&info, platform::WidePath(swf.string()).c_str()), 1);
    const fs::path exe = dir_ / "card";
    Receiver receiver;
    auto* param = new stu_MakeExeParam{platform::WidePath(TOVI_STUB_PATH),
                                       platform::WidePath(exe.string()),
                                       platform::WidePath(swf.string()),
                                       &receiver,
                                       info.nWidth,
                                       info.nHeight};
    std::thread(MakeExeThreadProc, param).join();
    ASSERT_EQ(receiver.texts.size(), 1u);
    EXPECT_EQ(receiver.texts[0].rfind("已成功生成独立播放器", 0), 0u) << receiver.texts[0];

    const std::string title = "card.swf - ToviFLash播放器 [独立版]";
    // The cache: the player's own folder in the per-user cache folder, under the movie's name.
    fs::path cache;
    struct stat first {};
    {
        Player player(exe.string(), Probe());
        auto state = player.WaitForResult();
        ASSERT_EQ(state["result"], "100");
        EXPECT_EQ(state["title"], title);
        EXPECT_EQ(state["hasMovie"], "1");
        cache = state["path"];
        EXPECT_EQ(cache.filename(), "card.swf");
        EXPECT_EQ(cache.parent_path().parent_path(),
                  fs::path(std::getenv("XDG_CACHE_HOME")) / "ToviPlayer");
        EXPECT_EQ(tovi::testing::ReadFileBytes(cache), tovi::testing::ReadFileBytes(swf));
        if (HaveXwininfo()) {
            EXPECT_EQ(XWindowTitle("card.swf - "), title);
        }
        // It plays: the frame moves on.
        std::set<std::string> frames;
        const auto until = std::chrono::steady_clock::now() + 20s;
        while (frames.size() < 3 && std::chrono::steady_clock::now() < until) {
            frames.insert(player.State()["frame"]);
            std::this_thread::sleep_for(100ms);
        }
        EXPECT_GE(frames.size(), 3u);
        ASSERT_EQ(::stat(cache.c_str(), &first), 0);
    }
    {
        Player player(exe.string(), Probe());
        auto state = player.WaitForResult();
        EXPECT_EQ(state["result"], "200");
        EXPECT_EQ(state["title"], title);
        struct stat again {};
        ASSERT_EQ(::stat(cache.c_str(), &again), 0);
        EXPECT_EQ(again.st_ino, first.st_ino);
        EXPECT_EQ(again.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
    }
}

TEST_F(StandaloneE2eTest, BareStubKeepsItsInitialTitleWithReExtractDisabled) {
    Player player(TOVI_STUB_PATH, Probe());
    auto state = player.WaitForResult();
    EXPECT_EQ(state["result"], "5");
    EXPECT_EQ(state["title"], kInitialTitle);
    EXPECT_EQ(state["bareStub"], "1");
    EXPECT_EQ(state["reExtract"], "0");
    EXPECT_EQ(state["hasMovie"], "0");
    if (HaveXwininfo()) {
        EXPECT_EQ(XWindowTitle("无标题 - ToviFlash"), kInitialTitle);
    }
}

}  // namespace
