#include "playback/flash_window.h"

FlashWindow::~FlashWindow() = default;

namespace {

FlashWindowFactory& Factory() {
    static FlashWindowFactory factory;
    return factory;
}

}  // namespace

void SetFlashWindowFactory(FlashWindowFactory factory) {
    Factory() = std::move(factory);
}

std::unique_ptr<FlashWindow> MakeFlashWindow(wxWindow* parent) {
    return Factory() ? Factory()(parent) : nullptr;
}
