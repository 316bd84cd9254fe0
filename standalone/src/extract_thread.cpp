#include "extract_thread.h"

#include <wx/window.h>

#include <memory>

#include "extract.h"
#include "platform/folders.h"
#include "platform/text.h"

namespace {

// Sends each notification to the owner's window as it is at that moment, and waits for it.
class WindowSink : public standalone::ExtractSink {
  public:
    explicit WindowSink(platform::MessageWindow& owner) : owner_(owner) {}
    bool Notify(platform::WPARAM code, platform::LPARAM argument) override {
        platform::WindowHandle window = owner_.GetSafeHwnd();
        if (window == nullptr) {
            return false;
        }
        platform::SendWindowMessage(window, WM_EXTRACT_NOTIFY, code, argument);
        return owner_.GetSafeHwnd() != nullptr;
    }

  private:
    platform::MessageWindow& owner_;
};

}  // namespace

std::uint32_t ExtractThreadProc(void* param) {
    std::unique_ptr<ExtractParam> p(static_cast<ExtractParam*>(param));
    if (!p || p->owner == nullptr || p->owner->GetSafeHwnd() == nullptr || p->flash == nullptr ||
        p->flash->GetHandle() == nullptr) {
        return 0;
    }
    const std::string ownPath =
        p->ownPath.empty() ? platform::NativePath(platform::GetProgramPath()) : p->ownPath;
    WindowSink sink(*p->owner);
    standalone::RunExtraction(ownPath, p->force != 0, sink);
    return 0;
}
