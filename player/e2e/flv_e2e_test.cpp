// ToviFlash playing Flash video as a user meets it: an FLV opened from the command line plays
// in the wrapper movie, pauses and goes on from the keyboard, fits the window to the video,
// and a file that cannot be played shows the wrapper's message.
#include <gtest/gtest.h>
#include <wx/image.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "flv_files.h"
#include "testing/program_driver.h"
#include "tovi/testing/files.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

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

// The share of bright pixels in the middle third of the window's picture.
double BrightShare(const wxImage& image) {
    int bright = 0;
    int total = 0;
    for (int y = image.GetHeight() / 3; y < 2 * image.GetHeight() / 3; y += 2) {
        for (int x = 0; x < image.GetWidth(); x += 2) {
            ++total;
            bright += image.GetRed(x, y) > 180 && image.GetGreen(x, y) > 180 ? 1 : 0;
        }
    }
    return total > 0 ? static_cast<double>(bright) / total : 0;
}

struct Video {
    const char* name;
    flash::media::testing::FlvRecipe recipe;
};

class FlvEndToEnd : public ::testing::TestWithParam<Video> {};

TEST_P(FlvEndToEnd, PlaysPausesGoesOnAndFitsTheWindowToTheVideo) {
    tovi::testing::TempDir dir;
    const fs::path file = dir / (std::string(GetParam().name) + ".flv");
    std::string log;
    ASSERT_TRUE(flash::media::testing::MakeFlv(GetParam().recipe, file, &log)) << log;

    ProgramDriver program;
    ASSERT_TRUE(program.Start(tovi::testing::ProgramDir() / "ToviFlash", {file.string()},
                              {"TOVI_ASSERT_ABORT=1"}));
    std::optional<unsigned long> window = program.WaitForWindow(20s);
    ASSERT_TRUE(window) << "no window";
    wxInitAllImageHandlers();

    EXPECT_TRUE(Eventually([&] { return Moving(program, *window); }, 10s)) << "no moving picture";
    program.Capture(*window).SaveFile(
        tovi::testing::ScreenshotPath(std::string("toviflash_") + GetParam().name + ".png")
            .string(),
        wxBITMAP_TYPE_PNG);

    program.SendKeys(*window, "ctrl+p");
    EXPECT_TRUE(Eventually([&] { return !Moving(program, *window); }, 5s)) << "not paused";
    program.SendKeys(*window, "ctrl+p");
    EXPECT_TRUE(Eventually([&] { return Moving(program, *window); }, 5s)) << "not going on";

    const wxSize before = program.Capture(*window).GetSize();
    program.SendKeys(*window, "ctrl+z");
    EXPECT_TRUE(Eventually([&] { return program.Capture(*window).GetSize() != before; }, 5s))
        << "best size left the window as it was";

    program.SendKeys(*window, "ctrl+alt+q");
    std::optional<int> status = program.WaitForExit(20s);
    ASSERT_TRUE(status) << "still running after exit";
    EXPECT_EQ(*status, 0);
}

INSTANTIATE_TEST_SUITE_P(Codecs, FlvEndToEnd,
                         ::testing::Values(Video{"flv1_mp3",
                                                 {.video = "flv",
                                                  .audio = "libmp3lame",
                                                  .width = 480,
                                                  .height = 360,
                                                  .fps = 25,
                                                  .seconds = 20}},
                                           Video{"h264_aac",
                                                 {.video = "libx264",
                                                  .audio = "aac",
                                                  .width = 480,
                                                  .height = 360,
                                                  .fps = 25,
                                                  .seconds = 20}}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(FlvEndToEndMessage, AnEmptyFileShowsTheWrappersMessage) {
    tovi::testing::TempDir dir;
    const fs::path file = dir / "empty.flv";
    std::ofstream(file).close();

    ProgramDriver program;
    ASSERT_TRUE(program.Start(tovi::testing::ProgramDir() / "ToviFlash", {file.string()},
                              {"TOVI_ASSERT_ABORT=1"}));
    std::optional<unsigned long> window = program.WaitForWindow(20s);
    ASSERT_TRUE(window) << "no window";
    wxInitAllImageHandlers();
    // White text across the middle of a black stage.
    EXPECT_TRUE(Eventually([&] { return BrightShare(program.Capture(*window)) > 0.002; }, 10s));
    program.Capture(*window).SaveFile(
        tovi::testing::ScreenshotPath("toviflash_flv_message.png").string(), wxBITMAP_TYPE_PNG);
    program.SendKeys(*window, "ctrl+alt+q");
    EXPECT_TRUE(program.WaitForExit(20s));
}

}  // namespace
