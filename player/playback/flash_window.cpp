#include "playback/flash_window.h"

#include "playback/frame_link.h"

FlashWindow::~FlashWindow() = default;

namespace {

FlashWindowFactory& Factory() {
    static FlashWindowFactory factory;
    return factory;
}

FrameLink* g_frameLink = nullptr;

}  // namespace

void SetFlashWindowFactory(FlashWindowFactory factory) {
    Factory() = std::move(factory);
}

std::unique_ptr<FlashWindow> MakeFlashWindow(wxWindow* parent) {
    return Factory() ? Factory()(parent) : nullptr;
}

FrameLink* TheFrameLink() {
    return g_frameLink;
}

void SetFrameLink(FrameLink* link) {
    g_frameLink = link;
}
