// The FLV wrapper movie in the engine, driven as the view drives it: GotoFrame and Stop, its
// path and status variables, and what it draws.
#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "data_movies.h"
#include "flash/player/image.h"
#include "flash/player/player.h"
#include "flv_files.h"
#include "tovi/testing/files.h"

namespace {

using flash::media::testing::FlvRecipe;
using flash::media::testing::MakeFlv;

class FlvWrapperTest : public ::testing::Test {
  protected:
    // The wrapper draws device text; Cairo keeps its font faces process-wide. Freed once the
    // players are gone so the leak checker sees only our own memory.
    static void TearDownTestSuite() {
        cairo_debug_reset_static_data();
        FcFini();
    }

    // Loads the wrapper and starts `file` the way the view does.
    void Open(const std::filesystem::path& file) {
        const swfgen::Bytes bytes = data_movies::FlvPlayerMovie();
        player.LoadMovieBytes(0, {bytes.begin(), bytes.end()}, (dir / "FLVPlayer.swf").string());
        player.GotoFrame(0);
        player.Stop();
        player.SetVariable(L"_level0.strPath", file.wstring());
        player.GotoFrame(1);
        player.Stop();
        player.GotoFrame(2);
        player.Stop();
    }

    void Run(int frames) {
        for (int i = 0; i < frames; ++i) {
            player.Advance();
        }
    }

    std::wstring Var(const wchar_t* name) const { return player.GetVariable(name); }

    // How much of the video area differs from black.
    double LitShare() const {
        flash::Image image(player.StageWidth(), player.StageHeight());
        player.Render(image);
        int lit = 0;
        int total = 0;
        for (int y = 0; y < 360; y += 4) {
            for (int x = 0; x < image.Width(); x += 4) {
                ++total;
                lit += (image.Pixel(x, y) & 0xFFFFFF) > 0x202020 ? 1 : 0;
            }
        }
        return static_cast<double>(lit) / total;
    }

    std::filesystem::path Make(FlvRecipe recipe) {
        const auto path = dir / "video.flv";
        std::string log;
        EXPECT_TRUE(MakeFlv(recipe, path, &log)) << log;
        return path;
    }

    tovi::testing::TempDir dir;
    flash::Player player;
};

TEST_F(FlvWrapperTest, PlaysPausesAndStopsThroughItsFrames) {
    Open(Make({.video = "flv", .audio = "libmp3lame", .width = 176, .height = 144, .seconds = 3}));
    EXPECT_EQ(player.FrameNum(), 2);
    Run(15);
    EXPECT_EQ(Var(L"_level0.strStatu"), L"play");
    EXPECT_EQ(Var(L"_level0.flvPlayer.0._videoWidth"), L"176");
    EXPECT_EQ(Var(L"_level0.flvPlayer.0._videoHeight"), L"144");
    EXPECT_GT(LitShare(), 0.3);  // the picture fills the area, its aspect kept
    EXPECT_NE(Var(L"_level0.ns.time"), L"0");

    player.GotoFrame(3);
    player.Stop();
    Run(10);
    EXPECT_EQ(Var(L"_level0.strStatu"), L"pause");
    const std::wstring pausedAt = Var(L"_level0.ns.time");
    flash::Image still(player.StageWidth(), player.StageHeight());
    player.Render(still);
    for (int i = 0; i < 4; ++i) {
        Run(1);
        flash::Image now(player.StageWidth(), player.StageHeight());
        player.Render(now);
        int differ = 0;
        for (int y = 0; y < now.Height(); ++y) {
            for (int x = 0; x < now.Width(); ++x) {
                differ += now.Pixel(x, y) != still.Pixel(x, y) ? 1 : 0;
            }
        }
        EXPECT_EQ(differ, 0) << "the paused picture changed after " << i + 1 << " frames";
    }
    EXPECT_EQ(Var(L"_level0.ns.time"), pausedAt);

    player.GotoFrame(2);
    player.Stop();
    Run(10);
    EXPECT_NE(Var(L"_level0.ns.time"), pausedAt);

    player.GotoFrame(6);
    player.Stop();
    Run(5);
    EXPECT_EQ(Var(L"_level0.strStatu"), L"stop");
    // The first picture (ffmpeg starts the video where the sound's priming ends).
    EXPECT_LT(std::stod(Var(L"_level0.ns.time")), 0.1);
    EXPECT_GT(LitShare(), 0.3);
}

TEST_F(FlvWrapperTest, TheEndStopsAtTheStart) {
    Open(Make({.video = "flv", .seconds = 1}));
    Run(60);
    EXPECT_EQ(player.FrameNum(), 6);
    EXPECT_EQ(Var(L"_level0.strStatu"), L"stop");
}

TEST_F(FlvWrapperTest, AFileThatCannotBePlayedShowsTheMessage) {
    const auto empty = dir / "empty.flv";
    std::ofstream(empty).close();
    for (const auto& file : {empty, dir / "missing.flv"}) {
        Open(file);
        Run(10);
        EXPECT_EQ(player.FrameNum(), 5) << file;
        EXPECT_EQ(Var(L"_level0.strStatu"), L"error");
        EXPECT_EQ(Var(L"_level0.message._visible"), L"true");
    }
}

}  // namespace
