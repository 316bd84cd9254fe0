#include "player_dlg.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <wx/evtloop.h>
#include <wx/slider.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include <filesystem>

#include "cache_folder.h"
#include "extract.h"
#include "extract_progress_dlg.h"
#include "host/testing/fake_control.h"
#include "host/testing/scripted_prompts.h"
#include "platform/shell.h"
#include "platform/wx_dispatch.h"
#include "player_ids.h"
#include "standalone_trailer.h"
#include "titles.h"
#include "tovi/testing/files.h"
#include "tovi/testing/gui.h"
#include "web_pages.h"

namespace {

namespace fs = std::filesystem;
using host::testing::FakeControl;
using host::testing::FakeControlState;
using tovi::testing::Bytes;
using tovi::testing::PumpEvents;
using tovi::testing::PumpEventsUntil;
using tovi::testing::ReadFileBytes;
using tovi::testing::WriteFileBytes;

Bytes Pattern(std::size_t n, std::uint8_t seed) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i) {
        b[i] = static_cast<std::uint8_t>(seed + i * 31);
    }
    return b;
}

Bytes BareStub() {
    Bytes stub = Pattern(4000, 9);
    std::copy(standalone::kBareStubFingerprint.begin(), standalone::kBareStubFingerprint.end(),
              stub.end() - static_cast<std::ptrdiff_t>(standalone::kFingerprintDistance));
    return stub;
}

Bytes Player(const Bytes& movie, int width, int height) {
    Bytes out = BareStub();
    const std::size_t stubLength = out.size();
    out.insert(out.end(), movie.begin(), movie.end());
    const auto trailer = standalone_trailer::Encode(width, height, stubLength);
    out.insert(out.end(), trailer.begin(), trailer.end());
    return out;
}

std::string Utf8(const wxString& s) {
    return std::string(s.utf8_str());
}

class PlayerDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // An active loop, so timers and the toolkit's own events are dispatched while pumping.
        loop_ = std::make_unique<wxEventLoop>();
        activator_ = std::make_unique<wxEventLoopActivator>(loop_.get());
        platform::InstallWxDispatcher();
    }
    void TearDown() override {
        if (dlg_) {
            dlg_->Close(true);
            PumpEvents(std::chrono::milliseconds(20));
        }
        platform::UninstallWxDispatcher();
        platform::SetShellRecorder(nullptr);
    }

    std::string OwnPath() const { return (dir_ / "card.exe").string(); }
    std::string CachePath() const {
        return standalone::PlayerCachePath(standalone::GetCacheFolder(), OwnPath());
    }

    // Starts the window on a program file with these bytes and waits for the first run.
    void Start(const Bytes& own) {
        WriteFileBytes(OwnPath(), own);
        StartOn(OwnPath());
    }
    void StartOn(const std::string& own) {
        dlg_ = new CPlayerDlg(prompts_, std::make_unique<FakeControl>(log_), own);
        dlg_->Show();
        ASSERT_TRUE(WaitForRun());
    }
    bool WaitForRun() {
        return PumpEventsUntil([this] { return !dlg_->IsExtracting(); });
    }
    bool Enabled(int id) const { return dlg_->StateOf(id).enable.value_or(true); }
    bool Checked(int id) const { return dlg_->StateOf(id).check.value_or(false); }

    tovi::testing::TempDir dir_;
    // Every movie loads, with 24 frames, and stands at frame 3.
    std::shared_ptr<FakeControlState> log_ = [] {
        auto state = std::make_shared<FakeControlState>();
        state->otherMovies = 24;
        state->loadedFrame = 3;
        return state;
    }();
    // The texts (UTF-8) of the messages, of the questions and the titles of the modal
    // dialogs shown so far.
    std::vector<std::string> Told() const {
        return TextsOf(prompts_.shown, host::PromptButtons::Ok);
    }
    std::vector<std::string> Asked() const {
        return TextsOf(prompts_.shown, host::PromptButtons::YesNo);
    }
    std::vector<std::string> Modals() const {
        std::vector<std::string> titles;
        for (const wxString& t : prompts_.modals) {
            titles.push_back(std::string(t.utf8_str()));
        }
        return titles;
    }
    // Queues the files the next dialogs give.
    void Choose(std::initializer_list<std::string> files) {
        for (const std::string& f : files) {
            prompts_.ChooseFile(wxString::FromUTF8(f));
        }
    }
    static std::vector<std::string> TextsOf(const std::vector<host::Message>& shown,
                                            host::PromptButtons buttons) {
        std::vector<std::string> texts;
        for (const host::Message& m : shown) {
            if (m.buttons == buttons) {
                texts.push_back(std::string(m.text.utf8_str()));
            }
        }
        return texts;
    }

    host::testing::ScriptedPrompts prompts_;
    CPlayerDlg* dlg_ = nullptr;
    std::unique_ptr<wxEventLoop> loop_;
    std::unique_ptr<wxEventLoopActivator> activator_;
};

TEST_F(PlayerDlgTest, StartsAtHalfVolumeBeforeAnyMovie) {
    log_->failCreate = true;  // not even a control: the window still opens
    StartOn(OwnPath());
    EXPECT_EQ(log_->volumes, std::vector<std::uint32_t>{standalone::Volume::WaveValue(50)});
    EXPECT_EQ(Utf8(dlg_->GetTitle()), standalone::kInitialTitle);
    EXPECT_EQ(dlg_->LastExtractResult(), 0);  // no control, no run
}

TEST_F(PlayerDlgTest, ExtractsAndPlaysItsMovieWithTheCacheFilesName) {
    Start(Player(Pattern(2048, 1), 100, 50));
    EXPECT_EQ(dlg_->LastExtractResult(), EXTRACT_WRITTEN);
    EXPECT_EQ(log_->Commands(), (std::vector<std::string>{"LoadMovie 0 " + CachePath(), "Play"}));
    EXPECT_EQ(Utf8(dlg_->GetTitle()), "card.swf - ToviFLash播放器 [独立版]");
    EXPECT_EQ(dlg_->CurrentPath(), CachePath());
    EXPECT_TRUE(dlg_->HasMovie());
    EXPECT_EQ(dlg_->MovieWidth(), 100u);
    EXPECT_EQ(dlg_->MovieHeight(), 50u);
    EXPECT_TRUE(Told().empty());
    ASSERT_NE(dlg_->ProgressWindow(), nullptr);
    EXPECT_FALSE(dlg_->ProgressWindow()->IsShown());
    EXPECT_EQ(dlg_->ProgressWindow()->GetProgress(), 100);
    EXPECT_EQ(dlg_->PositionSlider()->GetMax(), 24);
    EXPECT_EQ(dlg_->PositionSlider()->GetValue(), 3);
    // A movie smaller than 320 x 240 gets a control area of at least that size.
    PumpEvents(std::chrono::milliseconds(100));
    const wxSize shown = dlg_->FlashWindow()->GetSize();
    EXPECT_GE(shown.x, 320);
    EXPECT_GE(shown.y, 240);
    for (int id : {ID_PLAY, ID_PAUSE, ID_STOP, ID_FILE_SAVE_AS, ID_REEXTRACT}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    tovi::testing::SaveScreenshot(dlg_, "toviplayer_extracted.png");
}

TEST_F(PlayerDlgTest, BareStubKeepsItsTitleWithReExtractDisabled) {
    Start(BareStub());
    EXPECT_EQ(dlg_->LastExtractResult(), EXTRACT_BARE_STUB);
    EXPECT_TRUE(dlg_->IsBareStub());
    EXPECT_EQ(Utf8(dlg_->GetTitle()), standalone::kInitialTitle);
    EXPECT_FALSE(Enabled(ID_REEXTRACT));
    EXPECT_TRUE(Told().empty());
    EXPECT_TRUE(log_->Commands().empty());
    dlg_->RunCommand(ID_REEXTRACT);  // its accelerator does nothing either
    EXPECT_FALSE(dlg_->IsExtracting());
}

TEST_F(PlayerDlgTest, UnreadableOwnFileIsToldAndLeavesNoMovie) {
    StartOn((dir_ / "missing.exe").string());
    EXPECT_EQ(dlg_->LastExtractResult(), EXTRACT_OWN_FILE_UNREADABLE);
    EXPECT_EQ(Told(), std::vector<std::string>{standalone::kExtractFailedText});
    EXPECT_FALSE(dlg_->HasMovie());
    EXPECT_FALSE(dlg_->ProgressWindow()->IsShown());
}

TEST_F(PlayerDlgTest, StartedAgainReusesAndReExtractRewrites) {
    Start(Player(Pattern(3000, 2), 550, 400));
    ASSERT_EQ(dlg_->LastExtractResult(), EXTRACT_WRITTEN);
    dlg_->Close(true);
    dlg_ = nullptr;
    PumpEvents(std::chrono::milliseconds(20));

    StartOn(OwnPath());
    EXPECT_EQ(dlg_->LastExtractResult(), EXTRACT_REUSED);
    dlg_->RunCommand(ID_REEXTRACT);
    EXPECT_TRUE(dlg_->IsExtracting());
    EXPECT_FALSE(Enabled(ID_REEXTRACT));  // no second run while one is under way
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(dlg_->LastExtractResult(), EXTRACT_WRITTEN);
    EXPECT_TRUE(Enabled(ID_REEXTRACT));
}

TEST_F(PlayerDlgTest, ClosingDuringAnExtractionStopsItCleanly) {
    WriteFileBytes(OwnPath(), Player(Pattern(16 << 20, 3), 550, 400));
    dlg_ = new CPlayerDlg(prompts_, std::make_unique<FakeControl>(log_), OwnPath());
    dlg_->Show();
    ASSERT_TRUE(PumpEventsUntil(
        [this] { return dlg_->ProgressWindow() && dlg_->ProgressWindow()->GetProgress() > 10; }));
    dlg_->Close(true);
    dlg_ = nullptr;
    PumpEvents(std::chrono::milliseconds(20));
    EXPECT_TRUE(fs::is_empty(standalone::GetCacheFolder()));  // no partial file left
    EXPECT_TRUE(log_->Commands().empty());
}

TEST_F(PlayerDlgTest, RejectedMovieShowsTheUntitledStateAndDisablesPlayback) {
    log_->otherMovies = -1;
    Start(Player(Pattern(2048, 1), 550, 400));
    EXPECT_EQ(Told(), std::vector<std::string>{"抱歉, 打开文件出错"});
    EXPECT_EQ(Utf8(dlg_->GetTitle()), standalone::kUntitledTitle);
    EXPECT_EQ(dlg_->CurrentPath(), "");
    for (int id : {ID_PLAY, ID_PAUSE, ID_STOP, ID_FILE_SAVE_AS}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
}

TEST_F(PlayerDlgTest, OpenLoadsTheChosenFileWithoutResizing) {
    Start(BareStub());
    const wxSize before = dlg_->GetSize();
    const std::string movie = (dir_ / "other movie.swf").string();
    Choose({movie});
    dlg_->RunCommand(ID_FILE_OPEN);
    ASSERT_EQ(prompts_.dialogs.size(), 1u);
    EXPECT_FALSE(prompts_.dialogs[0].save);
    EXPECT_EQ(prompts_.dialogs[0].filter.utf8_string(),
              "Flash动画文件(*.swf)|*.swf|所有文件(*.*)|*.*||");
    EXPECT_EQ(dlg_->CurrentPath(), movie);
    EXPECT_EQ(Utf8(dlg_->GetTitle()), "other movie.swf - ToviFLash播放器 [独立版]");
    EXPECT_EQ(dlg_->GetSize(), before);
}

TEST_F(PlayerDlgTest, SaveAsCopiesTheMovieAndTellsHowItWent) {
    Start(Player(Pattern(2048, 4), 550, 400));
    const std::string target = (dir_ / "copy.swf").string();
    Choose({target, (dir_ / "no such folder" / "x.swf").string()});
    dlg_->RunCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(prompts_.dialogs.at(0).defaultName, "card.swf");
    EXPECT_EQ(prompts_.dialogs.at(0).defaultExtension, "swf");
    EXPECT_TRUE(prompts_.dialogs.at(0).save);
    EXPECT_EQ(ReadFileBytes(target), Pattern(2048, 4));
    dlg_->RunCommand(ID_FILE_SAVE_AS);
    EXPECT_EQ(Told(), (std::vector<std::string>{"文件保存成功", "保存文件失败!"}));
}

// A name typed without its extension gets ".swf"; an existing file of that final name is
// replaced only when the user says so, and the copy gets the mode of a new file of the user's.
TEST_F(PlayerDlgTest, SaveAsAsksBeforeReplacingTheFinalName) {
    Start(Player(Pattern(2048, 4), 550, 400));
    ::chmod(CachePath().c_str(), 0600);
    const fs::path target = dir_ / "copy.swf";
    WriteFileBytes(target, Pattern(10, 7));
    for (bool replace : {false, true}) {
        SCOPED_TRACE(replace);
        Choose({(dir_ / "copy").string()});
        prompts_.answers = {replace};
        prompts_.shown.clear();
        dlg_->RunCommand(ID_FILE_SAVE_AS);
        EXPECT_EQ(Asked(), std::vector<std::string>{"copy.swf 已存在。\r\n要替换它吗?"});
        EXPECT_EQ(ReadFileBytes(target), replace ? Pattern(2048, 4) : Pattern(10, 7));
        EXPECT_FALSE(fs::exists(dir_ / "copy"));
    }
    EXPECT_EQ(Told(), std::vector<std::string>{"文件保存成功"});
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              static_cast<fs::perms>(0666 & ~mask));
}

// The file dialogs start in this program's folder, then in the folder last chosen.
TEST_F(PlayerDlgTest, FileDialogsStartInTheFolderLastUsed) {
    Start(Player(Pattern(2048, 4), 550, 400));
    const fs::path other = dir_ / "other";
    fs::create_directories(other);
    Choose({(other / "missing.swf").string()});
    prompts_.ChooseFile(std::nullopt);
    dlg_->RunCommand(ID_FILE_OPEN);
    dlg_->RunCommand(ID_FILE_SAVE_AS);
    ASSERT_EQ(prompts_.dialogs.size(), 2u);
    EXPECT_EQ(prompts_.dialogs[0].folder, dir_.path().string());
    EXPECT_EQ(prompts_.dialogs[1].folder, other.string());
}

// A movie written for ActionScript 3 is said to be one each time it is loaded, extracted or
// opened, and it still plays.
TEST_F(PlayerDlgTest, AnActionScript3MovieIsToldAtEachLoad) {
    log_->actionScript3 = true;
    Start(Player(Pattern(2048, 4), 550, 400));
    ASSERT_EQ(Told().size(), 1u);
    EXPECT_EQ(Told()[0].rfind("此动画使用 ActionScript 3.0 编写", 0), 0u) << Told()[0];
    EXPECT_TRUE(dlg_->HasMovie());
    EXPECT_EQ(log_->Commands(), (std::vector<std::string>{"LoadMovie 0 " + CachePath(), "Play"}));
    Choose({(dir_ / "other.swf").string()});
    dlg_->RunCommand(ID_FILE_OPEN);
    EXPECT_EQ(Told().size(), 2u);
}

TEST_F(PlayerDlgTest, MuteTwiceReturnsToTheLevelAndMarksFollow) {
    Start(BareStub());
    dlg_->RunCommand(ID_VOLUME_80);
    dlg_->RunCommand(ID_MUTE);
    EXPECT_TRUE(Checked(ID_MUTE));
    for (int id : {ID_VOLUME_20, ID_VOLUME_50, ID_VOLUME_80, ID_VOLUME_100}) {
        EXPECT_FALSE(Enabled(id)) << id;
        EXPECT_EQ(Checked(id), id == ID_VOLUME_80) << id;
    }
    dlg_->RunCommand(ID_VOLUME_20);  // grey while muted: nothing happens
    dlg_->RunCommand(ID_MUTE);
    EXPECT_EQ(dlg_->GetVolume().level(), 80u);
    EXPECT_EQ(log_->volumes, (std::vector<std::uint32_t>{standalone::Volume::WaveValue(50),
                                                         standalone::Volume::WaveValue(80), 0,
                                                         standalone::Volume::WaveValue(80)}));
}

TEST_F(PlayerDlgTest, PlaybackScaleAndQualityCommandsDriveTheControl) {
    Start(Player(Pattern(2048, 1), 550, 400));
    log_->calls.clear();
    for (int id : {ID_PLAY, ID_PAUSE, ID_STOP, ID_SCALE_FILL, ID_QUALITY_LOW}) {
        dlg_->RunCommand(id);
    }
    EXPECT_EQ(log_->Commands(), (std::vector<std::string>{"Play", "Stop", "Rewind", "Stop",
                                                          "SetScaleMode 2", "SetQuality2 low"}));
    EXPECT_TRUE(Checked(ID_SCALE_FILL));
    EXPECT_FALSE(Checked(ID_SCALE_ORIGINAL));
    EXPECT_TRUE(Checked(ID_QUALITY_LOW));
}

TEST_F(PlayerDlgTest, SliderMovesThePlayerAndTheTimerMovesTheSlider) {
    Start(Player(Pattern(2048, 1), 550, 400));
    log_->calls.clear();
    wxScrollEvent track(wxEVT_SCROLL_THUMBTRACK, IDC_POSITION_SLIDER, 7);
    track.SetEventObject(dlg_->PositionSlider());
    dlg_->PositionSlider()->GetEventHandler()->ProcessEvent(track);
    wxScrollEvent release(wxEVT_SCROLL_THUMBRELEASE, IDC_POSITION_SLIDER, 9);
    release.SetEventObject(dlg_->PositionSlider());
    dlg_->PositionSlider()->GetEventHandler()->ProcessEvent(release);
    EXPECT_EQ(log_->Commands(), (std::vector<std::string>{"GotoFrame 7", "Play"}));

    log_->frame = 17;
    ASSERT_TRUE(PumpEventsUntil([this] { return dlg_->PositionSlider()->GetValue() == 17; },
                                std::chrono::seconds(5)));
}

TEST_F(PlayerDlgTest, AcceleratorRunsItsCommandOnce) {
    Start(BareStub());
    dlg_->Raise();
    dlg_->SetFocus();
    PumpEvents(std::chrono::milliseconds(100));
    wxUIActionSimulator keys;
    keys.Char('V', wxMOD_CONTROL);  // mute: run twice it would come back on
    PumpEvents(std::chrono::milliseconds(200));
    if (log_->volumes.size() == 1) {
        GTEST_SKIP() << "the window did not get the keyboard (no window manager?)";
    }
    EXPECT_EQ(log_->volumes, (std::vector<std::uint32_t>{standalone::Volume::WaveValue(50), 0}));
}

TEST_F(PlayerDlgTest, EnterAndEscapeLeaveTheWindowOpen) {
    Start(BareStub());
    for (int key : {WXK_RETURN, WXK_ESCAPE}) {
        wxKeyEvent press(wxEVT_CHAR_HOOK);
        press.m_keyCode = key;
        press.SetEventObject(dlg_);
        dlg_->GetEventHandler()->ProcessEvent(press);
        PumpEvents(std::chrono::milliseconds(20));
        EXPECT_TRUE(dlg_->IsShown());
    }
}

TEST_F(PlayerDlgTest, CacheCommandsAskThenClearOrOpenTheFolder) {
    std::vector<platform::ShellRequest> shell;
    platform::SetShellRecorder([&shell](const platform::ShellRequest& r) { shell.push_back(r); });
    Start(Player(Pattern(2048, 1), 550, 400));
    prompts_.Answer(false);
    dlg_->RunCommand(ID_CLEAR_CACHE);
    EXPECT_TRUE(fs::exists(CachePath()));
    prompts_.answers = {true};
    dlg_->RunCommand(ID_CLEAR_CACHE);
    EXPECT_FALSE(fs::exists(CachePath()));
    EXPECT_EQ(Asked(),
              (std::vector<std::string>{"您确定要删除缓存文件吗?", "您确定要删除缓存文件吗?"}));
    EXPECT_EQ(Told(), std::vector<std::string>{"文件清除成功"});

    dlg_->RunCommand(ID_VIEW_CACHE);
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].arguments, std::vector<std::string>{standalone::GetCacheFolder()});
}

TEST_F(PlayerDlgTest, FullPlayerMissingOffersTheDownloadPage) {
    std::vector<platform::ShellRequest> shell;
    platform::SetShellRecorder([&shell](const platform::ShellRequest& r) { shell.push_back(r); });
    Start(Player(Pattern(2048, 1), 550, 400));
    prompts_.answers = {true};
    dlg_->RunCommand(ID_OPEN_IN_FULL_PLAYER);
    ASSERT_EQ(Asked().size(), 1u);
    EXPECT_EQ(Asked()[0],
              "您还未安装ToviFlash播放器或安装程序已经损坏, 是否下载安装ToviFLash播放器?");
    ASSERT_EQ(shell.size(), 1u);
    EXPECT_EQ(shell[0].arguments,
              std::vector<std::string>{std::string(standalone::kWebSite) + "/ToviFlash/"});
    EXPECT_TRUE(dlg_->IsShown());
}

TEST_F(PlayerDlgTest, AboutBoxRunsThroughThePrompts) {
    Start(BareStub());
    dlg_->RunCommand(ID_APP_ABOUT);
    EXPECT_EQ(Modals(), std::vector<std::string>{"关于 ToviPlayer"});
}

TEST_F(PlayerDlgTest, ProgressWindowClampsAtHundred) {
    Start(BareStub());
    ASSERT_NE(dlg_->ProgressWindow(), nullptr);
    dlg_->ProgressWindow()->SetProgress(505);
    EXPECT_EQ(dlg_->ProgressWindow()->GetProgress(), 100);
}

}  // namespace
