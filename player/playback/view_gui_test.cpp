// The document and the view in a real (test) main window under the X server.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/docview.h>
#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <filesystem>
#include <functional>

#include "app/player_session.h"
#include "common/player_settings.h"
#include "flash/control/shockwave_flash.h"
#include "host/testing/fake_control.h"
#include "host/wx_prompts.h"
#include "lists/list_files.h"
#include "lists/media_lists.h"
#include "platform/registry.h"
#include "playback/toviflash_doc.h"
#include "playback/toviflash_view.h"
#include "res/resource_ids.h"
#include "ribbon_layout.h"
#include "ribbon_model.h"
#include "testing/movie_files.h"
#include "testing/scripted_prompts.h"
#include "testing/session_test.h"
#include "testing/test_frame.h"
#include "tovi.h"
#include "tovi/testing/files.h"
#include "tovi/testing/gui.h"
#include "ui/UI.h"
#include "ui/full_screen_environment.h"

namespace {

namespace fs = std::filesystem;
using Calls = std::vector<std::string>;
using host::testing::FakeControl;
using host::testing::FakeControlState;
using tovi::testing::PumpEvents;
using tovi::testing::PumpEventsUntil;

wxString W(const fs::path& p) {
    return wxString::FromUTF8(p.string());
}

class ViewTest : public SessionTest {
  protected:
    void SetUp() override {
        SetFlashWindowFactory([] {
            auto control = std::make_unique<FakeControl>();
            control->State().otherMovies = 100;
            return control;
        });
        // What an earlier case of this process left behind.
        fs::remove_all(fs::path(getenv("XDG_DATA_HOME")) / "Kestrum");
        platform::DeleteRegTree(platform::RegRoot::CurrentUser, L"Software");
        for (const char* name : {"a.swf", "b.swf", "c.swf"}) {
            WriteTestMovie(dir / name);
        }
    }

    // Types Ctrl + `key` on the main window, as a user does: the real key table answers.
    void TypeCtrl(int key) {
        if (!frame->IsShown()) {
            frame->Show();
            frame->Raise();
            PumpEventsUntil([&] { return FakeControl::Last()->Window()->IsShownOnScreen(); });
        }
        FakeControl::Last()->Window()->SetFocus();
        PumpEvents(std::chrono::milliseconds(100));
        wxUIActionSimulator().Char(key, wxMOD_CONTROL);
        PumpEvents(std::chrono::milliseconds(300));
    }

    CToviFlashDoc* Doc() { return session->GetDocument(); }
    CToviFlashView* View() { return session->GetView(); }
    FakeControlState& Flash() { return FakeControl::Last()->State(); }
    wxString Path(const char* name) { return W(dir / name); }

    tovi::testing::TempDir dir;
};

TEST_F(ViewTest, StartsWithTheStartMovieWhenNoFileIsGiven) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(Flash().Take(),
              (Calls{"StopPlay",
                     "LoadMovie 0 " + GetSetingFilePathName(L"Tools\\start.swf").utf8_string(),
                     "Play", "SetQuality2 high"}));
    EXPECT_FALSE(View()->IsMovieLoaded());
    EXPECT_TRUE(Doc()->GetPathName().empty());
    EXPECT_FALSE(frame->Update(ID_PLAY).enabled);
    EXPECT_FALSE(frame->Update(ID_SAVE_AS).enabled);
    EXPECT_EQ(frame->refreshes, 1);
    // The folders are made at the end of start-up.
    EXPECT_TRUE(fs::is_directory(fs::path(getenv("XDG_DATA_HOME")) / "Kestrum/ToviFlash/Seting"));
}

TEST_F(ViewTest, AFileOnTheCommandLineIsOpenedPlayedAndRemembered) {
    ASSERT_TRUE(Start(Path("b.swf")));
    Calls calls = Flash().Take();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "LoadMovie 0 " + Path("b.swf").utf8_string()),
              calls.end());
    EXPECT_TRUE(View()->IsMovieLoaded());
    EXPECT_TRUE(Flash().playing);
    EXPECT_EQ(Doc()->GetSwfInfo().nWidth, 550);
    EXPECT_EQ(Lists().history.Entries(), std::vector<wxString>{Path("b.swf")});
    EXPECT_EQ(Lists().related.Entries(),
              (std::vector<wxString>{Path("a.swf"), Path("b.swf"), Path("c.swf")}));
    EXPECT_EQ(frame->Handles().progressSlider->rangeMax(), 100);
    EXPECT_EQ(frame->GetTitle(), wxString::FromUTF8("b.swf - ToviFlash播放器"));
    // Previous and next list the neighbours in the folder.
    const auto& next = frame->Handles().nextButton->subItems();
    ASSERT_EQ(next.size(), 2u);
    EXPECT_EQ(next[1]->id(), 62001);
    EXPECT_EQ(next[1]->text(), L"c.swf");
    const auto& previous = frame->Handles().previousButton->subItems();
    ASSERT_EQ(previous.size(), 2u);
    EXPECT_EQ(previous[1]->id(), 62002);
}

TEST_F(ViewTest, ARefusedFileKeepsTheMovieThatWasShowing) {
    ASSERT_TRUE(Start(Path("a.swf")));
    tovi::testing::WriteFileText(dir / "bad.swf", "not a movie");
    Flash().Take();
    EXPECT_FALSE(Doc()->Open(Path("bad.swf")));
    EXPECT_EQ(prompts.Texts().back(),
              wxString::FromUTF8("抱歉,目前播放器还无法播放您所要求打开的文档"));
    EXPECT_EQ(Doc()->GetPathName(), Path("a.swf"));
    EXPECT_TRUE(Flash().Take().empty());

    EXPECT_FALSE(Doc()->Open(Path("missing.swf")));
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(Doc()->GetPathName(), Path("a.swf"));
}

TEST_F(ViewTest, AnFlvIsPlayedThroughTheWrapperMovie) {
    tovi::testing::WriteFileText(dir / "clip.FLV", "FLV");
    ASSERT_TRUE(Start(Path("clip.FLV")));
    Calls calls = Flash().Take();
    EXPECT_NE(
        std::find(calls.begin(), calls.end(),
                  "LoadMovie 0 " + GetSetingFilePathName(L"Tools\\FLVPlayer.swf").utf8_string()),
        calls.end());
    EXPECT_EQ(Flash().variables["_level0.strPath"], Path("clip.FLV"));
    EXPECT_EQ(Flash().frame, 2);
    EXPECT_FALSE(frame->Update(ID_PROGRESS).enabled);
    EXPECT_FALSE(frame->Update(ID_MAKE_EXE).enabled);
    frame->Command(ID_PLAY);
    EXPECT_EQ(Flash().frame, 3);
    // The end of an FLV is not looked for.
    Flash().Take();
    View()->CheckEndOfMovie();
    EXPECT_TRUE(Flash().Take().empty());
}

TEST_F(ViewTest, CommandsReachTheirHandlersByIdAboveTheWindowIdLimit) {
    ASSERT_TRUE(Start(Path("a.swf")));
    // The next menu's first entry, 62001, opens b.swf through its description.
    frame->Command(62001);
    EXPECT_EQ(Doc()->GetPathName(), Path("b.swf"));
    // History entries from position 2 on have their own ids; 40001 is the newest.
    frame->Command(ID_HISTORY_OPEN_FIRST + 1);  // no element carries it: nothing happens
    EXPECT_EQ(Doc()->GetPathName(), Path("b.swf"));
    ribbon::Element* recent = frame->Ribbon().FindById(ID_HISTORY_OPEN_FIRST);
    recent->SetDescription(L"路径: " + Path("c.swf").ToStdWstring());
    frame->Command(ID_HISTORY_OPEN_FIRST);
    EXPECT_EQ(Doc()->GetPathName(), Path("c.swf"));
    // Playback commands go to the view.
    Flash().Take();
    frame->Command(ID_PLAY);
    Calls calls = Flash().Take();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0], "IsPlaying");
    EXPECT_EQ(calls[1], "StopPlay");
    frame->Command(ID_SCALE_MEDIUM);
    EXPECT_EQ(Settings().ScaleMode, 10);
    EXPECT_TRUE(*frame->Update(ID_SCALE_MEDIUM).checked);
}

TEST_F(ViewTest, ThePlayButtonAndProgressFollowTheControl) {
    ASSERT_TRUE(Start(Path("a.swf")));
    ribbon::Element* play = frame->Handles().playButton;
    frame->Update(ID_PLAY);
    EXPECT_EQ(play->text(), L"暂停");
    EXPECT_EQ(play->smallImage(), 1);
    EXPECT_EQ(play->OwnToolTip(), L"暂停当前播放");
    frame->Command(ID_PLAY);
    frame->Update(ID_PLAY);
    EXPECT_EQ(play->text(), L"播放");
    EXPECT_EQ(play->largeImage(), 0);
    EXPECT_EQ(play->OwnDescription(), L"播放当前加载的动画、再次单击可暂停播放");

    Flash().frame = 42;
    frame->Update(ID_PROGRESS);
    EXPECT_EQ(frame->Handles().progressSlider->pos(), 42);
    frame->progressHeld = true;
    Flash().frame = 43;
    frame->Update(ID_PROGRESS);
    EXPECT_EQ(frame->Handles().progressSlider->pos(), 42);
    // Moving the slider sends the movie there.
    frame->Handles().progressSlider->SetPos(10);
    frame->Command(ID_PROGRESS);
    EXPECT_EQ(Flash().frame, 10);
    EXPECT_TRUE(Flash().playing);
}

TEST_F(ViewTest, TheEndOfAMovieAppliesThePlayMode) {
    ASSERT_TRUE(Start(Path("a.swf")));
    Flash().Take();
    Flash().frame = 97;
    View()->CheckEndOfMovie();
    EXPECT_EQ(Flash().Take(), (Calls{"FrameNum", "TotalFrames"}));

    Flash().frame = 98;  // play once: rewound and stopped
    View()->CheckEndOfMovie();
    EXPECT_EQ(Flash().Take(), (Calls{"FrameNum", "TotalFrames", "Rewind", "Stop"}));

    Settings().PlayMode = kPlayModeAuto;  // the next related file
    Flash().frame = 99;
    View()->CheckEndOfMovie();
    EXPECT_EQ(Doc()->GetPathName(), Path("b.swf"));
}

TEST_F(ViewTest, TheEndIsLookedForTwicePerFrameOnlyWhileTheMoviePlays) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(View()->EndCheckInterval(), kIdleCheckMs);
    Flash().fps = 24;
    ASSERT_TRUE(Doc()->Open(Path("a.swf")));
    EXPECT_EQ(View()->EndCheckInterval(), 20);
    frame->Command(ID_PLAY);  // pause
    EXPECT_EQ(View()->EndCheckInterval(), kIdleCheckMs);
    // A movie paused at its end is still handled: play once rewinds it.
    Flash().frame = 99;
    EXPECT_TRUE(PumpEventsUntil([this] { return Flash().frame == 0; }, std::chrono::seconds(5)));
    frame->Command(ID_PLAY);
    EXPECT_EQ(View()->EndCheckInterval(), 20);
}

TEST_F(ViewTest, AFileThatCannotBeOpenedAtTheEndIsReportedOnce) {
    ASSERT_TRUE(Start(Path("a.swf")));
    fs::remove(dir / "b.swf");
    Settings().PlayMode = kPlayModeAuto;
    Flash().frame = 99;
    for (int i = 0; i < 5; ++i) {
        View()->CheckEndOfMovie();
    }
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(Doc()->GetPathName(), Path("a.swf"));
    // Playing again lets the end be handled again.
    frame->Command(ID_PLAY);
    View()->CheckEndOfMovie();
    EXPECT_EQ(prompts.shown.size(), 2u);
}

TEST_F(ViewTest, TheTimerFindsTheEnd) {
    ASSERT_TRUE(Start(Path("a.swf")));
    Flash().frame = 99;
    EXPECT_TRUE(PumpEventsUntil([this] { return Flash().frame == 0 && !Flash().playing; },
                                std::chrono::seconds(5)));
}

TEST_F(ViewTest, SavingACopyOntoTheOpenFileLeavesItIntact) {
    ASSERT_TRUE(Start(Path("a.swf")));
    const auto original = tovi::testing::ReadFileBytes(dir / "a.swf");
    // The open file exists: replacing it is asked first, as for any file.
    prompts.ChooseFile(Path("a.swf")).Answer(true);
    frame->Command(ID_SAVE_AS);
    EXPECT_EQ(tovi::testing::ReadFileBytes(dir / "a.swf"), original);
    EXPECT_EQ(prompts.dialogs.at(0).defaultName, "a.swf");
    EXPECT_EQ(prompts.dialogs.at(0).defaultExtension, "swf");

    prompts.ChooseFile(Path("copy.swf"));
    frame->Command(ID_SAVE_AS);
    EXPECT_EQ(tovi::testing::ReadFileBytes(dir / "copy.swf"), original);
    EXPECT_EQ(
        prompts.Texts(),
        (std::vector<wxString>{wxString::FromUTF8("a.swf 已存在。\r\n要替换它吗?"),
                               wxString::FromUTF8("保存成功"), wxString::FromUTF8("保存成功")}));

    prompts.ChooseFile(Path("no/such/folder/copy.swf"));
    frame->Command(ID_SAVE_AS);
    EXPECT_TRUE(prompts.Texts().back().StartsWith(wxString::FromUTF8("保存出错!\r\n")));
}

TEST_F(ViewTest, MakingAPlayerWhileAnotherIsMadeIsRefused) {
    ASSERT_TRUE(Start(Path("a.swf")));
    EXPECT_TRUE(frame->Update(ID_MAKE_EXE).enabled);
    g_blIsMaking = 1;
    EXPECT_FALSE(frame->Update(ID_MAKE_EXE).enabled);
    // The command is disabled meanwhile; the document still refuses a direct request.
    frame->Command(ID_MAKE_EXE);
    EXPECT_TRUE(prompts.shown.empty());
    Doc()->MakePlayer(nullptr);
    g_blIsMaking = 0;
    EXPECT_EQ(prompts.Texts(),
              std::vector<wxString>{wxString::FromUTF8("现在正在生成另一个文件, 请稍候重试")});
    EXPECT_TRUE(prompts.dialogs.empty());
}

// The accelerators run a command only when its update rule enables it: typed on the real key
// table of the main window.
TEST_F(ViewTest, ShortcutsOfDisabledCommandsDoNothing) {
    tovi::testing::WriteFileText(dir / "clip.flv", "FLV");
    // A compressed movie: its header gives no stage size.
    tovi::testing::WriteFileText(dir / "packed.swf", std::string("CWS\x0a\x40\0\0\0xxxxxxxx", 16));
    ASSERT_TRUE(Start());
    const struct {
        const char* file;  // null: no movie
        int key;
        bool runs;  // a dialog comes up (answered Cancel)
    } cases[] = {
        {nullptr, 'S', false}, {nullptr, 'B', false}, {"clip.flv", 'B', false},
        {"a.swf", 'S', true},  {"a.swf", 'B', true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file ? c.file : "no movie") + " ctrl+" + char(c.key));
        if (c.file) {
            ASSERT_TRUE(Doc()->Open(Path(c.file)));
        }
        prompts.dialogs.clear();
        if (c.runs) {
            prompts.ChooseFile(std::nullopt);
        }
        TypeCtrl(c.key);
        PumpEventsUntil([&] { return !prompts.dialogs.empty(); }, std::chrono::milliseconds(500));
        EXPECT_EQ(prompts.dialogs.size(), c.runs ? 1u : 0u);
        EXPECT_EQ(g_blIsMaking, 0);
    }
    // Best size on a movie whose size is unknown leaves the window as it is.
    ASSERT_TRUE(Doc()->Open(Path("packed.swf")));
    const wxSize before = frame->GetSize();
    TypeCtrl('Z');
    PumpEvents(std::chrono::milliseconds(300));
    EXPECT_EQ(frame->GetSize(), before);
    EXPECT_TRUE(prompts.shown.empty());
}

// The open and save dialogs start in the open movie's folder, or with none open in the folder
// last chosen in one of them; never in the process's working folder.
TEST_F(ViewTest, FileDialogsStartInTheMoviesFolderOrTheLastOneUsed) {
    const fs::path other = dir / "other";
    fs::create_directories(other);
    tovi::testing::WriteFileText(other / "bad.swf", "not a movie");
    ASSERT_TRUE(Start());
    prompts.ChooseFile(W(other / "bad.swf")).ChooseFile(std::nullopt);
    TypeCtrl('O');
    TypeCtrl('O');
    ASSERT_EQ(prompts.dialogs.size(), 2u);
    EXPECT_EQ(prompts.dialogs[0].folder, wxString());
    EXPECT_EQ(prompts.dialogs[1].folder, W(other));

    ASSERT_TRUE(Doc()->Open(Path("a.swf")));
    prompts.ChooseFile(std::nullopt).ChooseFile(std::nullopt);
    TypeCtrl('O');
    TypeCtrl('S');
    ASSERT_EQ(prompts.dialogs.size(), 4u);
    EXPECT_EQ(prompts.dialogs[2].folder, W(dir.path()));
    EXPECT_EQ(prompts.dialogs[3].folder, W(dir.path()));

    // The dialog the program shows starts there; without a folder, in the home folder.
    for (const auto& [folder, expected] :
         std::vector<std::pair<wxString, wxString>>{{W(other), W(other)}, {{}, wxGetHomeDir()}}) {
        host::FileRequest request;
        request.folder = folder;
        EXPECT_EQ(host::WxPrompts::MakeFileDialog(request)->GetDirectory(), expected);
    }
}

// A name typed without its extension gets it, and a file of that final name is replaced only
// when the user says so.
TEST_F(ViewTest, SavingUnderANameWithoutExtensionAsksBeforeReplacing) {
    ASSERT_TRUE(Start(Path("a.swf")));
    tovi::testing::WriteFileText(dir / "copy.swf", "keep me");
    prompts.ChooseFile(Path("copy")).Answer(false);
    TypeCtrl('S');
    const auto kept = tovi::testing::ReadFileBytes(dir / "copy.swf");
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep me");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, wxString::FromUTF8("copy.swf 已存在。\r\n要替换它吗?"));

    prompts.ChooseFile(Path("copy")).Answer(true);
    TypeCtrl('S');
    EXPECT_EQ(tovi::testing::ReadFileBytes(dir / "copy.swf"),
              tovi::testing::ReadFileBytes(dir / "a.swf"));
    EXPECT_EQ(prompts.Texts().back(), wxString::FromUTF8("保存成功"));
}

TEST_F(ViewTest, BestSizeGivesThePlayingAreaTheMovieSizeButNoLessThan320By240) {
    WriteTestMovie(dir / "small.swf", 100, 50);
    WriteTestMovie(dir / "large.swf", 400, 300);
    ASSERT_TRUE(Start(Path("small.swf")));
    wxWindow* control = FakeControl::Last()->Window();
    for (const auto& [name, size] : std::vector<std::pair<const char*, wxSize>>{
             {"small.swf", {320, 240}}, {"large.swf", {400, 300}}}) {
        ASSERT_TRUE(Doc()->Open(Path(name)));
        frame->Command(ID_BEST_SIZE);
        EXPECT_TRUE(
            PumpEventsUntil([&] { return control->GetSize() == size; }, std::chrono::seconds(5)))
            << name << ": " << control->GetSize().x << "x" << control->GetSize().y;
    }
}

TEST_F(ViewTest, SettingsCommandsChangeTheSettingsAndTheirMarks) {
    ASSERT_TRUE(Start(Path("a.swf")));
    const struct {
        int command;
        std::function<bool()> effect;
        int marked;  // a command whose item is now checked
    } cases[] = {
        {ID_QUALITY_LOW, [this] { return Settings().PlayHuazhi == "low"; }, ID_QUALITY_LOW},
        {ID_QUALITY_MEDIUM, [&] { return Flash().quality == "medium"; }, ID_QUALITY_MEDIUM},
        {ID_SCALE_NO_BORDER, [&] { return Flash().scale == 1; }, ID_SCALE_NO_BORDER},
        {ID_ADD_TO_TAIL, [this] { return !Settings().isAddHead; }, ID_ADD_TO_TAIL},
        {ID_ADD_TO_HEAD, [this] { return Settings().isAddHead; }, ID_ADD_TO_HEAD},
        {ID_DRAG_ALWAYS, [this] { return Settings().OtherSeting == 1; }, ID_DRAG_ALWAYS},
        {ID_DRAG_NEVER, [this] { return Settings().OtherSeting == 0; }, ID_DRAG_NEVER},
        {ID_MUTE, [this] { return frame->muted; }, ID_MUTE},
        {ID_LIST_SOURCE, [this] { return Settings().isPlayingList; }, 0},
    };
    for (const auto& c : cases) {
        frame->Command(c.command);
        EXPECT_TRUE(c.effect()) << c.command;
        if (c.marked) {
            EXPECT_TRUE(frame->Update(c.marked).checked.value_or(false)) << c.command;
        }
    }
    // The volume clears the mute; the source toggle rebuilt the menus from the playlist.
    frame->Command(ID_VOLUME);
    EXPECT_FALSE(frame->muted);
    EXPECT_EQ(frame->Handles().nextButton->subItems().at(0)->text(), L"从当前文件夹中读取");
    // The ribbon goes and comes back with the same command.
    frame->Command(ID_RIBBON_TOGGLE);
    EXPECT_FALSE(frame->ribbonVisible);
    EXPECT_FALSE(*frame->Update(ID_RIBBON_TOGGLE).checked);
    frame->Command(ID_RIBBON_DISABLE);
    EXPECT_TRUE(frame->ribbonVisible);
}

TEST_F(ViewTest, DraggingThePlayingAreaMovesTheWindowAsTheDragModeSays) {
    ASSERT_TRUE(Start(Path("a.swf")));
    // A place of its own on the screen, where no other test puts a window: the pointer is real.
    frame->SetSize(0, 540, 480, 400);
    frame->Show();
    frame->Raise();
    wxWindow* control = FakeControl::Last()->Window();
    ASSERT_TRUE(PumpEventsUntil([&] { return control->IsShownOnScreen(); }));
    const struct {
        int mode;
        bool ribbon;
        bool moves;
    } cases[] = {{kDragAlways, true, true},
                 {kDragNever, false, false},
                 {kDragWithoutRibbon, true, false},
                 {kDragWithoutRibbon, false, true}};
    wxUIActionSimulator mouse;
    for (const auto& c : cases) {
        Settings().OtherSeting = c.mode;
        frame->ribbonVisible = c.ribbon;
        const wxPoint before = frame->GetPosition();
        const wxPoint start = control->ClientToScreen(wxPoint(100, 100));
        mouse.MouseMove(start);
        PumpEvents(std::chrono::milliseconds(100));
        mouse.MouseDown();
        PumpEvents(std::chrono::milliseconds(100));
        mouse.MouseMove(start + wxPoint(40, 30));
        PumpEvents(std::chrono::milliseconds(100));
        mouse.MouseUp();
        const wxPoint expected = c.moves ? before + wxPoint(40, 30) : before;
        EXPECT_TRUE(PumpEventsUntil([&] { return frame->GetPosition() == expected; },
                                    std::chrono::seconds(3)))
            << "mode " << c.mode << " ribbon " << c.ribbon << ": at " << frame->GetPosition().x
            << "," << frame->GetPosition().y;
        PumpEvents(std::chrono::milliseconds(100));
    }
}

// A check item of a menu as the toolkit shows it: its text and mark.
struct MenuMark {
    wxString text;
    bool checkable = false;
    bool checked = false;
};

void CollectMarks(const wxMenu& menu, std::vector<MenuMark>& marks) {
    for (const wxMenuItem* item : menu.GetMenuItems()) {
        if (item->IsSubMenu()) {
            CollectMarks(*item->GetSubMenu(), marks);
        } else if (!item->IsSeparator()) {
            marks.push_back({item->GetItemLabelText(), item->IsCheckable(),
                             item->IsCheckable() && item->IsChecked()});
        }
    }
}

// The context menu of a right click on the movie: the items with update-rule marks are check
// items showing them, and a chosen item runs its command.
TEST_F(ViewTest, TheContextMenuShowsTheMarksAndRunsTheChosenItem) {
    ASSERT_TRUE(Start(Path("a.swf")));
    Settings().ScaleMode = 3;
    Settings().PlayHuazhi = wxS("medium");
    frame->muted = true;
    frame->SetSize(0, 540, 480, 400);
    frame->Show();
    frame->Raise();
    wxWindow* control = FakeControl::Last()->Window();
    ASSERT_TRUE(PumpEventsUntil([&] { return control->IsShownOnScreen(); }));
    Flash().quality = "medium";

    std::vector<MenuMark> marks;
    View()->GetPlayArea()->Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& event) {
        if (marks.empty() && event.GetMenu() && !event.GetMenu()->GetParent()) {
            CollectMarks(*event.GetMenu(), marks);
        }
        event.Skip();
    });
    // Down to the first item, "添加到播放列表", and choose it.
    const int keys[] = {WXK_DOWN, WXK_RETURN, WXK_ESCAPE, WXK_ESCAPE};
    std::size_t next = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (next < std::size(keys) && !marks.empty()) {
            wxUIActionSimulator().Char(keys[next++]);
        }
    });
    timer.Start(300);
    wxUIActionSimulator mouse;
    mouse.MouseMove(control->ClientToScreen(wxPoint(100, 100)));
    PumpEvents(std::chrono::milliseconds(100));
    mouse.MouseClick(wxMOUSE_BTN_RIGHT);
    EXPECT_TRUE(PumpEventsUntil([&] { return !Lists().playlist.Entries().empty(); }));
    timer.Stop();
    EXPECT_EQ(Lists().playlist.Entries(), std::vector<wxString>{Path("a.swf")});

    auto mark = [&](const char* text) {
        for (const MenuMark& m : marks) {
            if (m.text == wxString::FromUTF8(text)) {
                return m;
            }
        }
        ADD_FAILURE() << "no item " << text;
        return MenuMark{};
    };
    const struct {
        const char* text;
        bool checkable;
        bool checked;
    } expected[] = {
        {"静音播放", true, true},    {"启用Ribbon界面", true, true},   {"中", true, true},
        {"高", true, false},         {"原始大小", true, true},         {"缩放", true, false},
        {"播放/暂停", false, false}, {"添加到播放列表", false, false},
    };
    for (const auto& e : expected) {
        const MenuMark m = mark(e.text);
        EXPECT_EQ(m.checkable, e.checkable) << e.text;
        EXPECT_EQ(m.checked, e.checked) << e.text;
    }
}

TEST_F(ViewTest, DroppedFilesOpenInTurnAndTheLastStaysOpen) {
    ASSERT_TRUE(Start());
    tovi::testing::WriteFileText(dir / "bad.swf", "not a movie");
    wxArrayString files;
    for (const char* name : {"a.swf", "c.swf", "bad.swf"}) {
        files.push_back(Path(name));
    }
    session->OpenFiles(files);
    EXPECT_EQ(Doc()->GetPathName(), Path("c.swf"));
    EXPECT_EQ(Lists().history.Entries(), (std::vector<wxString>{Path("c.swf"), Path("a.swf")}));
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(ViewTest, ClosingTheWindowSavesTheSettingsAndLists) {
    ASSERT_TRUE(Start(Path("a.swf")));
    frame->Command(ID_ADD_TO_PLAYLIST);
    frame->Command(ID_APP_EXIT);
    EXPECT_TRUE(PumpEventsUntil([this] { return frame == nullptr; }));
    ScriptedPrompts quiet;
    PlayerSettings settings;
    MediaLists back(settings);
    LoadLists(back, settings, quiet);
    EXPECT_EQ(back.history.Entries(), std::vector<wxString>{Path("a.swf")});
    EXPECT_EQ(back.playlist.Entries(), std::vector<wxString>{Path("a.swf")});
}

// Full screen runs the UI library's window modally; `script` runs inside it.
struct FullScreenRun {
    explicit FullScreenRun(std::function<void(CFullScreen&)> script) {
        ui::FullScreenEnvironment environment;
        environment.pollTimer = false;
        ui::SetFullScreenEnvironment(environment);
        wxTheApp->CallAfter([script] {
            for (wxWindow* window : wxTopLevelWindows) {
                if (auto* full = dynamic_cast<CFullScreen*>(window); full && full->IsModal()) {
                    script(*full);
                    return;
                }
            }
        });
    }
    ~FullScreenRun() { ui::SetFullScreenEnvironment({}); }
};

// The calls that move the view's movie: Stop, GotoFrame and Play.
Calls Moves(Calls calls) {
    std::erase_if(calls, [](const std::string& c) {
        return c != "Stop" && c != "Play" && c.rfind("GotoFrame", 0) != 0;
    });
    return calls;
}

void PressEscape(wxWindow* window) {
    wxKeyEvent press(wxEVT_CHAR_HOOK);
    press.m_keyCode = WXK_ESCAPE;
    press.SetEventObject(window);
    window->ProcessWindowEvent(press);
}

TEST_F(ViewTest, FullScreenTakesTheMovieOverAndHandsItBack) {
    ASSERT_TRUE(Start(Path("b.swf")));
    for (bool playing : {true, false}) {
        SCOPED_TRACE(playing ? "playing" : "paused");
        PumpEvents(std::chrono::milliseconds(100));
        Flash().frame = 12;
        Flash().playing = playing;
        Flash().Take();
        long seen = -1;
        bool ran = false;
        FullScreenRun run([&](CFullScreen& window) {
            ran = true;
            EXPECT_FALSE(frame->IsShown());
            auto* flash = dynamic_cast<CShockwaveFlash*>(window.FindWindow(IDC_FLASH));
            ASSERT_NE(flash, nullptr);
            EXPECT_EQ(flash->IsPlaying(), playing);
            if (playing) {
                EXPECT_GE(flash->FrameNum(), 12);
            } else {
                EXPECT_EQ(flash->FrameNum(), 12);
            }
            // The view's own movie waits meanwhile.
            EXPECT_EQ(Moves(Flash().Take()), Calls{"Stop"});
            if (playing) {
                EXPECT_TRUE(PumpEventsUntil([&] { return flash->FrameNum() > 13; }));
            }
            window.Poll();
            seen = flash->FrameNum();
            PressEscape(flash);
        });
        frame->Command(ID_FULL_SCREEN);
        EXPECT_TRUE(ran);
        EXPECT_TRUE(frame->IsShown());
        Calls expected{"GotoFrame " + std::to_string(playing ? seen : 12)};
        if (playing) {
            expected.push_back("Play");
            EXPECT_GT(seen, 13);
        }
        EXPECT_EQ(Moves(Flash().Take()), expected);
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ViewTest, FullScreenThatCannotStartSaysSoAndTheViewGoesOn) {
    ASSERT_TRUE(Start(Path("b.swf")));
    PumpEvents(std::chrono::milliseconds(100));
    Flash().frame = 30;
    Flash().playing = true;
    fs::remove(dir / "b.swf");  // gone since it was opened
    Flash().Take();
    FullScreenRun run([](CFullScreen&) { ADD_FAILURE() << "full screen ran"; });
    frame->Command(ID_FULL_SCREEN);
    EXPECT_EQ(prompts.Texts(), std::vector<wxString>{wxString(L"抱歉， 全屏播放失败")});
    EXPECT_TRUE(frame->IsShown());
    EXPECT_EQ(Moves(Flash().Take()), (Calls{"Stop", "GotoFrame 30", "Play"}));
}

TEST_F(ViewTest, FullScreenIsRefusedWhileAPlayerIsMade) {
    ASSERT_TRUE(Start(Path("b.swf")));
    g_blIsMaking = 1;
    Flash().Take();
    FullScreenRun run([](CFullScreen&) { ADD_FAILURE() << "full screen ran"; });
    frame->Command(ID_FULL_SCREEN);
    g_blIsMaking = 0;
    EXPECT_TRUE(Moves(Flash().Take()).empty());
    EXPECT_TRUE(frame->IsShown());
}

}  // namespace
