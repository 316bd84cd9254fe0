#include "playback/flash_window.h"

#include <wx/window.h>

namespace {

FlashWindowFactory& Factory() {
    static FlashWindowFactory factory;
    return factory;
}

}  // namespace

void SetFlashWindowFactory(FlashWindowFactory factory) {
    Factory() = std::move(factory);
}

std::unique_ptr<host::PlayerControl> MakeFlashWindow(wxWindow* parent) {
    std::unique_ptr<host::PlayerControl> control = Factory() ? Factory()() : nullptr;
    if (!control || !control->Create(parent, kViewControlText, kViewControlId,
                                     wxRect(wxPoint(0, 0), parent->GetClientSize()))) {
        return nullptr;
    }
    return control;
}
