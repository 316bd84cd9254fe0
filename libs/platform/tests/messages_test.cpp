#include "platform/messages.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "platform/errors.h"

namespace platform {
namespace {

class RecordingWindow : public MessageWindow {
  public:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        seen.push_back({message, wParam, lParam, std::this_thread::get_id()});
        if (onMessage) {
            onMessage(message);
        }
        return static_cast<LRESULT>(wParam) * 10;
    }
    struct Seen {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::thread::id thread;
    };
    std::vector<Seen> seen;
    std::function<void(UINT)> onMessage;
};

class MessagesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dispatcher = std::make_shared<ManualDispatcher>();
        InstallUiDispatcher(dispatcher);
    }
    void TearDown() override { InstallUiDispatcher(nullptr); }
    std::shared_ptr<ManualDispatcher> dispatcher;
};

TEST_F(MessagesTest, WorkerBlocksUntilTheUiThreadHandledTheMessage) {
    RecordingWindow window;
    std::atomic<bool> returned{false};
    auto result = std::async(std::launch::async, [&] {
        LRESULT r = SendWindowMessage(window.GetSafeHwnd(), kWmUser + 100, 5, 77);
        returned = true;
        return r;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned);  // nothing ran on the user-interface thread yet
    EXPECT_TRUE(window.seen.empty());
    ASSERT_TRUE(dispatcher->RunOne(5000));
    EXPECT_EQ(result.get(), 50);
    ASSERT_EQ(window.seen.size(), 1u);
    EXPECT_EQ(window.seen[0].message, kWmUser + 100);
    EXPECT_EQ(window.seen[0].lParam, 77);
    EXPECT_EQ(window.seen[0].thread, std::this_thread::get_id());
}

TEST_F(MessagesTest, SendOnTheUiThreadRunsAtOnce) {
    RecordingWindow window;
    EXPECT_EQ(SendWindowMessage(window.GetSafeHwnd(), kWmUser, 3, 0), 30);
    EXPECT_EQ(window.seen.size(), 1u);
    EXPECT_EQ(dispatcher->RunPending(), 0);
}

TEST_F(MessagesTest, DroppedHandleGetsNothing) {
    auto window = std::make_unique<RecordingWindow>();
    WindowHandle handle = window->GetSafeHwnd();
    window->DestroyHandle();
    EXPECT_EQ(window->GetSafeHwnd(), nullptr);
    EXPECT_EQ(SendWindowMessage(handle, kWmUser, 1, 0), 0);
    EXPECT_EQ(GetLastError(), kErrorInvalidWindowHandle);
    EXPECT_FALSE(PostWindowMessage(handle, kWmUser, 1, 0));
    EXPECT_EQ(SendWindowMessage(nullptr, kWmUser, 1, 0), 0);
    EXPECT_TRUE(window->seen.empty());
}

TEST_F(MessagesTest, UninstallingReleasesWaitingSenders) {
    RecordingWindow window;
    auto result = std::async(
        std::launch::async, [&] { return SendWindowMessage(window.GetSafeHwnd(), kWmUser, 4, 0); });
    // Wait until the message is queued, then go away without running it.
    while (dispatcher->Pending() == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    InstallUiDispatcher(nullptr);
    dispatcher.reset();
    EXPECT_EQ(result.get(), 0);
    EXPECT_TRUE(window.seen.empty());
}

TEST_F(MessagesTest, MessagesOfOtherThreadsGetThroughWhileAHandlerRunsANestedLoop) {
    RecordingWindow window;
    std::atomic<bool> nestedDone{false};
    std::thread second;
    window.onMessage = [&](UINT message) {
        if (message != kWmUser + 1) {
            return;
        }
        // Like a modal message box: a nested loop that runs until its own end.
        second = std::thread([&] {
            SendWindowMessage(window.GetSafeHwnd(), kWmUser + 2, 2, 0);
            nestedDone = true;
        });
        while (!nestedDone) {
            dispatcher->RunOne(10);
        }
    };
    auto first = std::async(std::launch::async, [&] {
        return SendWindowMessage(window.GetSafeHwnd(), kWmUser + 1, 1, 0);
    });
    while (first.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        dispatcher->RunOne(10);
    }
    second.join();
    EXPECT_EQ(first.get(), 10);
    ASSERT_EQ(window.seen.size(), 2u);
    EXPECT_EQ(window.seen[1].message, kWmUser + 2u);
}

TEST_F(MessagesTest, PostDoesNotWait) {
    RecordingWindow window;
    std::thread([&] {
        EXPECT_TRUE(PostWindowMessage(window.GetSafeHwnd(), kWmUser, 9, 0));
    }).join();
    EXPECT_TRUE(window.seen.empty());
    EXPECT_EQ(dispatcher->RunPending(), 1);
    ASSERT_EQ(window.seen.size(), 1u);
    EXPECT_EQ(window.seen[0].wParam, 9u);
}

}  // namespace
}  // namespace platform
