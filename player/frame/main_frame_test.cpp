#include "main_frame.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/gauge.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include <stdexcept>
#include <thread>

#include "application_menu_window.h"
#include "make_exe_statu.h"
#include "platform/registry.h"
#include "platform/wx_dispatch.h"
#include "resource_ids.h"
#include "ribbon_menus.h"
#include "ribbon_status_bar.h"
#include "ribbon_window.h"
#include "testing/test_context.h"
#include "tovi.h"
#include "tovi/testing/gui.h"

namespace {

using tovi::testing::PumpEvents;
using tovi::testing::PumpEventsUntil;

CMainFrame* g_frame = nullptr;

class TestDocument : public wxDocument {
    wxDECLARE_DYNAMIC_CLASS(TestDocument);
};
wxIMPLEMENT_DYNAMIC_CLASS(TestDocument, wxDocument);

// A view that tells the status pane what the test wants and records commands.
class TestView : public wxView, public PlayingStateSource {
  public:
    bool loaded = false;
    bool playing = false;
    bool failing = false;
    std::vector<int> commands;

    bool OnCreate(wxDocument* doc, long flags) override {
        if (!wxView::OnCreate(doc, flags)) {
            return false;
        }
        SetFrame(g_frame);
        window = new wxPanel(g_frame);
        window->SetBackgroundColour(*wxBLACK);
        Activate(true);
        return true;
    }
    bool OnClose(bool deleteWindow) override {
        Activate(false);
        if (deleteWindow && window) {
            window->Destroy();
            window = nullptr;
        }
        return wxView::OnClose(deleteWindow);
    }
    void OnDraw(wxDC*) override {}
    bool IsMovieLoaded() const override { return loaded; }
    bool IsControlPlaying() override {
        if (failing) {
            throw std::runtime_error("control failed");
        }
        return playing;
    }
    void OnCommand(wxCommandEvent& event) { commands.push_back(event.GetId()); }

    wxPanel* window = nullptr;

  private:
    wxDECLARE_DYNAMIC_CLASS(TestView);
    wxDECLARE_EVENT_TABLE();
};
wxIMPLEMENT_DYNAMIC_CLASS(TestView, wxView);
// clang-format off
wxBEGIN_EVENT_TABLE(TestView, wxView)
    EVT_MENU_RANGE(ID_HISTORY_OPEN_FIRST, ID_HISTORY_PLAY_LAST, TestView::OnCommand)
    EVT_MENU_RANGE(ID_RELATED_OPEN_FIRST, ID_RELATED_PLAY_LAST, TestView::OnCommand)
    EVT_MENU_RANGE(ID_PLAYLIST_OPEN_FIRST, ID_NAVIGATION_LAST, TestView::OnCommand)
    EVT_MENU(ID_PLAY, TestView::OnCommand)
    EVT_MENU(ID_APP_ABOUT, TestView::OnCommand)
wxEND_EVENT_TABLE()
    // clang-format on

    // Chooses the item with a given command from whatever menu is shown.
    struct ChoosingPresenter : ribbon::MenuPresenter {
    int command = 0;
    int shown = 0;
    int Present(wxWindow*, ribbon::ElementMenu& menu, const wxPoint&) override {
        ++shown;
        return menu.ItemOf(command);
    }
};

int StoredLook() {
    platform::RegKey key;
    if (key.Open(platform::RegRoot::CurrentUser, looks::kLookKey) != 0) {
        return -1;
    }
    platform::RegValue value;
    if (key.QueryValue(looks::kLookValue, &value) != 0 || value.data.size() != 4) {
        return -1;
    }
    return value.data[0] | value.data[1] << 8;
}

void StoreLook(int id) {
    platform::RegKey key;
    ASSERT_EQ(key.Create(platform::RegRoot::CurrentUser, looks::kLookKey), 0);
    key.SetDword(looks::kLookValue, static_cast<platform::DWORD>(id));
}

class MainFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MakeExeProgress::ResetUsableForTesting();
        platform::InstallWxDispatcher();
        manager = new wxDocManager;
        new wxDocTemplate(manager, "Flash", "*.swf", "", "swf", "Flash Doc", "Flash View",
                          CLASSINFO(TestDocument), CLASSINFO(TestView));
    }
    void TearDown() override {
        ribbon::SetMenuPresenter(nullptr);
        DestroyFrame();
        delete manager;
        platform::UninstallWxDispatcher();
        CMakeExeStatu::FailCreationForTesting(false);
        CMainFrame::SetSystemVolumeReader(nullptr);
    }

    void CreateFrame(bool withView = true) {
        g_frame = frame = new CMainFrame(player.context);
        ASSERT_TRUE(frame->Create(manager, L"ToviFlash播放器", wxPoint(40, 30), wxSize(900, 600)));
        frame->Show();
        if (withView) {
            wxDocument* doc = manager->CreateNewDocument();
            ASSERT_NE(doc, nullptr);
            view = dynamic_cast<TestView*>(doc->GetFirstView());
            ASSERT_NE(view, nullptr);
            frame->Layout();
        }
        PumpEvents(std::chrono::milliseconds(150));
    }
    void DestroyFrame() {
        if (frame) {
            manager->CloseDocuments(true);
            frame->Destroy();
            PumpEvents(std::chrono::milliseconds(30));
            frame = g_frame = nullptr;
            view = nullptr;
        }
    }
    // The style ids whose check box in the "播放器外观" panel and item in menu 200 are marked.
    std::vector<int> MarkedStyles() {
        frame->GetRibbonBar()->UpdateCommandUI();
        std::vector<int> marked;
        for (int id = ID_STYLE_FIRST; id <= ID_STYLE_LAST; ++id) {
            const ribbon::Element* e = frame->GetRibbon().FindById(id);
            if (e && e->checked()) {
                marked.push_back(id);
            }
        }
        ribbon::ElementMenu menu(res::StyleMenu());
        menu.Update(frame);
        std::vector<int> inMenu;
        for (auto [item, command] : menu.items()) {
            if (menu.menu().IsChecked(item)) {
                inMenu.push_back(command);
            }
        }
        // 211 and 213 are offered only in menu 200.
        std::vector<int> inRibbon;
        for (int id : inMenu) {
            if (frame->GetRibbon().FindById(id)) {
                inRibbon.push_back(id);
            }
        }
        EXPECT_EQ(marked, inRibbon) << "ribbon and menu 200 disagree";
        return inMenu;
    }
    wxString Pane(int id) { return frame->GetRibbonStatusBar()->PaneText(id); }

    wxDocManager* manager = nullptr;
    CMainFrame* frame = nullptr;
    TestView* view = nullptr;
    ContextFixture player;
    ScriptedPrompts& prompts = player.prompts;
};

TEST_F(MainFrameTest, FirstStartAppliesAndStoresTheBlackStyle) {
    ASSERT_EQ(StoredLook(), -1);
    CreateFrame();
    EXPECT_EQ(frame->GetApplicationLook(), 216);
    EXPECT_EQ(StoredLook(), 216);
    EXPECT_EQ(MarkedStyles(), std::vector<int>{216});
}

TEST_F(MainFrameTest, ChosenStyleIsTheOnlyMarkedOneAfterARestart) {
    CreateFrame();
    const ribbon::Element* xp = frame->GetRibbon().FindById(ID_STYLE_WINDOWS_XP);
    ASSERT_TRUE(frame->GetRibbonBar()->Click(*xp));
    PumpEvents(std::chrono::milliseconds(50));
    EXPECT_EQ(StoredLook(), 212);
    EXPECT_EQ(MarkedStyles(), std::vector<int>{212});

    DestroyFrame();
    CreateFrame();
    EXPECT_EQ(frame->GetApplicationLook(), 212);
    EXPECT_EQ(MarkedStyles(), std::vector<int>{212});
    // Menu 200 offers the two styles the panel does not.
    wxCommandEvent office2003(wxEVT_MENU, ID_STYLE_OFFICE_2003);
    frame->ProcessWindowEvent(office2003);
    EXPECT_EQ(MarkedStyles(), std::vector<int>{213});
    EXPECT_EQ(StoredLook(), 213);
}

TEST_F(MainFrameTest, StoredStyleOutOfRangeMarksNothing) {
    StoreLook(300);
    CreateFrame();
    EXPECT_EQ(frame->GetApplicationLook(), 300);
    EXPECT_TRUE(MarkedStyles().empty());
    EXPECT_EQ(StoredLook(), 300);
}

TEST_F(MainFrameTest, StatusBarHasItsTwoPanes) {
    CreateFrame(false);
    RibbonStatusBar* bar = frame->GetRibbonStatusBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->FindPane(120), 0);
    EXPECT_EQ(bar->FindPane(121), 1);
    EXPECT_EQ(Pane(120), L"准备就绪");
    EXPECT_EQ(Pane(121), L"Tovi软件");
    // Without a view the status update leaves the pane alone.
    bar->SetPaneText(120, L"x");
    frame->UpdateStatusPane();
    EXPECT_EQ(Pane(120), L"x");
}

TEST_F(MainFrameTest, StatusPaneFollowsTheView) {
    CreateFrame();
    struct Case {
        bool loaded, playing, failing;
        const wchar_t* text;
    } cases[] = {
        {false, true, false, L"准备就绪"},
        {true, false, false, L"暂停播放"},
        {true, true, false, L"正在播放"},
        {true, false, true, L"正在播放"},  // a failing control changes nothing
    };
    for (const Case& c : cases) {
        view->loaded = c.loaded;
        view->playing = c.playing;
        view->failing = c.failing;
        frame->UpdateStatusPane();
        EXPECT_EQ(Pane(120), c.text);
    }
    // The idle update does the same.
    view->failing = false;
    view->playing = false;
    EXPECT_TRUE(PumpEventsUntil([&] { return Pane(120) == L"暂停播放"; }));
}

TEST_F(MainFrameTest, StatusBarCommandHidesAndShowsIt) {
    CreateFrame();
    const ribbon::Element* check = frame->GetRibbon().FindById(ID_VIEW_STATUS_BAR);
    frame->GetRibbonBar()->UpdateCommandUI();
    EXPECT_TRUE(check->checked());
    wxCommandEvent toggle(wxEVT_MENU, ID_VIEW_STATUS_BAR);
    frame->ProcessWindowEvent(toggle);
    frame->GetRibbonBar()->UpdateCommandUI();
    EXPECT_FALSE(frame->GetStatusBar()->IsShown());
    EXPECT_FALSE(check->checked());
    frame->ProcessWindowEvent(toggle);
    EXPECT_TRUE(frame->GetStatusBar()->IsShown());
}

TEST_F(MainFrameTest, RibbonHidesAndTheViewTakesTheSpace) {
    CreateFrame();
    int top = view->window->GetPosition().y;
    EXPECT_EQ(top, frame->GetRibbonBar()->GetSize().y);
    frame->ShowRibbonBar(false);
    EXPECT_FALSE(frame->IsRibbonBarVisible());
    EXPECT_EQ(view->window->GetPosition().y, 0);
    frame->ShowRibbonBar(true);
    EXPECT_EQ(view->window->GetPosition().y, top);
}

TEST_F(MainFrameTest, VolumePositionComesFromTheSlider) {
    CreateFrame(false);
    EXPECT_EQ(frame->GetVolumePosition(), 32767);
    DestroyFrame();
    CMainFrame::SetSystemVolumeReader([](int& v) { v = 40000; });
    CreateFrame(false);
    EXPECT_EQ(frame->GetVolumePosition(), 40000);
    frame->GetRibbonBar()->DragSlider(*frame->GetHandles().volumeSlider, 1234);
    EXPECT_EQ(frame->GetVolumePosition(), 1234);
}

TEST_F(MainFrameTest, CommandsAbove32767ReachTheirHandlers) {
    CreateFrame();
    // Entries under the playlist button, as the list menus make them.
    ribbon::Element* carrier = frame->GetHandles().playlistButton;
    carrier->AddSubItem(ribbon::Element::Button(60001, L"a.swf", 2, -1));
    ribbon::Element* entry = carrier->AddSubItem(ribbon::Element::Button(60002, L"b.swf", 2, -1));
    entry->AddSubItem(ribbon::Element::Button(61002, L"播放", 10, -1));
    ChoosingPresenter presenter;
    ribbon::SetMenuPresenter(&presenter);
    for (int command : {60001, 61002, 62001}) {
        if (command == 62001) {
            frame->GetHandles().nextButton->AddSubItem(
                ribbon::Element::Button(62001, L"c.swf", -1, -1));
            presenter.command = command;
            frame->GetRibbonBar()->ShowElementMenu(*frame->GetHandles().nextButton, frame,
                                                   wxPoint());
        } else {
            presenter.command = command;
            frame->GetRibbonBar()->ShowElementMenu(*carrier, frame, wxPoint());
        }
        EXPECT_TRUE(PumpEventsUntil([&] {
            return !view->commands.empty() && view->commands.back() == command;
        })) << command;
    }
    EXPECT_EQ(presenter.shown, 3);
}

TEST_F(MainFrameTest, ProgressWindowShowsCentredAndStartsEmpty) {
    CreateFrame();
    EXPECT_FALSE(frame->GetMakeExeStatu()->WindowCreated());
    frame->OnMakeExeNotify(0, 1);
    CMakeExeStatu* statu = frame->GetMakeExeStatu();
    ASSERT_TRUE(statu->WindowCreated());
    EXPECT_TRUE(statu->IsShown());
    EXPECT_EQ(statu->statusText()->GetLabel(), L"正 在 生 成 ...");
    EXPECT_EQ(statu->progressBar()->GetRange(), 100);
    EXPECT_EQ(statu->progressBar()->GetValue(), 0);
    auto expectCentred = [&] {
        wxRect p = frame->GetScreenRect();
        wxSize own = statu->GetSize();
        CentredPosition want =
            CentreOver(p.x, p.y, p.GetRight() + 1, p.GetBottom() + 1, own.x, own.y);
        EXPECT_EQ(statu->GetScreenPosition(), wxPoint(want.x, want.y));
    };
    expectCentred();
    tovi::testing::SaveScreenshot(statu, "make_exe_progress.png");

    std::wstring text = L"正在改写文件...";
    frame->OnMakeExeNotify(5, reinterpret_cast<platform::LPARAM>(text.c_str()));
    frame->OnMakeExeNotify(150, 0);
    EXPECT_EQ(statu->progressBar()->GetValue(), 100);
    EXPECT_EQ(statu->statusText()->GetLabel(), L"正在改写文件...");

    // Escape shows it again, Enter does nothing: the user cannot close it.
    for (int key : {WXK_ESCAPE, WXK_RETURN}) {
        wxKeyEvent press(wxEVT_CHAR_HOOK);
        press.m_keyCode = key;
        press.SetEventObject(statu);
        statu->ProcessWindowEvent(press);
        PumpEvents(std::chrono::milliseconds(20));
        EXPECT_TRUE(statu->IsShown()) << key;
    }
    EXPECT_FALSE(statu->Close());
    EXPECT_TRUE(statu->IsShown());

    // A second build: hidden, the main window moves, shown again from the start, centred.
    frame->OnMakeExeNotify(0, 0);
    EXPECT_FALSE(statu->IsShown());
    frame->Move(120, 90);
    PumpEvents(std::chrono::milliseconds(50));
    frame->OnMakeExeNotify(0, 1);
    EXPECT_EQ(statu->statusText()->GetLabel(), L"正 在 生 成 ...");
    EXPECT_EQ(statu->progressBar()->GetValue(), 0);
    expectCentred();
}

TEST_F(MainFrameTest, BuilderThreadReportsThroughTheNotifyWindow) {
    CreateFrame();
    platform::WindowHandle handle = frame->GetNotifyWindow()->GetSafeHwnd();
    bool done = false;
    std::thread builder([&] {
        platform::SendWindowMessage(handle, WM_MAKEEXE_NOTIFY, 0, 1);
        platform::SendWindowMessage(handle, WM_MAKEEXE_NOTIFY, 40, 0);
        std::wstring result = L"已成功生成独立播放器, 保存在 /tmp/a.exe";
        platform::SendWindowMessage(handle, WM_MAKEEXE_NOTIFY, 1,
                                    reinterpret_cast<platform::LPARAM>(result.c_str()));
        platform::SendWindowMessage(handle, WM_MAKEEXE_NOTIFY, 0, 0);
        done = true;
    });
    EXPECT_TRUE(PumpEventsUntil([&] { return done; }));
    builder.join();
    EXPECT_FALSE(frame->GetMakeExeStatu()->IsShown());
    EXPECT_EQ(frame->GetMakeExeStatu()->progressBar()->GetValue(), 40);
    EXPECT_EQ(prompts.Texts(), std::vector<wxString>{L"已成功生成独立播放器, 保存在 /tmp/a.exe"});
}

TEST_F(MainFrameTest, ProgressWindowThatCannotBeMadeSilencesTheBuild) {
    CreateFrame();
    CMakeExeStatu::FailCreationForTesting(true);
    frame->OnMakeExeNotify(0, 1);
    CMakeExeStatu::FailCreationForTesting(false);
    std::wstring error = L"生成独立播放器失败, ";
    frame->OnMakeExeNotify(1, reinterpret_cast<platform::LPARAM>(error.c_str()));
    frame->OnMakeExeNotify(0, 1);
    EXPECT_FALSE(frame->GetMakeExeStatu()->WindowCreated());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(MainFrameTest, ScreenshotsInTwoStyles) {
    CreateFrame();
    view->loaded = true;
    view->playing = true;
    frame->ApplyVisualStyle(ID_STYLE_OFFICE_2007_BLACK);
    PumpEvents(std::chrono::milliseconds(200));
    tovi::testing::SaveScreenshot(frame, "main_window_black.png");
    frame->ApplyVisualStyle(ID_STYLE_OFFICE_2007_BLUE);
    PumpEvents(std::chrono::milliseconds(200));
    tovi::testing::SaveScreenshot(frame, "main_window_blue.png");
    for (int id : {210, 211, 212, 213, 214, 217, 218}) {
        frame->ApplyVisualStyle(id);
        PumpEvents(std::chrono::milliseconds(100));
        tovi::testing::SaveScreenshot(frame, "main_window_style_" + std::to_string(id) + ".png");
    }
}

TEST_F(MainFrameTest, ListCommandsFromTheRibbonChangeTheProgramsLists) {
    CreateFrame();
    for (int i = 0; i < 3; ++i) {
        player.lists.playlist.AddTail(wxString::Format(L"/movies/%d.swf", i));
    }
    frame->RefreshCapacityControls();
    ribbon::RibbonWindow* bar = frame->GetRibbonBar();
    bar->UpdateCommandUI();
    EXPECT_EQ(frame->GetRibbon().FindById(ID_CLEAR_PLAYLIST)->largeImage(), 12);

    prompts.Answer(true);
    ASSERT_TRUE(bar->Click(*frame->GetRibbon().FindById(ID_CLEAR_PLAYLIST)));
    EXPECT_TRUE(PumpEventsUntil([this] { return player.lists.playlist.IsEmpty(); }));
    bar->UpdateCommandUI();
    EXPECT_EQ(frame->GetRibbon().FindById(ID_CLEAR_PLAYLIST)->largeImage(), 13);

    ASSERT_TRUE(bar->DragSlider(*frame->GetRibbon().FindById(ID_HISTORY_CAPACITY), 10));
    EXPECT_EQ(player.settings.MaxHistory, 10);
    EXPECT_EQ(frame->GetHandles().historyCapacityLabel->text(), L"记录历史:[ 10 ]个文件");

    ASSERT_TRUE(bar->Click(*frame->GetRibbon().FindById(ID_PLAYMODE_LOOP_LIST)));
    EXPECT_TRUE(PumpEventsUntil([this] { return player.settings.PlayMode == 3; }));
    bar->UpdateCommandUI();
    EXPECT_TRUE(frame->GetRibbon().FindById(ID_PLAYMODE_LOOP_LIST)->checked());
    EXPECT_FALSE(frame->GetRibbon().FindById(ID_PLAYMODE_ONCE)->checked());

    ASSERT_TRUE(bar->Click(*frame->GetRibbon().FindById(ID_HISTORY_INFO)));
    EXPECT_TRUE(PumpEventsUntil([&] {
        return !prompts.Texts().empty() && prompts.Texts().back().StartsWith(L"历史记录列表");
    }));
}

TEST_F(MainFrameTest, ApplicationMenuWithAFewFilesInTheHistory) {
    CreateFrame();
    for (const wchar_t* path :
         {L"/home/user/动画/海底世界.swf", L"/home/user/动画/abcdefghijklm.swf",
          L"/home/user/动画/小猫钓鱼.swf", L"/home/user/动画/雪人.flv"}) {
        player.lists.history.AddTail(path);
    }
    frame->RefreshCapacityControls();
    frame->GetRibbonBar()->ShowApplicationMenu();
    ribbon::ApplicationMenuWindow* menu = frame->GetRibbonBar()->applicationMenuWindow();
    ASSERT_TRUE(PumpEventsUntil([&] { return menu->IsShownOnScreen(); }));
    PumpEvents(std::chrono::milliseconds(100));
    EXPECT_EQ(frame->GetHandles().recentItem1->text(), L"海底世界.swf");
    EXPECT_EQ(frame->GetHandles().recentItem2->text(), L"abcdefghi...");
    EXPECT_EQ(menu->recentArea().width, 300);
    tovi::testing::SaveScreenshot(menu, "application_menu.png");
    // The more button's menu lists the older entries.
    ChoosingPresenter presenter;
    presenter.command = ID_HISTORY_OPEN_FIRST + 3;
    ribbon::SetMenuPresenter(&presenter);
    menu->Activate(*frame->GetHandles().moreButton, true);
    EXPECT_TRUE(PumpEventsUntil([&] {
        return !view->commands.empty() && view->commands.back() == ID_HISTORY_OPEN_FIRST + 3;
    }));
    EXPECT_FALSE(menu->IsShown());
}

TEST_F(MainFrameTest, KeyTipsOpenTheApplicationMenuAndTheAboutBox) {
    CreateFrame();
    auto press = [&](int key) {
        wxKeyEvent event(wxEVT_CHAR_HOOK);
        event.m_keyCode = key;
        event.m_altDown = true;
        event.SetEventObject(frame);
        frame->ProcessWindowEvent(event);
    };
    press('A');
    EXPECT_TRUE(PumpEventsUntil(
        [&] { return !view->commands.empty() && view->commands.back() == ID_APP_ABOUT; }));
    press('F');
    ribbon::ApplicationMenuWindow* menu = frame->GetRibbonBar()->applicationMenuWindow();
    EXPECT_TRUE(PumpEventsUntil([&] { return menu->IsShown(); }));
    frame->GetRibbonBar()->CloseApplicationMenu();
}

TEST_F(MainFrameTest, ProgressWindowIsDraggedByAnyPoint) {
    CreateFrame();
    frame->OnMakeExeNotify(0, 1);
    CMakeExeStatu* statu = frame->GetMakeExeStatu();
    PumpEvents(std::chrono::milliseconds(50));
    for (wxWindow* part : {static_cast<wxWindow*>(statu->statusText()),
                           static_cast<wxWindow*>(statu->progressBar())}) {
        wxPoint before = statu->GetScreenPosition();
        auto send = [&](wxEventType type, wxPoint at, bool down) {
            wxMouseEvent event(type);
            event.SetPosition(at);
            event.SetLeftDown(down);
            event.SetEventObject(part);
            part->ProcessWindowEvent(event);
        };
        send(wxEVT_LEFT_DOWN, wxPoint(5, 5), true);
        send(wxEVT_MOTION, wxPoint(45, 25), true);
        send(wxEVT_LEFT_UP, wxPoint(45, 25), false);
        PumpEvents(std::chrono::milliseconds(50));
        EXPECT_EQ(statu->GetScreenPosition(), before + wxPoint(40, 20));
    }
}

}  // namespace
