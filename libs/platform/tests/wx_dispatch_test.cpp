#include "platform/wx_dispatch.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/timer.h>

#include <atomic>
#include <future>
#include <thread>

#include "platform/messages.h"
#include "tovi/testing/gui.h"

namespace platform {
namespace {

// Opens a modal dialog from inside the handler of the first message, as a result message box
// would be; the second message, sent by another thread meanwhile, closes it.
class ModalWindow : public MessageWindow {
  public:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM) override {
        handledOnMainThread = handledOnMainThread && wxThread::IsMain();
        if (message == kWmUser + 1) {
            wxDialog dialog(nullptr, wxID_ANY, "modal");
            dialog_ = &dialog;
            opened = true;
            wxTimer safety;  // never hang the test if the second message does not arrive
            safety.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { dialog.EndModal(wxID_ABORT); });
            safety.StartOnce(10000);
            int result = dialog.ShowModal();
            dialog_ = nullptr;
            return result == wxID_OK ? 1 : -1;
        }
        if (message == kWmUser + 2 && dialog_) {
            dialog_->EndModal(wxID_OK);
        }
        return static_cast<LRESULT>(wParam);
    }
    std::atomic<bool> opened{false};
    bool handledOnMainThread = true;

  private:
    wxDialog* dialog_ = nullptr;
};

TEST(WxDispatchTest, SendsReachTheUiThreadAlsoDuringAModalDialog) {
    InstallWxDispatcher();
    ModalWindow window;
    auto first = std::async(std::launch::async, [&] {
        return SendWindowMessage(window.GetSafeHwnd(), kWmUser + 1, 0, 0);
    });
    auto second = std::async(std::launch::async, [&] {
        while (!window.opened) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return SendWindowMessage(window.GetSafeHwnd(), kWmUser + 2, 7, 0);
    });
    EXPECT_TRUE(tovi::testing::PumpEventsUntil(
        [&] { return first.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
    EXPECT_EQ(second.get(), 7);
    EXPECT_EQ(first.get(), 1);
    EXPECT_TRUE(window.handledOnMainThread);
    UninstallWxDispatcher();
}

}  // namespace
}  // namespace platform
