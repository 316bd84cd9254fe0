// The view with the real player component and the data movies made by the build.
#include <gtest/gtest.h>
#include <wx/evtloop.h>

#include <filesystem>

#include "app/player_session.h"
#include "common/player_settings.h"
#include "flv_files.h"
#include "lists/media_lists.h"
#include "playback/playback.h"
#include "playback/shockwave_window.h"
#include "playback/toviflash_doc.h"
#include "playback/toviflash_view.h"
#include "res/resource_ids.h"
#include "swfgen/tag_writer.h"
#include "testing/movie_files.h"
#include "testing/scripted_prompts.h"
#include "testing/session_test.h"
#include "testing/test_frame.h"
#include "tovi/testing/files.h"
#include "tovi/testing/gui.h"

namespace {

namespace fs = std::filesystem;
using tovi::testing::PumpEventsUntil;

class RealControlTest : public SessionTest {
  protected:
    void SetUp() override { SetFlashWindowFactory(ShockwaveFlashFactory()); }
    host::PlayerControl& Control() { return *session->GetView()->Control(); }
    wxString Path(const char* name) { return wxString::FromUTF8((dir / name).string()); }

    tovi::testing::TempDir dir;
};

TEST_F(RealControlTest, TheStartMovieIsShownAndPlays) {
    ASSERT_TRUE(Start());
    EXPECT_GT(Control().TotalFrames(), 1);
    EXPECT_TRUE(prompts.shown.empty());
    // The name fades in and the movie stops there while its ripple goes on.
    EXPECT_TRUE(PumpEventsUntil([&] { return Control().FrameNum() == Control().TotalFrames() - 1; },
                                std::chrono::seconds(10)));
}

TEST_F(RealControlTest, AMoviePlaysPausesAndStopsOnceAtItsEnd) {
    WriteTestMovie(dir / "short.swf", 320, 240, 12, 24);
    ASSERT_TRUE(Start(Path("short.swf")));
    EXPECT_EQ(Control().TotalFrames(), 12);
    EXPECT_TRUE(Control().IsPlaying());
    frame->Command(ID_PLAY);
    EXPECT_FALSE(Control().IsPlaying());
    frame->Command(ID_PLAY);
    EXPECT_TRUE(Control().IsPlaying());
    // Play once: at its last frames the movie is rewound and stopped.
    EXPECT_TRUE(PumpEventsUntil([&] { return !Control().IsPlaying(); }, std::chrono::seconds(10)));
    EXPECT_EQ(Control().FrameNum(), 0);
}

// An FLV file plays through the wrapper: its frames are its states, its variables tell the
// status and the video's size.
TEST_F(RealControlTest, TheFlvWrapperPlaysPausesAndStops) {
    std::string log;
    ASSERT_TRUE(flash::media::testing::MakeFlv(
        {.video = "flv", .audio = "libmp3lame", .width = 400, .height = 300, .seconds = 4},
        dir / "clip.flv", &log))
        << log;
    ASSERT_TRUE(Start(Path("clip.flv")));
    EXPECT_EQ(Control().FrameNum(), 2);
    EXPECT_EQ(Control().GetVariable("_level0.strPath"), Path("clip.flv"));
    EXPECT_TRUE(PumpEventsUntil(
        [&] { return Control().GetVariable("_level0.flvPlayer.0._videoWidth") == "400"; },
        std::chrono::seconds(10)));
    EXPECT_EQ(Control().GetVariable("_level0.flvPlayer.0._videoHeight"), "300");
    EXPECT_EQ(Control().GetVariable("_level0.strStatu"), "play");
    EXPECT_TRUE(session->GetView()->GetPlayback()->IsPlaying());
    // Best size fits the playing area to the video.
    frame->Command(ID_BEST_SIZE);
    wxWindow* area = session->GetView()->GetPlayArea();
    EXPECT_TRUE(PumpEventsUntil([&] { return area->GetSize() == wxSize(400, 300); },
                                std::chrono::seconds(5)))
        << area->GetSize().x << "x" << area->GetSize().y;
    frame->Command(ID_PLAY);
    EXPECT_EQ(Control().FrameNum(), 3);
    EXPECT_EQ(Control().GetVariable("_level0.strStatu"), "pause");
    EXPECT_FALSE(session->GetView()->GetPlayback()->IsPlaying());
    frame->Command(ID_STOP);
    EXPECT_EQ(Control().FrameNum(), 6);
    EXPECT_EQ(Control().GetVariable("_level0.strStatu"), "stop");
    frame->Command(ID_PLAY);
    EXPECT_EQ(Control().GetVariable("_level0.strStatu"), "play");
}

TEST_F(RealControlTest, AnFlvThatCannotBePlayedShowsTheWrappersMessage) {
    tovi::testing::WriteFileText(dir / "empty.flv", "");
    ASSERT_TRUE(Start(Path("empty.flv")));
    EXPECT_TRUE(
        PumpEventsUntil([&] { return Control().FrameNum() == 5; }, std::chrono::seconds(10)));
    EXPECT_EQ(Control().GetVariable("_level0.strStatu"), "error");
    EXPECT_EQ(Control().GetVariable("_level0.message._visible"), "true");
    EXPECT_FALSE(session->GetView()->GetPlayback()->IsPlaying());
}

// A movie of 60 empty frames at 24 fps whose FileAttributes carry `flags`.
void WriteMovieWithAttributes(const fs::path& file, std::uint8_t flags) {
    swfgen::MovieWriter movie(10, flash::Rect{0, 320 * 20, 0, 240 * 20}, 24);
    movie.FileAttributes(flags);
    for (int i = 0; i < 60; ++i) {
        movie.ShowFrame();
    }
    movie.Save(file);
}

// An ActionScript 3 movie is said to be one, once each time it is opened, and its timeline
// still plays; other movies say nothing.
TEST_F(RealControlTest, AnActionScript3MovieIsToldOncePerOpeningAndStillPlays) {
    WriteMovieWithAttributes(dir / "as3.swf", 0x08);
    WriteMovieWithAttributes(dir / "as2.swf", 0x00);
    ASSERT_TRUE(Start(Path("as3.swf")));
    EXPECT_EQ(prompts.Texts(), std::vector<wxString>{kActionScript3Notice});
    const long first = Control().FrameNum();
    EXPECT_TRUE(PumpEventsUntil([&] { return Control().FrameNum() > first + 2; }));
    EXPECT_EQ(prompts.shown.size(), 1u);

    ASSERT_TRUE(session->GetDocument()->Open(Path("as2.swf")));
    EXPECT_EQ(prompts.shown.size(), 1u);
    ASSERT_TRUE(session->GetDocument()->Open(Path("as3.swf")));
    EXPECT_EQ(prompts.shown.size(), 2u);
}

}  // namespace
