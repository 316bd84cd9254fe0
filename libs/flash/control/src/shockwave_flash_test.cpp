// The control's window under Xvfb: creation as the hosts do it, playing on its timer,
// painting what the headless player renders, following its parent's size, passing mouse and
// keys to the movie and opening its own menu.
#include "flash/control/shockwave_flash.h"

#include <gtest/gtest.h>
#include <wx/evtloop.h>
#include <wx/frame.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>

#include "test_movies.h"
#include "tovi/testing/files.h"
#include "tovi/testing/gui.h"

namespace {

using namespace flash::testmovies;
using tovi::testing::PumpEventsUntil;

// A 550 x 400 movie at 30 fps: a dark background and a square that moves right each frame,
// over 20 frames.
std::filesystem::path WriteMovie(const tovi::testing::TempDir& dir, const char* name,
                                 flash::Rgba background) {
    swfgen::MovieWriter m(8, kStage, 30);
    m.SetBackgroundColor(background);
    DefineSquare(m, 1, 2000, {255, 200, 0, 255});
    m.PlaceObject2(PlaceNew(1, 1));
    m.ShowFrame();
    for (int i = 1; i < 20; ++i) {
        m.PlaceObject2(MoveTo(1, i * 400.0, 2000)).ShowFrame();
    }
    auto path = dir / name;
    m.Save(path);
    return path;
}

// Pixels that differ by more than a little in a colour channel.
long OffPixels(const flash::Image& a, const flash::Image& b) {
    long off = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            std::uint32_t p = a.Pixel(x, y), q = b.Pixel(x, y);
            int d = 0;
            for (int shift : {0, 8, 16}) {
                d = std::max(d, std::abs(static_cast<int>((p >> shift) & 0xFF) -
                                         static_cast<int>((q >> shift) & 0xFF)));
            }
            off += d > 8 ? 1 : 0;
        }
    }
    return off;
}

class ShockwaveFlashTest : public ::testing::Test {
  protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "host", wxPoint(0, 0), wxSize(640, 480));
        frame->Show();
        PumpEventsUntil([&] { return frame->IsShownOnScreen(); });
    }
    void TearDown() override { frame->Destroy(); }

    // Timers need an active event loop to be dispatched while the test pumps events.
    wxEventLoop loop;
    wxEventLoopActivator activeLoop{&loop};
    wxFrame* frame = nullptr;
    tovi::testing::TempDir dir;
};

TEST_F(ShockwaveFlashTest, CreatedAsTheHostsCreateIt) {
    auto* view = new CShockwaveFlash;
    EXPECT_FALSE(view->HasWindow());
    // Operations work before the window exists (the full-screen window gets such a wrapper).
    EXPECT_EQ(view->TotalFrames(), 0);
    EXPECT_FALSE(view->IsPlaying());
    ASSERT_TRUE(view->Create("Flash Control", 0, wxRect(0, 0, 300, 200), frame, 19890106));
    EXPECT_TRUE(view->HasWindow());
    EXPECT_EQ(view->GetControlId(), 19890106);
    EXPECT_NE(view->GetId(), 19890106);
    EXPECT_EQ(view->GetWindowText(), "Flash Control");
    EXPECT_FALSE(view->Create("again", 0, wxRect(), frame, 1));

    auto* second = new CShockwaveFlash;
    ASSERT_TRUE(second->Create("Flash Shock", 0, wxRect(300, 0, 300, 200), frame, 10415));
    EXPECT_EQ(second->GetId(), 10415);
    EXPECT_EQ(second->GetControlId(), 10415);
    EXPECT_THROW(second->LoadMovie(0, (dir / "none.swf").string()), flash::FlashError);
}

TEST_F(ShockwaveFlashTest, TwoInstancesPlayTheirOwnMovies) {
    auto* a = new CShockwaveFlash;
    auto* b = new CShockwaveFlash;
    ASSERT_TRUE(a->Create("Flash Control", 0, wxRect(0, 0, 320, 240), frame, 19890106));
    ASSERT_TRUE(b->Create("Flash FullScreen", 0, wxRect(320, 0, 320, 240), frame, 10415));
    a->LoadMovie(0, WriteMovie(dir, "a.swf", {0, 0, 80, 255}).string());
    b->LoadMovie(0, WriteMovie(dir, "b.swf", {80, 0, 0, 255}).string());
    EXPECT_EQ(a->TotalFrames(), 20);
    a->Play();
    EXPECT_TRUE(a->IsPlaying());
    EXPECT_FALSE(b->IsPlaying());
    ASSERT_TRUE(PumpEventsUntil([&] { return a->FrameNum() >= 5; }));
    EXPECT_EQ(b->FrameNum(), 0);
    a->StopPlay();
    long stoppedAt = a->FrameNum();
    tovi::testing::PumpEvents(std::chrono::milliseconds(150));
    EXPECT_EQ(a->FrameNum(), stoppedAt);
    b->GotoFrame(7);
    EXPECT_EQ(b->CurrentFrame(), 7);
}

TEST_F(ShockwaveFlashTest, RepaintsWhileThePictureMovesAndNotWhileItStandsStill) {
    auto* view = new CShockwaveFlash;
    ASSERT_TRUE(view->Create("Flash Control", 0, wxRect(0, 0, 320, 240), frame, 19890106));
    int paints = 0;
    view->Bind(wxEVT_PAINT, [&](wxPaintEvent& event) {
        ++paints;
        event.Skip();
    });
    view->LoadMovie(0, WriteMovie(dir, "m.swf", {0, 0, 80, 255}).string());
    view->Play();
    ASSERT_TRUE(PumpEventsUntil([&] { return view->FrameNum() >= 3 && paints >= 3; }));
    view->StopPlay();
    tovi::testing::PumpEvents(std::chrono::milliseconds(150));
    paints = 0;
    // About ten ticks of the clock with nothing moving.
    tovi::testing::PumpEvents(std::chrono::milliseconds(330));
    EXPECT_EQ(paints, 0);
    view->Play();
    EXPECT_TRUE(PumpEventsUntil([&] { return paints >= 2; }));
}

TEST_F(ShockwaveFlashTest, APausedStillMovieWaitsUntilPlayWakesIt) {
    auto* view = new CShockwaveFlash;
    ASSERT_TRUE(view->Create("Flash Control", 0, wxRect(0, 0, 320, 240), frame, 19890106));
    view->LoadMovie(0, WriteMovie(dir, "m.swf", {0, 0, 80, 255}).string());
    ASSERT_TRUE(PumpEventsUntil([&] { return view->Idle(); }));
    EXPECT_EQ(view->FrameNum(), 0);
    // Going to a frame leaves it paused: nothing to wake for.
    view->GotoFrame(4);
    EXPECT_EQ(view->FrameNum(), 4);
    EXPECT_TRUE(view->Idle());
    view->Play();
    EXPECT_FALSE(view->Idle());
    ASSERT_TRUE(PumpEventsUntil([&] { return view->FrameNum() >= 7; }));
    view->StopPlay();
    EXPECT_TRUE(PumpEventsUntil([&] { return view->Idle(); }));
}

TEST_F(ShockwaveFlashTest, FollowsItsParentWhileItFillsIt) {
    auto* view = new CShockwaveFlash;
    wxSize client = frame->GetClientSize();
    ASSERT_TRUE(view->Create("Flash Control", 0, wxRect(wxPoint(0, 0), client), frame, 19890106));
    frame->SetClientSize(500, 300);
    ASSERT_TRUE(PumpEventsUntil([&] { return view->GetSize() == wxSize(500, 300); }));

    // A control laid out by its host keeps the host's layout.
    auto* laidOut = new CShockwaveFlash;
    ASSERT_TRUE(laidOut->Create("Flash Shock", 0, wxRect(0, 0, 100, 100), frame, 10415));
    frame->SetClientSize(520, 320);
    PumpEventsUntil([&] { return view->GetSize() == wxSize(520, 320); });
    EXPECT_EQ(laidOut->GetSize(), wxSize(100, 100));
}

TEST_F(ShockwaveFlashTest, ShowsOnScreenWhatThePlayerRenders) {
    auto* view = new CShockwaveFlash;
    ASSERT_TRUE(view->Create("Flash Control", 0, wxRect(0, 0, 440, 320), frame, 19890106));
    auto movie = WriteMovie(dir, "m.swf", {20, 40, 120, 255});
    view->LoadMovie(0, movie.string());
    view->SetScaleMode(0);
    view->Play();
    ASSERT_TRUE(PumpEventsUntil([&] { return view->FrameNum() >= 3; }));
    view->Stop();
    long shown = view->FrameNum();
    flash::Player headless;
    headless.LoadMovie(0, movie.string());
    headless.GotoFrame(static_cast<std::int32_t>(shown));
    flash::Image expected(view->GetClientSize().x, view->GetClientSize().y);
    headless.Render(expected);

    // Other GUI tests may run on the same display at the same time: bring this window to
    // the top before each capture, and capture again when another window was in the way.
    long off = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        frame->Raise();
        view->Refresh();
        view->Update();
        std::string file = tovi::testing::SaveScreenshot(view, "shockwave_flash_playing.png");
        ASSERT_FALSE(file.empty()) << "no screenshot";
        flash::Image screen = flash::ReadPng(file);
        ASSERT_EQ(screen.Width(), expected.Width());
        ASSERT_EQ(screen.Height(), expected.Height());
        off = OffPixels(screen, expected);
        if (off <= expected.Width() * expected.Height() / 100) {
            break;
        }
        tovi::testing::PumpEvents(std::chrono::milliseconds(200));
    }
    EXPECT_LE(off, expected.Width() * expected.Height() / 100)
        << "pixels unlike the headless render";
}

// Delivers a mouse event to the control as the window system would.
void Mouse(CShockwaveFlash* view, wxEventType type, int x, int y) {
    wxMouseEvent event(type);
    event.SetPosition(wxPoint(x, y));
    event.SetEventObject(view);
    event.SetId(view->GetId());
    view->GetEventHandler()->ProcessEvent(event);
}

void Key(CShockwaveFlash* view, wxEventType type, int code) {
    wxKeyEvent event(type);
    event.m_keyCode = code;
    event.SetEventObject(view);
    view->GetEventHandler()->ProcessEvent(event);
}

TEST_F(ShockwaveFlashTest, MouseAndKeysReachTheMovieThroughTheScaleMode) {
    auto path = dir / "button.swf";
    ButtonMovie().Save(path);
    auto* view = new CShockwaveFlash;
    // Half the stage's size: the button's middle (150, 150) shows at (75, 75).
    ASSERT_TRUE(view->Create("Flash Control", 0, wxRect(0, 0, 275, 200), frame, 19890106));
    view->LoadMovie(0, path.string());
    view->SetScaleMode(0);
    view->GetPlayer().Advance();

    Mouse(view, wxEVT_MOTION, 75, 75);
    EXPECT_TRUE(view->GetCursor().IsOk()) << "no hand over the button";
    Mouse(view, wxEVT_LEFT_DOWN, 75, 75);
    Mouse(view, wxEVT_LEFT_UP, 75, 75);
    Mouse(view, wxEVT_MOTION, 200, 150);
    EXPECT_FALSE(view->GetCursor().IsOk()) << "the hand stays off the button";
    Key(view, wxEVT_KEY_DOWN, 'K');
    Key(view, wxEVT_KEY_UP, 'K');
    EXPECT_EQ(view->GetVariable("_level0.log"), "over,press,release,out,key,");
}

// A page the movie asks for in answer to a key press goes to the opener; other schemes go
// nowhere, and so does a page asked for without the user.
TEST_F(ShockwaveFlashTest, PagesGoToTheOpenerOthersNowhere) {
    auto path = dir / "u.swf";
    ActionButtonMovie(swfgen::ActionBuilder().GetUrl("http://example.com/unasked", "").Build(), {},
                      {},
                      swfgen::ActionBuilder()
                          .GetUrl("http://example.com/", "_blank")
                          .GetUrl("javascript:alert(1)", "")
                          .GetUrl("FSCommand:exec", "calc")
                          .Build())
        .Save(path);
    auto* view = new CShockwaveFlash;
    std::vector<std::wstring> opened;
    view->SetPageOpener([&](const std::wstring& url) { opened.push_back(url); });
    ASSERT_TRUE(view->Create("Flash Control", 0, wxRect(0, 0, 550, 400), frame, 19890106));
    view->LoadMovie(0, path.string());
    view->GetPlayer().Advance();
    tovi::testing::PumpEvents(std::chrono::milliseconds(50));
    EXPECT_TRUE(opened.empty());
    Key(view, wxEVT_KEY_DOWN, 'K');
    Key(view, wxEVT_KEY_UP, 'K');
    EXPECT_EQ(opened, std::vector<std::wstring>{L"http://example.com/"});
}

// A request to end that comes while a script runs stops that script at once (the program's
// window would otherwise close only when the script ends), then reaches the program's handler.
TEST_F(ShockwaveFlashTest, AnEndSignalStopsARunningScriptAtOnce) {
    static volatile std::sig_atomic_t received = 0;
    struct sigaction program {};
    program.sa_handler = [](int) { received = received + 1; };
    sigemptyset(&program.sa_mask);
    ASSERT_EQ(::sigaction(SIGTERM, &program, nullptr), 0);
    auto* view = new CShockwaveFlash;  // after the program's handler, as in the programs
    struct Raiser : flash::PlayerListener {
        void OnTrace(const std::string&) override {
            ++traces;
            ::raise(SIGTERM);
        }
        int traces = 0;
    } raiser;
    view->GetPlayer().SetListener(&raiser);
    swfgen::MovieWriter m(6, kStage, 30);
    m.DoAction(swfgen::ActionBuilder().Label("top").TraceText("tick").Jump("top").Build())
        .ShowFrame();
    view->GetPlayer().LoadMovieBytes(0, m.Build(), "loop.swf");
    view->GetPlayer().Advance();
    view->GetPlayer().SetListener(nullptr);
    flash::Player::ResumeScripts();
    EXPECT_EQ(raiser.traces, 1);
    EXPECT_EQ(received, 1);
}

// A script that runs past the movie's time limit (its ScriptLimits tag: 1 s here) is put to
// the asker; Yes stops it and the movie goes on.
TEST_F(ShockwaveFlashTest, ASlowScriptIsStoppedWhenTheUserSaysSo) {
    auto* view = new CShockwaveFlash;
    ASSERT_TRUE(view->Create("Flash Control", 0, wxRect(0, 0, 550, 400), frame, 19890106));
    std::vector<wxString> questions;
    view->SetSlowScriptAsker([&](const wxString& question) {
        questions.push_back(question);
        return true;
    });
    swfgen::MovieWriter m(7, kStage, 30);
    const std::uint8_t limits[] = {0x00, 0x01, 0x01, 0x00};  // 256 calls deep, 1 s
    m.Tag(65, limits);
    m.DoAction(swfgen::ActionBuilder().Label("top").Jump("top").Build()).ShowFrame();
    view->GetPlayer().LoadMovieBytes(0, m.Build(), "slow.swf");
    view->GetPlayer().Advance();
    EXPECT_EQ(questions, std::vector<wxString>{CShockwaveFlash::SlowScriptQuestion()});
}

TEST_F(ShockwaveFlashTest, RightPressOpensTheOwnMenuThere) {
    auto path = dir / "button.swf";
    ButtonMovie().Save(path);
    auto* view = new CShockwaveFlash;
    ASSERT_TRUE(view->Create("Flash Control", 0, wxRect(0, 0, 550, 400), frame, 19890106));
    view->LoadMovie(0, path.string());
    view->GetPlayer().Advance();

    std::vector<wxString> labels;
    wxPoint shownAt;
    int choice = CShockwaveFlash::MenuId(flash::MenuCommand::ZoomIn);
    view->SetMenuChooser([&](wxMenu& menu, const wxPoint& at) {
        labels.clear();
        for (const wxMenuItem* item : menu.GetMenuItems()) {
            labels.push_back(item->GetItemLabel());
        }
        shownAt = at;
        return choice;
    });
    Mouse(view, wxEVT_RIGHT_DOWN, 40, 30);
    EXPECT_EQ(shownAt, wxPoint(40, 30));
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front(), wxString(L"放大(&I)"));
    EXPECT_GT(view->GetPlayer().Zoom(), 1.0);
    // The right press itself does nothing to the movie.
    EXPECT_EQ(view->GetVariable("_level0.log"), "");

    choice = CShockwaveFlash::MenuId(flash::MenuCommand::QualityLow);
    Mouse(view, wxEVT_RIGHT_DOWN, 10, 10);
    EXPECT_EQ(view->GetQuality2(), "low");
    choice = CShockwaveFlash::MenuId(flash::MenuCommand::ShowAll);
    Mouse(view, wxEVT_RIGHT_DOWN, 10, 10);
    EXPECT_DOUBLE_EQ(view->GetPlayer().Zoom(), 1.0);
    // Nothing chosen: nothing changes.
    choice = wxID_NONE;
    Mouse(view, wxEVT_RIGHT_DOWN, 10, 10);
    EXPECT_EQ(view->GetQuality2(), "low");
}

}  // namespace

// A character as the window system delivers it: the key's own, or one of the characters an
// input method commits (which come without key presses).
void Char(CShockwaveFlash* view, wchar_t character, int keyCode = WXK_NONE) {
    wxKeyEvent event(wxEVT_CHAR);
    event.m_keyCode = keyCode != WXK_NONE ? keyCode : static_cast<int>(character);
    event.m_uniChar = character;
    event.SetEventObject(view);
    view->GetEventHandler()->ProcessEvent(event);
}

void TypeKey(CShockwaveFlash* view, int keyCode, wchar_t character) {
    Key(view, wxEVT_KEY_DOWN, keyCode);
    if (character != 0) {
        Char(view, character, keyCode);
    }
    Key(view, wxEVT_KEY_UP, keyCode);
}

TEST_F(ShockwaveFlashTest, TypingAndInputMethodTextGoIntoTheClickedField) {
    // An input field bound to "typed", 300 x 40 px at (50, 50), with a border.
    swfgen::MovieWriter m(8, kStage, 30);
    m.SetBackgroundColor({255, 255, 255, 255});
    flash::swf::EditText field;
    field.bounds = flash::Rect{0, 6000, 0, 800};
    field.border = true;
    field.hasFont = false;
    field.hasTextColor = true;
    field.color = {0, 0, 0, 255};
    field.fontHeight = 480;
    field.variableName = "typed";
    m.DefineEditText(1, field);
    swfgen::Place place = PlaceNew(1, 1, "field");
    place.matrix = flash::Matrix::Translate(1000, 1000);
    m.PlaceObject2(place).ShowFrame();
    auto path = dir / "input.swf";
    m.Save(path);

    auto* view = new CShockwaveFlash;
    ASSERT_TRUE(view->Create("Flash Control", 0, wxRect(0, 0, 550, 400), frame, 19890106));
    view->LoadMovie(0, path.string());
    view->GetPlayer().Advance();
    Mouse(view, wxEVT_MOTION, 100, 70);
    Mouse(view, wxEVT_LEFT_DOWN, 100, 70);
    Mouse(view, wxEVT_LEFT_UP, 100, 70);

    TypeKey(view, 'H', L'h');
    TypeKey(view, 'I', L'i');
    TypeKey(view, 'X', L'x');
    TypeKey(view, WXK_BACK, 0);
    TypeKey(view, WXK_SPACE, L' ');
    // The input method commits "中文输入" while no key reaches the window.
    for (wchar_t c : std::wstring(L"中文输入")) {
        Char(view, c);
    }
    TypeKey(view, WXK_HOME, 0);
    TypeKey(view, '>', L'>');
    EXPECT_EQ(view->GetVariable("typed"), wxString(L">hi 中文输入"));

    frame->Raise();
    view->Refresh();
    view->Update();
    EXPECT_FALSE(tovi::testing::SaveScreenshot(view, "shockwave_flash_typing.png").empty());
}
