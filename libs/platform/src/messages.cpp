#include "platform/messages.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "platform/errors.h"

namespace platform {

struct MessageWindow::Handle {
    WindowHandle id = nullptr;
};

namespace {

// Live handles and their windows. Handles are never reused, so a stale one finds nothing.
struct WindowTable {
    std::mutex mutex;
    std::map<WindowHandle, MessageWindow*> windows;
    std::uintptr_t next = 0x1000;
};

WindowTable& Windows() {
    static WindowTable* table = new WindowTable;
    return *table;
}

MessageWindow* Lookup(WindowHandle handle) {
    WindowTable& table = Windows();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto it = table.windows.find(handle);
    return it == table.windows.end() ? nullptr : it->second;
}

struct UiState {
    std::mutex mutex;
    std::shared_ptr<UiDispatcher> dispatcher;
    std::thread::id uiThread;
};

UiState& Ui() {
    static UiState* state = new UiState;
    return *state;
}

std::shared_ptr<UiDispatcher> CurrentDispatcher() {
    UiState& ui = Ui();
    std::lock_guard<std::mutex> lock(ui.mutex);
    return ui.dispatcher;
}

// A short busy wait before sleeping: a message handled at once by a waiting user-interface
// thread then costs no sleep and wake-up on either side.
constexpr auto kSpin = std::chrono::microseconds(50);

template <typename Ready>
bool SpinUntil(Ready ready) {
    const auto until = std::chrono::steady_clock::now() + kSpin;
    do {
        if (ready()) {
            return true;
        }
        std::this_thread::yield();
    } while (std::chrono::steady_clock::now() < until);
    return ready();
}

// Where a blocked sender waits for its result.
struct PendingCall {
    std::mutex mutex;
    std::condition_variable done;
    std::atomic<bool> finished{false};
    LRESULT result = 0;

    void Finish(LRESULT value) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!finished.load(std::memory_order_relaxed)) {
            result = value;
            finished.store(true, std::memory_order_release);
            done.notify_all();
        }
    }
    LRESULT Wait() {
        if (!SpinUntil([this] { return finished.load(std::memory_order_acquire); })) {
            std::unique_lock<std::mutex> lock(mutex);
            done.wait(lock, [this] { return finished.load(std::memory_order_acquire); });
        }
        std::lock_guard<std::mutex> lock(mutex);
        return result;
    }
};

LRESULT Deliver(WindowHandle handle, UINT message, WPARAM wParam, LPARAM lParam) {
    MessageWindow* window = Lookup(handle);
    return window ? window->HandleMessage(message, wParam, lParam) : 0;
}

// A message on its way to the user-interface thread. Dropped without running, it releases
// its sender with 0.
struct MessageTask {
    MessageTask(std::shared_ptr<PendingCall> c, WindowHandle w, UINT m, WPARAM wp, LPARAM lp)
        : call(std::move(c)), window(w), message(m), wParam(wp), lParam(lp) {}
    MessageTask(const MessageTask&) = delete;
    MessageTask& operator=(const MessageTask&) = delete;

    std::shared_ptr<PendingCall> call;
    WindowHandle window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;

    ~MessageTask() {
        if (call) {
            call->Finish(0);
        }
    }
    void Run() {
        LRESULT result = Deliver(window, message, wParam, lParam);
        if (call) {
            call->Finish(result);
        }
    }
};

}  // namespace

MessageWindow::MessageWindow() : handle_(std::make_shared<Handle>()) {
    WindowTable& table = Windows();
    std::lock_guard<std::mutex> lock(table.mutex);
    handle_->id = reinterpret_cast<WindowHandle>(table.next);
    table.next += 4;
    table.windows[handle_->id] = this;
}

MessageWindow::~MessageWindow() {
    DestroyHandle();
}

WindowHandle MessageWindow::GetSafeHwnd() const {
    WindowTable& table = Windows();
    std::lock_guard<std::mutex> lock(table.mutex);
    return handle_->id;
}

void MessageWindow::DestroyHandle() {
    WindowTable& table = Windows();
    std::lock_guard<std::mutex> lock(table.mutex);
    if (handle_->id) {
        table.windows.erase(handle_->id);
        handle_->id = nullptr;
    }
}

void InstallUiDispatcher(std::shared_ptr<UiDispatcher> dispatcher) {
    std::shared_ptr<UiDispatcher> old;
    {
        UiState& ui = Ui();
        std::lock_guard<std::mutex> lock(ui.mutex);
        old = std::move(ui.dispatcher);
        ui.dispatcher = std::move(dispatcher);
        ui.uiThread = ui.dispatcher ? std::this_thread::get_id() : std::thread::id();
    }
    // `old` goes here, outside the lock: its queued messages release their senders.
}

bool IsUiThread() {
    UiState& ui = Ui();
    std::lock_guard<std::mutex> lock(ui.mutex);
    return ui.dispatcher && ui.uiThread == std::this_thread::get_id();
}

LRESULT SendWindowMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == nullptr || Lookup(window) == nullptr) {
        SetLastError(kErrorInvalidWindowHandle);
        return 0;
    }
    std::shared_ptr<UiDispatcher> dispatcher = CurrentDispatcher();
    if (!dispatcher || IsUiThread()) {
        return Deliver(window, message, wParam, lParam);
    }
    auto call = std::make_shared<PendingCall>();
    auto task = std::make_shared<MessageTask>(call, window, message, wParam, lParam);
    dispatcher->Post([task] { task->Run(); });
    dispatcher.reset();
    task.reset();
    return call->Wait();
}

bool PostWindowMessage(WindowHandle window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == nullptr || Lookup(window) == nullptr) {
        SetLastError(kErrorInvalidWindowHandle);
        return false;
    }
    std::shared_ptr<UiDispatcher> dispatcher = CurrentDispatcher();
    if (!dispatcher) {
        Deliver(window, message, wParam, lParam);
        return true;
    }
    auto task = std::make_shared<MessageTask>(nullptr, window, message, wParam, lParam);
    dispatcher->Post([task] { task->Run(); });
    return true;
}

struct ManualDispatcher::Queue {
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<std::function<void()>> tasks;
    std::atomic<std::size_t> count{0};
};

ManualDispatcher::ManualDispatcher() : queue_(std::make_unique<Queue>()) {}

ManualDispatcher::~ManualDispatcher() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard<std::mutex> lock(queue_->mutex);
        dropped.swap(queue_->tasks);
    }
}

void ManualDispatcher::Post(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(queue_->mutex);
        queue_->tasks.push_back(std::move(task));
        queue_->count.store(queue_->tasks.size(), std::memory_order_release);
    }
    queue_->ready.notify_all();
}

int ManualDispatcher::RunPending() {
    int ran = 0;
    while (RunOne(0)) {
        ++ran;
    }
    return ran;
}

std::size_t ManualDispatcher::Pending() const {
    std::lock_guard<std::mutex> lock(queue_->mutex);
    return queue_->tasks.size();
}

bool ManualDispatcher::RunOne(int timeoutMs) {
    std::function<void()> task;
    if (timeoutMs > 0) {
        SpinUntil([this] { return queue_->count.load(std::memory_order_acquire) != 0; });
    }
    {
        std::unique_lock<std::mutex> lock(queue_->mutex);
        if (!queue_->ready.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                    [this] { return !queue_->tasks.empty(); })) {
            return false;
        }
        task = std::move(queue_->tasks.front());
        queue_->tasks.pop_front();
        queue_->count.store(queue_->tasks.size(), std::memory_order_release);
    }
    task();
    return true;
}

}  // namespace platform
