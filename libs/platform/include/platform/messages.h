#pragma once

#include <cstddef>
#include <functional>
#include <memory>

#include "platform/types.h"

// Window messages between threads, as SendMessage and PostMessage carry them. A message goes
// to a window handle; the user-interface thread handles it through the window's handler.
// SendWindowMessage from another thread blocks until the user-interface thread has handled
// the message and returns the handler's result; on the user-interface thread it runs at once.
// How work reaches the user-interface thread is installed by that thread (a UiDispatcher):
// the wx adapter (wx_dispatch.h) in the programs, ManualDispatcher in tests.
namespace platform {

inline constexpr UINT kWmUser = 0x0400;

struct WindowTag;
using WindowHandle = WindowTag*;

// A message target. The handle is made at construction and dropped by DestroyHandle or the
// destructor; a message to a dropped handle is not delivered.
class MessageWindow {
  public:
    MessageWindow();
    virtual ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    // The handle as it is now; null once dropped.
    WindowHandle GetSafeHwnd() const;
    void DestroyHandle();

    // Runs on the user-interface thread.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  private:
    struct Handle;
    std::shared_ptr<Handle> handle_;
};

// Carries tasks to the user-interface thread. Post may be called from any thread; a task that
// is dropped without being run releases its waiting sender with result 0.
class UiDispatcher {
  public:
    virtual ~UiDispatcher() = default;
    virtual void Post(std::function<void()> task) = 0;
};

// Makes the calling thread the user-interface thread and `dispatcher` the way to it. Null
// uninstalls it; senders still waiting then get 0.
void InstallUiDispatcher(std::shared_ptr<UiDispatcher> dispatcher);
bool IsUiThread();

// SendMessage. 0 (last error 1400) for a null or dropped handle. Without an installed
// dispatcher the handler runs on the calling thread.
LRESULT SendWindowMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam);
// PostMessage: queued for the user-interface thread, not waited for. False for a null or
// dropped handle.
bool PostWindowMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam);

// A dispatcher for tests and programs without an event loop: tasks queue until the
// user-interface thread runs them.
class ManualDispatcher : public UiDispatcher {
  public:
    ManualDispatcher();
    ~ManualDispatcher() override;
    void Post(std::function<void()> task) override;
    // Runs the queued tasks (and those they queue); returns how many ran.
    int RunPending();
    // Waits up to `timeoutMs` for a task and runs it; false when none came.
    bool RunOne(int timeoutMs);
    // How many tasks wait to be run.
    std::size_t Pending() const;

  private:
    struct Queue;
    std::unique_ptr<Queue> queue_;
};

}  // namespace platform
