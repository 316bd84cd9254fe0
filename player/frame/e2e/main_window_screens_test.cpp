// The real ToviFlash main window as a person sees it, kept as screenshots: a movie playing in
// the default style and in another, and the application menu opened over a history of a few
// files.
#include <gtest/gtest.h>
#include <wx/image.h>

#include <filesystem>
#include <string>
#include <thread>

#include "common/settings_store.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "testing/movie_files.h"
#include "testing/program_driver.h"
#include "tovi/testing/files.h"
#include "visual_styles.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

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

class ProgramScreens : public ::testing::Test {
  protected:
    void SetUp() override {
        wxInitAllImageHandlers();
        movie = dir / "moving.swf";
        WriteMovingMovie(movie);
        // Loop the movie, so it still plays whenever it is looked at.
        platform::RegKey key;
        ASSERT_EQ(key.Create(platform::RegRoot::CurrentUser, settings_store::kSettingsKey), 0);
        key.SetDword(L"PlayMode", 1);
    }

    // Starts the program with the movie and waits until the movie moves.
    unsigned long Start(ProgramDriver& program) {
        EXPECT_TRUE(program.Start(tovi::testing::ProgramDir() / "ToviFlash", {movie.string()},
                                  {"TOVI_ASSERT_ABORT=1"}));
        std::optional<unsigned long> window = program.WaitForWindow(20s);
        EXPECT_TRUE(window) << "no window";
        if (!window) {
            return 0;
        }
        EXPECT_TRUE(Eventually(
            [&] {
                wxImage before = program.Capture(*window);
                std::this_thread::sleep_for(200ms);
                return ImageDifference(before, program.Capture(*window)) > 0;
            },
            10s))
            << "not playing";
        return *window;
    }

    void Quit(ProgramDriver& program, unsigned long window) {
        program.SendKeys(window, "ctrl+alt+q");
        EXPECT_TRUE(program.WaitForExit(20s));
    }

    void Save(const wxImage& image, const std::string& name) {
        ASSERT_TRUE(image.IsOk());
        image.SaveFile(tovi::testing::ScreenshotPath(name).string(), wxBITMAP_TYPE_PNG);
    }

    tovi::testing::TempDir dir;
    fs::path movie;
};

TEST_F(ProgramScreens, MoviePlayingInTheDefaultStyleAndInAnother) {
    wxImage black;
    {
        ProgramDriver program;
        unsigned long window = Start(program);
        ASSERT_NE(window, 0u);
        black = program.Capture(window);
        Save(black, "toviflash_playing_office2007_black.png");
        Quit(program, window);
    }
    // The style is written at start; choose another for the next start.
    EXPECT_EQ(looks::ReadApplicationLook(), 216);
    looks::WriteApplicationLook(215);
    ProgramDriver program;
    unsigned long window = Start(program);
    ASSERT_NE(window, 0u);
    wxImage blue = program.Capture(window);
    Save(blue, "toviflash_playing_office2007_blue.png");
    // The ribbon (the top of the window) looks different in the other style.
    wxRect top(0, 0, std::min(black.GetWidth(), blue.GetWidth()), 60);
    EXPECT_GT(ImageDifference(black.GetSubImage(top), blue.GetSubImage(top)), 0.3);
    Quit(program, window);
}

TEST_F(ProgramScreens, ApplicationMenuOverAHistoryOfAFewFiles) {
    // The history file: byte-order mark, UTF-16 little-endian lines separated by CR LF.
    fs::path seting = fs::path(std::getenv("XDG_DATA_HOME")) / "Kestrum/ToviFlash/Seting";
    fs::create_directories(seting);
    std::wstring lines;
    for (const wchar_t* name : {L"海底世界.swf", L"小猫钓鱼的故事.swf", L"雪人.flv"}) {
        if (!lines.empty()) {
            lines += L"\r\n";
        }
        lines += platform::WideFromUtf8((dir / "").string()) + name;
    }
    tovi::testing::Bytes bytes = {0xFF, 0xFE};
    for (char16_t unit : platform::Utf16FromWide(lines)) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    tovi::testing::WriteFileBytes(seting / "history.ini", bytes);

    ProgramDriver program;
    unsigned long window = Start(program);
    ASSERT_NE(window, 0u);
    wxImage closed = program.Capture(window);
    // A click on the application button opens the menu over the window.
    RunCommand("xdotool mousemove --window " + std::to_string(window) +
               " 25 25 click 1 2>/dev/null");
    wxImage open;
    EXPECT_TRUE(Eventually(
        [&] {
            open = program.Capture(window);
            wxRect area(10, 60, 300, 200);
            return ImageDifference(closed.GetSubImage(area), open.GetSubImage(area)) > 0.5;
        },
        5s))
        << "the application menu did not open";
    Save(open, "toviflash_application_menu.png");
    // Escape goes to the menu, which holds the keyboard while it is open.
    RunCommand("xdotool key Escape 2>/dev/null");
    EXPECT_TRUE(Eventually(
        [&] {
            wxRect area(10, 60, 300, 200);
            wxImage now = program.Capture(window);
            return ImageDifference(open.GetSubImage(area), now.GetSubImage(area)) > 0.5;
        },
        5s))
        << "the application menu did not close";
    Quit(program, window);
}

}  // namespace
