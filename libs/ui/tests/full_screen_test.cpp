// The full-screen window under Xvfb, run modally as the view runs it, with the poll driven
// by the test and the cursor read from the test.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include <functional>
#include <memory>
#include <vector>

#include "flash/control/shockwave_flash.h"
#include "flash/swf/tag_codes.h"
#include "swfgen/action_builder.h"
#include "swfgen/shape_builder.h"
#include "swfgen/tag_writer.h"
#include "tovi/testing/files.h"
#include "tovi/testing/gui.h"
#include "ui/UI.h"
#include "ui/full_sc_toop.h"
#include "ui/full_screen_environment.h"

namespace {

using tovi::testing::PumpEvents;
using tovi::testing::PumpEventsUntil;

// A 550 x 400 movie at 30 fps, 300 frames: a blue stage and an orange square crossing it.
std::filesystem::path WriteMovie(const tovi::testing::TempDir& dir) {
    swfgen::MovieWriter m(8, flash::Rect{0, 11000, 0, 8000}, 30);
    m.SetBackgroundColor({30, 60, 140, 255});
    swfgen::ShapeBuilder shape;
    shape.Fill1(shape.AddSolidFill({255, 160, 0, 255})).Rectangle(flash::Rect{0, 2000, 0, 2000});
    m.Tag(flash::swf::kTagDefineShape3, shape.DefineShape(1, 3));
    swfgen::Place place;
    place.characterId = 1;
    place.depth = 1;
    m.PlaceObject2(place);
    m.ShowFrame();
    for (int i = 1; i < 300; ++i) {
        swfgen::Place move;
        move.depth = 1;
        move.move = true;
        move.matrix = flash::Matrix::Translate((i % 45) * 200.0, 3000);
        m.PlaceObject2(move).ShowFrame();
    }
    auto path = dir / "movie.swf";
    m.Save(path);
    return path;
}

int ToolbarBottom(const CFullScreen& window) {
    return window.GetToolbar()->GetRect().GetBottom() + 1;
}

void PressKey(wxWindow* window, int key) {
    wxKeyEvent press(wxEVT_CHAR_HOOK);
    press.m_keyCode = key;
    press.SetEventObject(window);
    window->ProcessWindowEvent(press);
}

// Clicks a control of the toolbar as the toolkit reports a click.
void Click(wxWindow* control, wxEventType type) {
    wxCommandEvent click(type, control->GetId());
    click.SetEventObject(control);
    if (auto* box = wxDynamicCast(control, wxCheckBox)) {
        click.SetInt(box->IsChecked() ? 1 : 0);
    }
    control->ProcessWindowEvent(click);
}

class FullScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host = new wxFrame(nullptr, wxID_ANY, "host", wxPoint(0, 0), wxSize(640, 480));
        host->Show();
        PumpEventsUntil([&] { return host->IsShownOnScreen(); });
        movie = WriteMovie(dir);
        UseEnvironment(false);
    }
    void TearDown() override {
        ui::SetFullScreenEnvironment({});
        host->Destroy();
    }

    void UseEnvironment(bool pollTimer) {
        ui::FullScreenEnvironment environment;
        environment.showMessage = [this](const wxString& text) { messages.push_back(text); };
        environment.cursorPosition = [this] { return cursor; };
        environment.pollTimer = pollTimer;
        ui::SetFullScreenEnvironment(environment);
    }

    stu_FullScreenParam Param(bool playing, int frame) {
        return stu_FullScreenParam{host, new CShockwaveFlash, wxString(movie.wstring()),
                                   playing ? 1 : 0, frame};
    }

    // Runs the window modally as the view does, with `script` run inside its loop; a window
    // still open 30 s later is closed and the test fails.
    int Run(stu_FullScreenParam& param, const std::function<void(CFullScreen&)>& script) {
        int result = 0;
        {
            CFullScreen window(&param);
            window.CallAfter([&] { script(window); });
            wxTimer watchdog;
            watchdog.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
                ADD_FAILURE() << "full screen did not end";
                window.EndModal(wxID_CANCEL);
            });
            watchdog.StartOnce(30000);
            result = window.ShowModal();
        }
        delete param.pFlash;
        return result;
    }

    tovi::testing::TempDir dir;
    std::filesystem::path movie;
    wxFrame* host = nullptr;
    wxPoint cursor{10, 500};
    std::vector<wxString> messages;
};

TEST_F(FullScreenTest, PlayingMovieGoesOnAndHandsBackItsFrame) {
    stu_FullScreenParam param = Param(true, 10);
    long seen = 0;
    int result = Run(param, [&](CFullScreen& window) {
        CShockwaveFlash* flash = param.pFlash;
        const wxRect monitor = wxDisplay(0u).GetGeometry();
        EXPECT_EQ(window.GetScreenRect(), monitor);
        ASSERT_TRUE(flash->HasWindow());
        EXPECT_EQ(flash->GetParent(), &window);
        EXPECT_EQ(flash->GetWindowText(), "Flash FullScreen");
        EXPECT_EQ(flash->GetControlId(), IDC_FLASH);
        EXPECT_EQ(flash->GetRect(), wxRect(monitor.GetSize()));
        EXPECT_TRUE(flash->IsPlaying());
        ASSERT_TRUE(PumpEventsUntil([&] { return flash->FrameNum() >= 16; }));
        window.Poll();
        seen = flash->FrameNum();
        EXPECT_EQ(param.bPlaying, 1);
        EXPECT_EQ(param.nFrame, seen);
        PumpEvents(std::chrono::milliseconds(100));
        EXPECT_FALSE(tovi::testing::SaveScreenshot(&window, "full_screen_play.png").empty());
        PressKey(flash, WXK_ESCAPE);
    });
    EXPECT_EQ(result, wxID_CANCEL);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(param.pFlash, nullptr);  // went with the window
    EXPECT_EQ(param.bPlaying, 1);
    EXPECT_GT(seen, 10);
    EXPECT_EQ(param.nFrame, seen);
}

TEST_F(FullScreenTest, PausedMovieStaysAtItsFrame) {
    stu_FullScreenParam param = Param(false, 7);
    Run(param, [&](CFullScreen& window) {
        CShockwaveFlash* flash = param.pFlash;
        EXPECT_FALSE(flash->IsPlaying());
        EXPECT_EQ(flash->FrameNum(), 7);
        PumpEvents(std::chrono::milliseconds(200));
        EXPECT_EQ(flash->FrameNum(), 7);
        window.Poll();
        EXPECT_EQ(param.bPlaying, 0);
        EXPECT_EQ(param.nFrame, 7);

        // Started in between, then stopped: the frame last seen playing stays.
        flash->Play();
        ASSERT_TRUE(PumpEventsUntil([&] { return flash->FrameNum() > 9; }));
        window.Poll();
        EXPECT_EQ(param.bPlaying, 1);
        const std::int32_t playedTo = param.nFrame;
        EXPECT_GT(playedTo, 9);
        flash->Stop();
        flash->GotoFrame(2);
        window.Poll();
        EXPECT_EQ(param.bPlaying, 0);
        EXPECT_EQ(param.nFrame, playedTo);
        window.EndModal(wxID_CANCEL);
    });
    EXPECT_EQ(param.bPlaying, 0);
    EXPECT_GT(param.nFrame, 9);
}

TEST_F(FullScreenTest, TimerWritesTheStateBack) {
    UseEnvironment(true);
    stu_FullScreenParam param = Param(true, 0);
    Run(param, [&](CFullScreen& window) {
        EXPECT_TRUE(PumpEventsUntil([&] { return param.nFrame > 5 && window.GetTickCount() > 5; }));
        PressKey(&window, WXK_ESCAPE);
    });
    EXPECT_EQ(param.bPlaying, 1);
    EXPECT_GT(param.nFrame, 5);
}

TEST_F(FullScreenTest, ToolbarShowsThreeSecondsThenFollowsTheCursor) {
    stu_FullScreenParam param = Param(true, 0);
    Run(param, [&](CFullScreen& window) {
        const int cx = window.GetSize().x;
        CFullSCToop* toolbar = window.GetToolbar();
        ASSERT_NE(toolbar, nullptr);
        EXPECT_EQ(toolbar->GetParent(), param.pFlash);
        EXPECT_EQ(toolbar->GetLabel(), wxS("全屏工具条"));
        EXPECT_EQ(toolbar->GetRect(), wxRect(0, 0, cx, 30));
        auto* exit = wxDynamicCast(toolbar->FindWindow(IDC_FULLSCREEN_EXIT), wxButton);
        auto* hint = wxDynamicCast(toolbar->FindWindow(IDC_FULLSCREEN_HINT), wxStaticText);
        auto* pin = wxDynamicCast(toolbar->FindWindow(IDC_FULLSCREEN_PIN), wxCheckBox);
        ASSERT_TRUE(exit && hint && pin);
        EXPECT_EQ(exit->GetLabel(), wxS("退出"));
        EXPECT_EQ(exit->GetRect(), wxRect(cx - 55, 1, 45, 23));
        EXPECT_EQ(hint->GetLabel(), wxS("全屏播放, 按 ESC 键退出全屏"));
        EXPECT_EQ(hint->GetRect(), wxRect(cx / 2 - 100, 0, 200, 24));
        EXPECT_EQ(pin->GetLabel(), wxS("固定"));
        EXPECT_EQ(pin->GetRect(), wxRect(5, 1, 75, 23));

        // The first 150 ticks (3 s) leave it fully shown wherever the cursor is.
        cursor.y = 500;
        for (int tick = 0; tick < 150; ++tick) {
            window.Poll();
            ASSERT_EQ(ToolbarBottom(window), 30) << "tick " << tick;
        }
        window.Poll();
        EXPECT_EQ(ToolbarBottom(window), 29);
        EXPECT_EQ(toolbar->GetSize(), wxSize(cx, 30));
        for (int tick = 0; tick < 40; ++tick) {
            window.Poll();
        }
        EXPECT_EQ(ToolbarBottom(window), 0);

        cursor.y = 199;
        window.Poll();
        EXPECT_EQ(ToolbarBottom(window), 1);
        cursor.y = 200;
        window.Poll();
        EXPECT_EQ(ToolbarBottom(window), 0);

        // Pinned while half hidden: back at full height at the next tick, and held there.
        cursor.y = 0;
        for (int tick = 0; tick < 15; ++tick) {
            window.Poll();
        }
        EXPECT_EQ(ToolbarBottom(window), 15);
        cursor.y = 700;
        pin->SetValue(true);
        Click(pin, wxEVT_CHECKBOX);
        EXPECT_TRUE(toolbar->IsPinned());
        window.Poll();
        EXPECT_EQ(ToolbarBottom(window), 30);
        for (int tick = 0; tick < 10; ++tick) {
            window.Poll();
        }
        EXPECT_EQ(ToolbarBottom(window), 30);
        EXPECT_EQ(toolbar->GetPosition(), wxPoint(0, 0));
        pin->SetValue(false);
        Click(pin, wxEVT_CHECKBOX);
        EXPECT_FALSE(toolbar->IsPinned());
        window.Poll();
        EXPECT_EQ(ToolbarBottom(window), 29);
        // The pin's message to the window changes nothing else.
        PumpEvents(std::chrono::milliseconds(50));
        EXPECT_TRUE(window.IsModal());
        window.EndModal(wxID_CANCEL);
    });
}

TEST_F(FullScreenTest, ToolbarFollowsTheRealCursor) {
    ui::FullScreenEnvironment environment;
    environment.showMessage = [this](const wxString& text) { messages.push_back(text); };
    environment.pollTimer = false;
    ui::SetFullScreenEnvironment(environment);
    stu_FullScreenParam param = Param(false, 0);
    Run(param, [&](CFullScreen& window) {
        wxUIActionSimulator input;
        auto moveTo = [&](int y) {
            input.MouseMove(wxPoint(300, y));
            PumpEventsUntil([&] { return wxGetMousePosition().y == y; });
        };
        moveTo(600);
        for (int tick = 0; tick < 151; ++tick) {
            window.Poll();
        }
        EXPECT_EQ(ToolbarBottom(window), 29);
        moveTo(100);
        window.Poll();
        EXPECT_EQ(ToolbarBottom(window), 30);
        window.EndModal(wxID_CANCEL);
    });
}

struct EndCase {
    const char* name;
    std::function<void(CFullScreen&, CShockwaveFlash*)> end;
};

TEST_F(FullScreenTest, EscapeAndExitEndFullScreenEnterDoesNot) {
    const EndCase cases[] = {
        {"escape", [](CFullScreen&, CShockwaveFlash* flash) { PressKey(flash, WXK_ESCAPE); }},
        {"exit button",
         [](CFullScreen& window, CShockwaveFlash*) {
             Click(window.GetToolbar()->FindWindow(IDC_FULLSCREEN_EXIT), wxEVT_BUTTON);
         }},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.name);
        stu_FullScreenParam param = Param(false, 3);
        bool ended = false;
        int result = Run(param, [&](CFullScreen& window) {
            PressKey(param.pFlash, WXK_RETURN);
            PressKey(param.pFlash, WXK_NUMPAD_ENTER);
            PumpEvents(std::chrono::milliseconds(100));
            EXPECT_TRUE(window.IsModal());
            c.end(window, param.pFlash);
            ended = PumpEventsUntil([&] { return !window.IsModal(); });
        });
        EXPECT_TRUE(ended);
        EXPECT_EQ(result, wxID_CANCEL);
        EXPECT_EQ(param.nFrame, 3);
    }
}

// A movie of 100 frames with a button that, on the Enter key, goes to frame 10 and stops.
std::filesystem::path WriteEnterMovie(const tovi::testing::TempDir& dir) {
    swfgen::MovieWriter m(8, flash::Rect{0, 11000, 0, 8000}, 30);
    swfgen::ShapeBuilder shape;
    shape.Fill1(shape.AddSolidFill({255, 160, 0, 255})).Rectangle(flash::Rect{0, 2000, 0, 2000});
    m.Tag(flash::swf::kTagDefineShape3, shape.DefineShape(1, 3));
    flash::swf::Button button;
    button.version = 2;
    flash::swf::ButtonRecord record;
    record.states = 0x0F;  // up, over, down, hit
    record.characterId = 1;
    record.depth = 1;
    button.records.push_back(record);
    flash::swf::ButtonAction onEnter;
    onEnter.keyCode = 13;
    onEnter.actions = swfgen::ActionBuilder().GotoFrame(9).Stop().Build();
    button.actions.push_back(onEnter);
    m.DefineButton(2, button);
    swfgen::Place place;
    place.characterId = 2;
    place.depth = 1;
    m.PlaceObject2(place);
    for (int i = 0; i < 100; ++i) {
        m.ShowFrame();
    }
    auto path = dir / "enter.swf";
    m.Save(path);
    return path;
}

// Enter typed on the keyboard reaches the movie in full screen, as it does in the window.
TEST_F(FullScreenTest, EnterGoesToTheMovie) {
    movie = WriteEnterMovie(dir);
    for (int key : {WXK_RETURN, WXK_NUMPAD_ENTER}) {
        SCOPED_TRACE(key);
        stu_FullScreenParam param = Param(true, 20);
        bool stopped = false;
        Run(param, [&](CFullScreen& window) {
            CShockwaveFlash* flash = param.pFlash;
            ASSERT_TRUE(PumpEventsUntil([&] { return window.IsShownOnScreen(); }));
            flash->SetFocus();
            PumpEvents(std::chrono::milliseconds(100));
            wxUIActionSimulator().Char(key);
            stopped = PumpEventsUntil([&] { return !flash->IsPlaying(); }, std::chrono::seconds(5));
            EXPECT_EQ(flash->FrameNum(), 9);
            EXPECT_TRUE(window.IsModal());
            window.EndModal(wxID_CANCEL);
        });
        EXPECT_TRUE(stopped);
    }
}

TEST_F(FullScreenTest, FailedControlShowsTheMessageAndReturns) {
    struct FailCase {
        const char* name;
        std::function<CShockwaveFlash*(wxWindow* host)> wrapper;
    };
    const FailCase cases[] = {
        {"no wrapper", [](wxWindow*) -> CShockwaveFlash* { return nullptr; }},
        {"control cannot be created",
         [](wxWindow* parent) {
             // A wrapper whose control already exists cannot make another.
             auto* flash = new CShockwaveFlash;
             flash->Create("elsewhere", 0, wxRect(0, 0, 10, 10), parent, 1);
             return flash;
         }},
    };
    for (const FailCase& c : cases) {
        SCOPED_TRACE(c.name);
        messages.clear();
        CShockwaveFlash* wrapper = c.wrapper(host);
        stu_FullScreenParam param{host, wrapper, wxString(movie.wstring()), 1, 42};
        int result = 0;
        {
            CFullScreen window(&param);
            result = window.ShowModal();
            EXPECT_FALSE(window.IsShown());
        }
        EXPECT_EQ(result, wxID_CANCEL);
        EXPECT_EQ(messages, std::vector<wxString>{wxString(L"抱歉， 全屏播放失败")});
        // The record and the wrapper stay the caller's.
        EXPECT_EQ(param.pFlash, wrapper);
        EXPECT_EQ(param.bPlaying, 1);
        EXPECT_EQ(param.nFrame, 42);
        delete wrapper;
    }
}

}  // namespace
