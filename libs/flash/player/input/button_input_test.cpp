// Buttons under simulated mouse and keyboard input: their states, the actions each
// transition runs, the hand cursor, and input through the stage transform of the view.
#include <gtest/gtest.h>

#include <memory>

#include "flash/player/image.h"
#include "flash/player/player.h"
#include "test_movies.h"

namespace flash {
namespace {

using namespace testmovies;

struct Step {
    enum Kind { Move, Down, Up, Leave, Key } kind;
    double x = 0;
    double y = 0;
};

constexpr Step kOver{Step::Move, 150, 150};
constexpr Step kOff{Step::Move, 300, 300};

std::unique_ptr<Player> LoadedButtonMovie() {
    auto p = std::make_unique<Player>();
    swfgen::MovieWriter m = ButtonMovie();
    p->LoadMovieBytes(0, m.Build(), "button.swf");
    p->Advance();  // the first frame places the button
    return p;
}

void RunSteps(Player& p, const std::vector<Step>& steps) {
    for (const Step& s : steps) {
        switch (s.kind) {
            case Step::Move:
                p.MouseMove(s.x, s.y);
                break;
            case Step::Down:
                p.MouseDown(s.x, s.y);
                break;
            case Step::Up:
                p.MouseUp(s.x, s.y);
                break;
            case Step::Leave:
                p.MouseLeave();
                break;
            case Step::Key:
                p.KeyDown('K', U'k');
                p.KeyUp('K', U'k');
                break;
        }
    }
}

struct Case {
    const char* name;
    std::vector<Step> steps;
    const wchar_t* log;
};

TEST(ButtonInputTest, TransitionsRunTheirActions) {
    const Step downOver{Step::Down, 150, 150};
    const Step upOver{Step::Up, 150, 150};
    const Case cases[] = {
        {"roll over", {kOver}, L"over,"},
        {"roll over and out", {kOver, kOff}, L"over,out,"},
        {"pointer leaves the view", {kOver, {Step::Leave}}, L"over,out,"},
        {"click", {kOver, downOver, upOver}, L"over,press,release,"},
        {"drag out and back",
         {kOver, downOver, kOff, kOver, upOver},
         L"over,press,dragOut,dragOver,release,"},
        {"release outside",
         {kOver, downOver, kOff, {Step::Up, 300, 300}},
         L"over,press,dragOut,releaseOutside,"},
        {"pressed elsewhere, dragged over", {kOff, {Step::Down, 300, 300}, kOver}, L""},
        {"key press", {{Step::Key}}, L"key,"},
        {"outside the stage", {{Step::Move, -20, 900}, {Step::Down, -20, 900}}, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<Player> player = LoadedButtonMovie();
        Player& p = *player;
        RunSteps(p, c.steps);
        EXPECT_EQ(p.GetVariable(L"_level0.log"), c.log);
    }
}

TEST(ButtonInputTest, StatesShowAndTheHandFollowsTheButton) {
    std::unique_ptr<Player> player = LoadedButtonMovie();
    Player& p = *player;
    Image image(550, 400);
    auto colour = [&] {
        p.Render(image);
        return image.Pixel(150, 150) & 0xFFFFFFu;
    };
    EXPECT_EQ(colour(), 0xFF0000u);
    EXPECT_EQ(p.WantedCursor(), Cursor::Arrow);
    p.MouseMove(150, 150);
    EXPECT_EQ(colour(), 0x00FF00u);
    EXPECT_EQ(p.WantedCursor(), Cursor::Hand);
    p.MouseDown(150, 150);
    EXPECT_EQ(colour(), 0x0000FFu);
    p.MouseMove(300, 300);
    // Dragged off while pressed: the button shows its over state, as Flash does.
    EXPECT_EQ(colour(), 0x00FF00u);
    p.MouseUp(300, 300);
    EXPECT_EQ(colour(), 0xFF0000u);
    EXPECT_EQ(p.WantedCursor(), Cursor::Arrow);
}

TEST(ButtonInputTest, ViewPointsGoThroughTheScaleMode) {
    struct ViewCase {
        int mode;
        int width, height;
        double x, y;  // a view point over the button's middle
    };
    // Show all (0) scales 2x into 1100 x 800; exact fit (2) stretches only the width;
    // no scale (3) centres the stage at its own size.
    const ViewCase cases[] = {
        {0, 1100, 800, 300, 300}, {2, 1100, 400, 300, 150}, {3, 650, 500, 200, 200}};
    for (const ViewCase& c : cases) {
        SCOPED_TRACE(c.mode);
        std::unique_ptr<Player> player = LoadedButtonMovie();
        Player& p = *player;
        p.SetScaleMode(c.mode);
        p.SetViewSize(c.width, c.height);
        p.MouseMove(c.x, c.y);
        p.MouseDown(c.x, c.y);
        p.MouseUp(c.x, c.y);
        EXPECT_EQ(p.GetVariable(L"_level0.log"), L"over,press,release,");
        auto [sx, sy] = p.ViewToStage(c.x, c.y);
        EXPECT_NEAR(sx, 150, 0.5);
        EXPECT_NEAR(sy, 150, 0.5);
    }
}

}  // namespace
}  // namespace flash
