// ToviFlash as a user meets it: started with a movie, paused and played from the keyboard,
// closed, and the movie found in the history it wrote.
#include <gtest/gtest.h>
#include <signal.h>
#include <wx/image.h>

#include <filesystem>
#include <thread>

#include "common/settings_store.h"
#include "platform/registry.h"
#include "testing/movie_files.h"
#include "testing/program_driver.h"
#include "tovi/testing/files.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Whether the window's picture changes over a few frames of the movie.
bool Moving(ProgramDriver& program, unsigned long window) {
    wxImage before = program.Capture(window);
    std::this_thread::sleep_for(300ms);
    return ImageDifference(before, program.Capture(window)) > 0;
}

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

// The first line of "Seting\\history.ini": byte-order mark, then UTF-16 little-endian.
std::string FirstHistoryLine() {
    const fs::path history =
        fs::path(std::getenv("XDG_DATA_HOME")) / "Kestrum/ToviFlash/Seting/history.ini";
    tovi::testing::Bytes bytes = tovi::testing::ReadFileBytes(history);
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE) {
        return "<no byte-order mark>";
    }
    std::string first;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
        if (unit == u'\r') {
            break;
        }
        first.push_back(static_cast<char>(unit));
    }
    return first;
}

TEST(ToviFlashEndToEnd, PlaysPausesPlaysAndRemembersTheMovie) {
    tovi::testing::TempDir dir;
    const fs::path movie = dir / "moving.swf";
    WriteMovingMovie(movie);
    // Loop the movie, so it is still playing whenever it is looked at.
    {
        platform::RegKey key;
        ASSERT_EQ(key.Create(platform::RegRoot::CurrentUser, settings_store::kSettingsKey), 0);
        key.SetDword(L"PlayMode", 1);
    }

    ProgramDriver program;
    ASSERT_TRUE(program.Start(tovi::testing::ProgramDir() / "ToviFlash", {movie.string()},
                              {"TOVI_ASSERT_ABORT=1"}));
    std::optional<unsigned long> window = program.WaitForWindow(20s);
    ASSERT_TRUE(window) << "no window";
    wxInitAllImageHandlers();

    EXPECT_TRUE(Eventually([&] { return Moving(program, *window); }, 10s)) << "not playing";
    program.Capture(*window).SaveFile(
        tovi::testing::ScreenshotPath("toviflash_playing.png").string(), wxBITMAP_TYPE_PNG);

    program.SendKeys(*window, "ctrl+p");
    EXPECT_TRUE(Eventually([&] { return !Moving(program, *window); }, 5s)) << "not paused";

    program.SendKeys(*window, "ctrl+p");
    EXPECT_TRUE(Eventually([&] { return Moving(program, *window); }, 5s)) << "not playing again";

    program.SendKeys(*window, "ctrl+alt+q");
    std::optional<int> status = program.WaitForExit(20s);
    ASSERT_TRUE(status) << "still running after exit";
    EXPECT_EQ(*status, 0);

    EXPECT_EQ(FirstHistoryLine(), movie.string());
}

// Ended by a signal (a session logging out), the program still closes as the user would and
// keeps its history.
TEST(ToviFlashEndToEnd, EndedBySignalClosesAndKeepsTheHistory) {
    tovi::testing::TempDir dir;
    const fs::path movie = dir / "moving.swf";
    WriteMovingMovie(movie);

    ProgramDriver program;
    ASSERT_TRUE(program.Start(tovi::testing::ProgramDir() / "ToviFlash", {movie.string()},
                              {"TOVI_ASSERT_ABORT=1"}));
    ASSERT_TRUE(program.WaitForWindow(20s)) << "no window";
    ::kill(program.Pid(), SIGTERM);
    std::optional<int> status = program.WaitForExit(20s);
    ASSERT_TRUE(status) << "still running after SIGTERM";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(FirstHistoryLine(), movie.string());
}

// A file given at start-up that cannot be played is told in a message box; once it is
// answered, or while it is still open the program is asked to end, start-up ends without a
// crash (the toolkit's failure status, 255).
TEST(ToviFlashEndToEnd, AFileThatCannotBePlayedAtStartUpEndsItCleanly) {
    tovi::testing::TempDir dir;
    tovi::testing::WriteFileText(dir / "bad.swf", "not a movie");
    const struct {
        const char* file;
        int signal;  // 0: the message is answered with Enter
    } cases[] = {{"missing.swf", 0}, {"bad.swf", 0}, {"bad.swf", SIGTERM}, {"bad.swf", SIGINT}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " signal " + std::to_string(c.signal));
        ProgramDriver program;
        ASSERT_TRUE(program.Start(tovi::testing::ProgramDir() / "ToviFlash",
                                  {(dir / c.file).string()}, {"TOVI_ASSERT_ABORT=1"}));
        // The main window stays hidden: the one shown is the message box.
        std::optional<unsigned long> box = program.WaitForWindow(20s);
        ASSERT_TRUE(box) << "no message box";
        if (c.signal == 0) {
            program.SendKeys(*box, "Return");
        } else {
            ::kill(program.Pid(), c.signal);
        }
        std::optional<int> status = program.WaitForExit(20s);
        ASSERT_TRUE(status) << "still running";
        EXPECT_EQ(*status, 255);
    }
}

// A settings file with a key path far too deep (a 20 KB line) is read as damaged: the player
// starts with the values that could be read and keeps the damaged file beside the new one.
TEST(ToviFlashEndToEnd, StartsWithASettingsFileTooDeepToBeOurs) {
    const fs::path store = fs::path(std::getenv("XDG_CONFIG_HOME")) / "kestrum";
    fs::create_directories(store);
    std::string deep;
    for (int i = 0; i < 10000; ++i) {
        deep += i ? "\\k" : "k";
    }
    tovi::testing::WriteFileText(
        store / "HKEY_CURRENT_USER.reg",
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" + deep + "]\n");

    ProgramDriver program;
    ASSERT_TRUE(
        program.Start(tovi::testing::ProgramDir() / "ToviFlash", {}, {"TOVI_ASSERT_ABORT=1"}));
    std::optional<unsigned long> window = program.WaitForWindow(20s);
    ASSERT_TRUE(window) << "no window";
    program.SendKeys(*window, "ctrl+alt+q");
    ASSERT_TRUE(program.WaitForExit(20s));
    int kept = 0;
    for (const auto& entry : fs::directory_iterator(store)) {
        kept += entry.path().filename().string().find(".damaged-") != std::string::npos;
    }
    EXPECT_EQ(kept, 1);
}

}  // namespace

// Of several files on the command line the first is opened; the others are ignored.
TEST(ToviFlashEndToEnd, OfSeveralFilesTheFirstIsOpened) {
    tovi::testing::TempDir dir;
    const fs::path first = dir / "first.swf";
    const fs::path second = dir / "second.swf";
    WriteMovingMovie(first);
    WriteMovingMovie(second);

    ProgramDriver program;
    ASSERT_TRUE(program.Start(tovi::testing::ProgramDir() / "ToviFlash",
                              {first.string(), second.string()}, {"TOVI_ASSERT_ABORT=1"}));
    std::optional<unsigned long> window = program.WaitForWindow(20s);
    ASSERT_TRUE(window) << "no window";
    program.SendKeys(*window, "ctrl+alt+q");
    ASSERT_TRUE(program.WaitForExit(20s));
    EXPECT_EQ(FirstHistoryLine(), first.string());
}

// The X id of a top-level window with this name, or empty (xdotool cannot search for names
// outside ASCII).
std::string WindowNamed(const std::string& name) {
    return RunCommand("xwininfo -root -children 2>/dev/null | grep -F '\"" + name +
                      "\"' | awk '{print $1}' | head -1");
}

// The about command goes up from the main window to the application, which shows the box.
TEST(ToviFlashEndToEnd, AltAShowsTheAboutBox) {
    ProgramDriver program;
    ASSERT_TRUE(
        program.Start(tovi::testing::ProgramDir() / "ToviFlash", {}, {"TOVI_ASSERT_ABORT=1"}));
    std::optional<unsigned long> window = program.WaitForWindow(20s);
    ASSERT_TRUE(window) << "no window";
    program.SendKeys(*window, "alt+a");
    std::string about;
    ASSERT_TRUE(Eventually([&] { return !(about = WindowNamed("关于 ToviFlash")).empty(); }, 10s))
        << "no about box";
    program.SendKeys(std::stoul(about, nullptr, 16), "Escape");
    EXPECT_TRUE(Eventually([&] { return WindowNamed("关于 ToviFlash").empty(); }, 10s));
    program.SendKeys(*window, "ctrl+alt+q");
    EXPECT_TRUE(program.WaitForExit(20s));
}
