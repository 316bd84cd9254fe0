#include "make_exe_progress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records what the handler asks of the window and the message box.
struct FakeView : MakeExeProgressView {
    bool exists = false;
    bool canCreate = true;
    int creates = 0;
    std::vector<std::string> calls;

    bool WindowExists() const override { return exists; }
    bool CreateWindow() override {
        ++creates;
        exists = canCreate;
        calls.push_back(canCreate ? "create" : "create failed");
        return canCreate;
    }
    void ShowWindow(bool show) override { calls.push_back(show ? "show" : "hide"); }
    void SetProgress(int position) override { calls.push_back("pos " + std::to_string(position)); }
    void SetStatusText(const wchar_t* text) override {
        calls.push_back("text " + std::to_string(std::wstring(text).size()));
    }
    void ShowResult(const wchar_t* text) override {
        calls.push_back("box " + std::to_string(std::wstring(text).size()));
    }
};

platform::LPARAM Text(const wchar_t* text) {
    return reinterpret_cast<platform::LPARAM>(text);
}

class MakeExeProgressTest : public ::testing::Test {
  protected:
    void SetUp() override { MakeExeProgress::ResetUsableForTesting(); }
    void TearDown() override { MakeExeProgress::ResetUsableForTesting(); }
    FakeView view;
    MakeExeProgress progress{view};
};

TEST_F(MakeExeProgressTest, CodesAsTheBuilderSendsThem) {
    struct Step {
        platform::WPARAM code;
        platform::LPARAM arg;
        std::vector<std::string> calls;
    } steps[] = {
        {0, 1, {"create", "show"}},
        {5, Text(L"正在创建可执行文件..."), {"pos 5", "text 12"}},
        {5, 0, {"pos 5"}},  // no text: the text stays
        {42, 0, {"pos 42"}},
        {150, 0, {"pos 100"}},
        {static_cast<platform::WPARAM>(-7), 0, {"pos 0"}},  // negative as a signed number
        {2, Text(L"x"), {}},
        {3, 0, {}},
        {4, Text(L"x"), {}},
        {1, 0, {}},  // a result without a text shows nothing
        {1, Text(L"已成功"), {"box 3"}},
        {0, 0, {"hide"}},
        {0, 7, {"hide"}},
        {0, 1, {"show"}},  // the window is made once
    };
    for (const Step& step : steps) {
        view.calls.clear();
        EXPECT_EQ(progress.Handle(step.code, step.arg), 0);
        EXPECT_EQ(view.calls, step.calls) << "code " << static_cast<long>(step.code);
    }
    EXPECT_EQ(view.creates, 1);
}

TEST_F(MakeExeProgressTest, ProgressBeforeTheWindowExistsIsIgnored) {
    EXPECT_EQ(progress.Handle(50, Text(L"early")), 0);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(view.creates, 0);
}

TEST_F(MakeExeProgressTest, CreationFailureTurnsEverythingOffForTheRun) {
    view.canCreate = false;
    progress.Handle(0, 1);
    EXPECT_EQ(view.calls, std::vector<std::string>{"create failed"});
    EXPECT_FALSE(MakeExeProgress::Usable());

    view.canCreate = true;
    view.calls.clear();
    progress.Handle(0, 1);
    progress.Handle(1, Text(L"生成独立播放器失败, "));
    progress.Handle(50, 0);
    EXPECT_TRUE(view.calls.empty());
    // Another frame's handler is off too: the flag belongs to the process.
    FakeView other;
    other.exists = true;
    MakeExeProgress(other).Handle(1, Text(L"x"));
    EXPECT_TRUE(other.calls.empty());
}

}  // namespace

namespace {

TEST(CentreOver, TruncatesEachHalvingTowardZero) {
    struct Case {
        int l, t, r, b, w, h;
        CentredPosition expected;
    } cases[] = {
        {0, 0, 800, 600, 308, 34, {246, 283}},
        {100, 50, 901, 651, 307, 35, {347, 333}},
        // A main window partly off the left of the screen: -101 / 2 is -50, not -51.
        {-301, 0, 200, 100, 100, 20, {-100, 40}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CentreOver(c.l, c.t, c.r, c.b, c.w, c.h), c.expected);
    }
}

}  // namespace
