#include "make_exe_progress.h"

#include <algorithm>
#include <cstdint>

namespace {

bool g_progressUsable = true;

}  // namespace

bool MakeExeProgress::Usable() {
    return g_progressUsable;
}

void MakeExeProgress::ResetUsableForTesting() {
    g_progressUsable = true;
}

platform::LRESULT MakeExeProgress::Handle(platform::WPARAM code, platform::LPARAM arg) {
    if (!g_progressUsable) {
        return 0;
    }
    const auto* text = reinterpret_cast<const wchar_t*>(arg);
    switch (code) {
        case 0:
            if (!view_.WindowExists() && !view_.CreateWindow()) {
                g_progressUsable = false;
                return 0;
            }
            view_.ShowWindow(arg == 1);
            return 0;
        case 1:
            if (text != nullptr) {
                view_.ShowResult(text);
            }
            return 0;
        case 2:
        case 3:
        case 4:
            return 0;
        default: {
            // Codes before the window was ever made have nothing to move.
            if (!view_.WindowExists()) {
                return 0;
            }
            auto value = static_cast<std::intptr_t>(code);
            view_.SetProgress(static_cast<int>(std::clamp<std::intptr_t>(value, 0, 100)));
            if (text != nullptr) {
                view_.SetStatusText(text);
            }
            return 0;
        }
    }
}

CentredPosition CentreOver(int left, int top, int right, int bottom, int w, int h) {
    return {(left + right) / 2 - w / 2, (top + bottom) / 2 - h / 2};
}
