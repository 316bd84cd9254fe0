#include "platform/wx_dispatch.h"

#include <wx/app.h>

#include "platform/messages.h"

namespace platform {
namespace {

class WxDispatcher : public UiDispatcher {
  public:
    void Post(std::function<void()> task) override {
        if (wxTheApp) {
            // Runs in the main loop and in the nested loops of modal dialogs alike.
            wxTheApp->CallAfter(std::move(task));
        }
    }
};

}  // namespace

void InstallWxDispatcher() {
    InstallUiDispatcher(std::make_shared<WxDispatcher>());
}

void UninstallWxDispatcher() {
    InstallUiDispatcher(nullptr);
}

}  // namespace platform
