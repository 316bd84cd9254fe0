// The standalone player as a user meets it: the builder makes one from a movie, it starts,
// extracts, shows its title and plays; started again it reuses its cache; the bare stub
// started on its own stays untitled. The player is followed through its state probe file and
// the window title on the X server.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "flash/swf/sound.h"
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

// A movie that plays a square wave at half of full scale, 441 Hz, looped for minutes.
void WriteToneMovie(const fs::path& file) {
    swfgen::MovieWriter movie(8, flash::Rect{0, 400 * 20, 0, 300 * 20}, 24.0);
    flash::swf::Sound sound;
    sound.format = flash::swf::SoundFormat::PcmLittleEndian;
    sound.rate = 3;  // 44 kHz
    sound.is16Bit = true;
    sound.sampleCount = 44100;
    for (std::uint32_t i = 0; i < sound.sampleCount; ++i) {
        const std::int16_t v = (i / 50) % 2 == 0 ? 16384 : -16384;
        sound.data.push_back(static_cast<std::uint8_t>(v & 0xFF));
        sound.data.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    movie.DefineSound(1, sound);
    flash::swf::StartSound start;
    start.soundId = 1;
    start.info.syncNoMultiple = true;
    start.info.loopCount = 600;
    movie.StartSound(start);
    for (int frame = 0; frame < 24; ++frame) {
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
    Player(const std::string& program, const std::string& probe,
           const std::vector<std::string>& extraEnvironment = {})
        : probe_(probe) {
        std::vector<std::string> env = extraEnvironment;
        auto given = [&](const std::string& entry) {
            const std::string name = entry.substr(0, entry.find('=') + 1);
            return std::any_of(extraEnvironment.begin(), extraEnvironment.end(),
                               [&](const std::string& e) { return e.rfind(name, 0) == 0; });
        };
        for (char** e = environ; *e; ++e) {
            if (!given(*e)) {
                env.emplace_back(*e);
            }
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
    pid_t Pid() const { return pid_; }

    // Sends `signal` and waits for the program to end by itself; its wait status, or none
    // when it still runs after the timeout (it is then killed).
    std::optional<int> EndBy(int signal, std::chrono::seconds timeout) {
        ::kill(pid_, signal);
        const auto until = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < until) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return status;
            }
            std::this_thread::sleep_for(50ms);
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
        return std::nullopt;
    }

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
    // Builds a standalone player of `swf` at `exe` as the main program does.
    bool Build(const fs::path& swf, const fs::path& exe) {
        stu_SwfInfo info{};
        if (GetSwfInfo(&info, platform::WidePath(swf.string()).c_str()) != 1) {
            return false;
        }
        Receiver receiver;
        auto* param = new stu_MakeExeParam{platform::WidePath(TOVI_STUB_PATH),
                                           platform::WidePath(exe.string()),
                                           platform::WidePath(swf.string()),
                                           &receiver,
                                           info.nWidth,
                                           info.nHeight};
        std::thread(MakeExeThreadProc, param).join();
        return receiver.texts.size() == 1 &&
               receiver.texts[0].rfind("已成功生成独立播放器", 0) == 0;
    }
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

// The highest sample level the sound device played in the last `seconds` of what it wrote
// (float samples, two channels).
float RecentPeak(const fs::path& played, double seconds) {
    const auto bytes = tovi::testing::ReadFileBytes(played);
    const std::size_t wanted = static_cast<std::size_t>(seconds * 44100) * 2 * 4;
    const std::size_t from = bytes.size() > wanted ? (bytes.size() - wanted) / 4 * 4 : 0;
    float peak = 0;
    for (std::size_t i = from; i + 4 <= bytes.size(); i += 4) {
        float v;
        std::memcpy(&v, &bytes[i], 4);
        peak = std::max(peak, std::fabs(v));
    }
    return peak;
}

// Sound as the user hears it: the player starts at half volume, Ctrl+V mutes it, and once
// sound has played SIGTERM and SIGINT still end it. The level is read from what SDL's "disk"
// device played.
TEST_F(StandaloneE2eTest, PlaysAtHalfVolumeMutesAndEndsOnSignals) {
    const fs::path swf = dir_ / "tone.swf";
    WriteToneMovie(swf);
    const fs::path exe = dir_ / "tone";
    ASSERT_TRUE(Build(swf, exe));
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        const fs::path played = dir_ / "played.raw";
        fs::remove(played);
        Player player(exe.string(), Probe(),
                      {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + played.string()});
        ASSERT_EQ(player.WaitForResult()["hasMovie"], "1");
        std::this_thread::sleep_for(1500ms);
        EXPECT_NEAR(RecentPeak(played, 0.3), 0.25f, 0.03f);
        if (signal == SIGTERM) {
            const std::string pid = std::to_string(player.Pid());
            ASSERT_EQ(std::system(("w=$(xdotool search --onlyvisible --pid " + pid +
                                   " | tail -1) && xdotool windowfocus --sync $w && "
                                   "xdotool key --clearmodifiers ctrl+v")
                                      .c_str()),
                      0);
            std::this_thread::sleep_for(1000ms);
            EXPECT_LT(RecentPeak(played, 0.3), 0.001f);
        }
        std::optional<int> status = player.EndBy(signal, 10s);
        ASSERT_TRUE(status) << "still running after the signal";
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status;
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
