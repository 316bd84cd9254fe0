// The main window as a person sees it and uses it, with the real player control playing a
// movie in the view: kept as screenshots in the default style and in another, and with the
// application menu opened over a history of a few files; menus driven from the keyboard.
#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/docview.h>
#include <wx/image.h>
#include <wx/panel.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "application_menu_window.h"
#include "flash/control/shockwave_flash.h"
#include "gtk_menus.h"
#include "lists/media_lists.h"
#include "main_frame.h"
#include "make_exe_progress.h"
#include "platform/wx_dispatch.h"
#include "resource_ids.h"
#include "ribbon_status_bar.h"
#include "ribbon_window.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"
#include "testing/test_context.h"
#include "tovi/testing/files.h"
#include "tovi/testing/gui.h"
#include "visual_styles.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using tovi::testing::PumpEvents;
using tovi::testing::PumpEventsUntil;

CMainFrame* g_frame = nullptr;
fs::path g_movie;

// A 400 x 300 movie at 24 fps: three coloured boxes crossing a dark stage, 48 frames, looping.
void WriteMovie(const fs::path& file) {
    const int width = 400;
    const int height = 300;
    swfgen::MovieWriter movie(8, flash::Rect{0, width * 20, 0, height * 20}, 24);
    movie.SetBackgroundColor({24, 32, 56, 255});
    const flash::Rgba colours[] = {{230, 70, 60, 255}, {250, 200, 40, 255}, {70, 180, 240, 255}};
    for (std::uint16_t i = 0; i < 3; ++i) {
        swfgen::ShapeBuilder box;
        box.Fill1(box.AddSolidFill(colours[i]));
        box.Rectangle(flash::Rect{0, 50 * 20, 0, 50 * 20});
        movie.DefineShape(static_cast<std::uint16_t>(i + 1), box);
    }
    const int frames = 48;
    for (int f = 0; f < frames; ++f) {
        for (std::uint16_t i = 0; i < 3; ++i) {
            swfgen::Place place;
            place.depth = static_cast<std::uint16_t>(i + 1);
            place.move = f > 0;
            if (f == 0) {
                place.characterId = static_cast<std::uint16_t>(i + 1);
            }
            const double t = static_cast<double>((f + i * 16) % frames) / (frames - 1);
            const double x = (width - 50) * t;
            const double y = 40 + i * 85 + 20 * std::sin(t * 6.283);
            place.matrix = flash::Matrix::Translate(x * 20, y * 20);
            movie.PlaceObject2(place);
        }
        movie.ShowFrame();
    }
    movie.Save(file);
}

class MovieDocument : public wxDocument {
    wxDECLARE_DYNAMIC_CLASS(MovieDocument);
};
wxIMPLEMENT_DYNAMIC_CLASS(MovieDocument, wxDocument);

// A view hosting the real control over its whole area, playing the test movie.
class MovieView : public wxView, public PlayingStateSource {
  public:
    bool OnCreate(wxDocument* doc, long flags) override {
        if (!wxView::OnCreate(doc, flags)) {
            return false;
        }
        SetFrame(g_frame);
        window = new wxPanel(g_frame);
        g_frame->Layout();
        control = new CShockwaveFlash;
        if (!control->Create(L"Flash Control", 0, wxRect(wxPoint(), window->GetClientSize()),
                             window, 19890106)) {
            return false;
        }
        control->LoadMovie(0, wxString::FromUTF8(g_movie.string()));
        control->Play();
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
    bool IsMovieLoaded() const override { return true; }
    bool IsControlPlaying() override { return control->IsPlaying(); }

    wxPanel* window = nullptr;
    CShockwaveFlash* control = nullptr;

  private:
    wxDECLARE_DYNAMIC_CLASS(MovieView);
};
wxIMPLEMENT_DYNAMIC_CLASS(MovieView, wxView);

// Share of pixels that differ clearly between two images of one size.
double Difference(const wxImage& a, const wxImage& b) {
    if (!a.IsOk() || !b.IsOk() || a.GetSize() != b.GetSize()) {
        return 1.0;
    }
    const unsigned char* p = a.GetData();
    const unsigned char* q = b.GetData();
    const long pixels = static_cast<long>(a.GetWidth()) * a.GetHeight();
    long off = 0;
    for (long i = 0; i < pixels; ++i) {
        int d = 0;
        for (int c = 0; c < 3; ++c) {
            d = std::max(d, std::abs(p[i * 3 + c] - q[i * 3 + c]));
        }
        off += d > 24 ? 1 : 0;
    }
    return pixels ? static_cast<double>(off) / pixels : 0.0;
}

wxImage Load(const std::string& file) {
    wxImage image;
    if (!file.empty()) {
        image.LoadFile(file, wxBITMAP_TYPE_PNG);
    }
    return image;
}

class MainWindowScreens : public ::testing::Test {
  protected:
    void SetUp() override {
        wxInitAllImageHandlers();
        MakeExeProgress::ResetUsableForTesting();
        g_movie = dir / "动画.swf";
        WriteMovie(g_movie);
        platform::InstallWxDispatcher();
        manager = new wxDocManager;
        new wxDocTemplate(manager, "Flash", "*.swf", "", "swf", "Movie Doc", "Movie View",
                          CLASSINFO(MovieDocument), CLASSINFO(MovieView));
    }
    void TearDown() override {
        if (frame) {
            frame->GetRibbonBar()->CloseApplicationMenu();
            manager->CloseDocuments(true);
            frame->Destroy();
            PumpEvents(30ms);
            g_frame = frame = nullptr;
        }
        delete manager;
        platform::UninstallWxDispatcher();
    }

    // The main window with the movie playing in its view.
    void Start() {
        g_frame = frame = new CMainFrame(player.context);
        ASSERT_TRUE(frame->Create(manager, L"ToviFlash播放器", wxPoint(20, 20), wxSize(960, 640)));
        frame->Show();
        wxDocument* doc = manager->CreateNewDocument();
        ASSERT_NE(doc, nullptr);
        view = dynamic_cast<MovieView*>(doc->GetFirstView());
        ASSERT_NE(view, nullptr);
        frame->SetTitle(wxString::FromUTF8(g_movie.filename().string()) + L" - ToviFlash播放器");
        frame->Layout();
        ASSERT_TRUE(PumpEventsUntil([&] { return frame->IsShownOnScreen(); }));
        PumpEvents(300ms);
    }

    // Takes the main window; the movie must have moved since the last look at it.
    wxImage Shoot(const std::string& name) {
        std::string file = tovi::testing::SaveScreenshot(frame, name);
        EXPECT_FALSE(file.empty()) << name;
        return Load(file);
    }

    // True once the control has moved on by a few frames.
    bool MoviePlays() {
        const long first = view->control->FrameNum();
        return PumpEventsUntil(
            [&] { return view->control->IsPlaying() && view->control->FrameNum() != first; }, 10s);
    }

    // Whether the view's part of a screenshot shows the movie's stage colour.
    bool ShowsTheStage(const wxImage& shot) {
        wxRect area(view->window->GetScreenPosition() - frame->GetScreenPosition(),
                    view->window->GetSize());
        area.Intersect(wxRect(shot.GetSize()));
        long stage = 0;
        for (int y = area.y; y < area.GetBottom(); y += 4) {
            for (int x = area.x; x < area.GetRight(); x += 4) {
                if (std::abs(shot.GetRed(x, y) - 24) < 8 &&
                    std::abs(shot.GetGreen(x, y) - 32) < 8 &&
                    std::abs(shot.GetBlue(x, y) - 56) < 8) {
                    ++stage;
                }
            }
        }
        return stage > 100;
    }

    tovi::testing::TempDir dir;
    wxDocManager* manager = nullptr;
    CMainFrame* frame = nullptr;
    MovieView* view = nullptr;
    ContextFixture player;
};

TEST_F(MainWindowScreens, MoviePlayingInTheDefaultStyleAndInAnother) {
    Start();
    ASSERT_TRUE(MoviePlays());
    frame->UpdateStatusPane();
    EXPECT_EQ(frame->GetRibbonStatusBar()->PaneText(ID_STATUSBAR_PANE1), L"正在播放");
    EXPECT_EQ(frame->GetApplicationLook(), 216);
    wxImage black = Shoot("main_window_playing_office2007_black.png");
    EXPECT_TRUE(ShowsTheStage(black));

    // The blue look, chosen from the "播放器外观" panel.
    ribbon::RibbonWindow* bar = frame->GetRibbonBar();
    ASSERT_TRUE(bar->Click(*frame->GetRibbon().FindById(ID_STYLE_OFFICE_2007_BLUE)));
    EXPECT_TRUE(PumpEventsUntil([&] { return frame->GetApplicationLook() == 215; }));
    EXPECT_EQ(looks::ReadApplicationLook(), 215);
    PumpEvents(200ms);
    EXPECT_TRUE(MoviePlays());
    wxImage blue = Shoot("main_window_playing_office2007_blue.png");
    EXPECT_TRUE(ShowsTheStage(blue));

    // The ribbon's rows look different in the other style.
    ASSERT_TRUE(black.IsOk() && blue.IsOk());
    wxRect top(0, 0, std::min(black.GetWidth(), blue.GetWidth()), bar->GetSize().y);
    EXPECT_GT(Difference(black.GetSubImage(top), blue.GetSubImage(top)), 0.2);
}

TEST_F(MainWindowScreens, ApplicationMenuOverAHistoryOfAFewFiles) {
    Start();
    const fs::path folder = dir / "动画";
    for (const char* name : {"海底世界.swf", "小猫钓鱼的故事.swf", "雪人.flv", "abcdefgh.swf"}) {
        player.lists.history.AddTail(wxString::FromUTF8((folder / name).string()));
    }
    frame->RefreshCapacityControls();
    ASSERT_TRUE(MoviePlays());
    wxImage closed = Shoot("main_window_before_application_menu.png");
    // The keyboard goes to the main window, as it does when a person clicks it.
    frame->Raise();
    PumpEvents(100ms);
    frame->GetRibbonBar()->ShowApplicationMenu();
    ribbon::ApplicationMenuWindow* menu = frame->GetRibbonBar()->applicationMenuWindow();
    ASSERT_TRUE(PumpEventsUntil([&] { return menu->IsShownOnScreen(); }));
    PumpEvents(200ms);
    EXPECT_EQ(frame->GetHandles().recentItem1->text(), L"海底世界.swf");
    EXPECT_EQ(frame->GetHandles().recentItem2->text(), L"小猫钓鱼的故事.swf");
    wxImage open = Shoot("main_window_application_menu.png");
    // The menu lies over the window below the application button.
    ASSERT_TRUE(closed.IsOk() && open.IsOk());
    wxRect under(menu->GetScreenPosition() - frame->GetScreenPosition(), wxSize(200, 150));
    under.Intersect(wxRect(closed.GetSize()));
    EXPECT_GT(Difference(closed.GetSubImage(under), open.GetSubImage(under)), 0.3);

    // Escape from the keyboard closes it.
    wxUIActionSimulator().Char(WXK_ESCAPE);
    EXPECT_TRUE(PumpEventsUntil([&] { return !menu->IsShown(); }, 3s));

    // Opened again, a click on an item runs its command and closes it.
    int chosen = 0;
    frame->Bind(
        wxEVT_MENU, [&](wxCommandEvent& e) { chosen = e.GetId(); }, ID_BEST_SIZE);
    frame->GetRibbonBar()->ShowApplicationMenu();
    ASSERT_TRUE(PumpEventsUntil([&] { return menu->IsShownOnScreen(); }));
    PumpEvents(100ms);
    wxRect item;
    ASSERT_TRUE(menu->RectOf(*frame->GetRibbon().applicationMenu()->elements()[12], &item));
    wxUIActionSimulator mouse;
    mouse.MouseMove(menu->ClientToScreen(item.GetPosition() + wxPoint(30, item.height / 2)));
    PumpEvents(100ms);
    mouse.MouseClick();
    EXPECT_TRUE(PumpEventsUntil([&] { return chosen == ID_BEST_SIZE; }, 3s));
    EXPECT_TRUE(PumpEventsUntil([&] { return !menu->IsShown(); }, 3s));

    // A click outside it closes it and runs nothing.
    chosen = 0;
    frame->GetRibbonBar()->ShowApplicationMenu();
    ASSERT_TRUE(PumpEventsUntil([&] { return menu->IsShownOnScreen(); }));
    PumpEvents(100ms);
    mouse.MouseMove(view->window->GetScreenRect().GetBottomRight() - wxPoint(40, 40));
    PumpEvents(100ms);
    mouse.MouseClick();
    EXPECT_TRUE(PumpEventsUntil([&] { return !menu->IsShown(); }, 3s));
    EXPECT_EQ(chosen, 0);
}

// The real popup menu, driven by keys: the per-entry menu under a playlist entry is filled
// when it is reached and its "播放" runs.
TEST_F(MainWindowScreens, EntryMenuOfThePlaylistOpensAndPlays) {
    Start();
    player.settings.hasMenu[kPlaylistList] = true;
    for (const wchar_t* path : {L"/movies/a.swf", L"/movies/b.swf"}) {
        player.lists.playlist.AddTail(path);
    }
    frame->RebuildPlaylistMenu();
    std::vector<int> commands;
    frame->Bind(
        wxEVT_MENU, [&](wxCommandEvent& e) { commands.push_back(e.GetId()); },
        ID_PLAYLIST_OPEN_FIRST, ID_PLAYLIST_PLAY_LAST);
    frame->Raise();
    PumpEvents(100ms);

    // Down: the toggle item; Down: the first entry; Right: its menu, on "播放"; Enter.
    // Escapes at the end close whatever is still open, so the popup always ends.
    const int keys[] = {WXK_DOWN,   WXK_DOWN,   WXK_RIGHT, WXK_RETURN,
                        WXK_ESCAPE, WXK_ESCAPE, WXK_ESCAPE};
    std::size_t next = 0;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (next < std::size(keys)) {
            wxUIActionSimulator().Char(keys[next++]);
        } else {
            timer.Stop();
        }
    });
    timer.Start(400);
    frame->GetRibbonBar()->ShowElementMenu(*frame->GetHandles().playlistButton, frame,
                                           wxPoint(60, 60));
    timer.Stop();
    EXPECT_TRUE(PumpEventsUntil(
        [&] { return !commands.empty() && commands.back() == ID_PLAYLIST_PLAY_FIRST; }));
}

// What the screen shows in `rect` now.
wxImage ScreenImage(const wxRect& rect) {
    wxScreenDC screen;
    wxBitmap bitmap(rect.GetSize());
    wxMemoryDC memory(bitmap);
    memory.Blit(0, 0, rect.width, rect.height, &screen, rect.x, rect.y);
    memory.SelectObject(wxNullBitmap);
    return bitmap.ConvertToImage();
}

// Pixels of `image` in clear colour (the list images are coloured; texts and the menu are
// shades of grey).
long Coloured(const wxImage& image) {
    const unsigned char* p = image.GetData();
    const long pixels = static_cast<long>(image.GetWidth()) * image.GetHeight();
    long coloured = 0;
    for (long i = 0; i < pixels; ++i, p += 3) {
        if (std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 60) {
            ++coloured;
        }
    }
    return coloured;
}

// The related-files menu as the toolkit shows it, with the extended menu on: each entry shows
// its image, 32 or 16 pixels by the large-icons flag, and a click on the entry itself opens
// its file (its small menu is still there to the side).
TEST_F(MainWindowScreens, RelatedEntriesShowTheirImagesAndOpenWhenClicked) {
    Start();
    player.settings.hasMenu[kRelatedList] = true;
    for (const wchar_t* path : {L"/movies/a.swf", L"/movies/b.swf"}) {
        player.lists.related.AddTail(path);
    }
    std::vector<int> commands;
    frame->Bind(
        wxEVT_MENU, [&](wxCommandEvent& e) { commands.push_back(e.GetId()); },
        ID_RELATED_OPEN_FIRST, ID_RELATED_PLAY_LAST);
    wxMenuItem* entry = nullptr;
    frame->Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& event) {
        if (!entry && event.GetMenu() && !event.GetMenu()->GetParent()) {
            for (wxMenuItem* item : event.GetMenu()->GetMenuItems()) {
                if (item->GetItemLabelText() == "b.swf") {
                    entry = item;
                }
            }
        }
        event.Skip();
    });
    frame->Raise();
    PumpEvents(100ms);
    for (bool large : {true, false}) {
        SCOPED_TRACE(large ? "large icons" : "small icons");
        player.settings.isLargeIcon[kRelatedList] = large;
        frame->RebuildRelatedMenu();
        commands.clear();
        entry = nullptr;
        wxRect rect;
        wxImage icon;
        int ticks = 0;
        wxTimer timer;
        timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            if (++ticks > 25) {
                wxUIActionSimulator().Char(WXK_ESCAPE);  // the popup always ends
            }
            if (icon.IsOk() || !entry || !ribbon::gtk::ScreenRect(*entry, &rect)) {
                return;
            }
            icon = ScreenImage(wxRect(rect.x, rect.y, 48, rect.height));
            // On the entry, its small menu opens beside it; then a click on the entry.
            wxUIActionSimulator mouse;
            mouse.MouseMove(rect.GetPosition() + wxPoint(rect.width / 3, rect.height / 2));
            PumpEvents(600ms);
            mouse.MouseDown();
            PumpEvents(100ms);
            mouse.MouseUp();
        });
        timer.Start(200);
        frame->GetRibbonBar()->ShowElementMenu(*frame->GetHandles().openButton, frame,
                                               wxPoint(60, 60));
        timer.Stop();
        ASSERT_TRUE(icon.IsOk()) << "the entry was not shown";
        icon.SaveFile(tovi::testing::ScreenshotPath(large ? "related_entry_large_icon.png"
                                                          : "related_entry_small_icon.png")
                          .string(),
                      wxBITMAP_TYPE_PNG);
        // An image is drawn at the left of the entry, and the row is as tall as it needs.
        EXPECT_GT(Coloured(icon), large ? 150 : 40);
        if (large) {
            EXPECT_GE(rect.height, 32);
        } else {
            EXPECT_LT(rect.height, 32);
        }
        // The click opened the entry's file: its open id, position 1.
        EXPECT_TRUE(PumpEventsUntil([&] { return !commands.empty(); }, 3s));
        EXPECT_EQ(commands, std::vector<int>{ID_RELATED_OPEN_FIRST + 1});
    }
}

}  // namespace
