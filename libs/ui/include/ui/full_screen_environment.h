#pragma once

#include <wx/gdicmn.h>
#include <wx/string.h>

#include <functional>

#include "ui/export.h"

namespace ui {

// What the full-screen window takes from its surroundings. The program routes the failure
// message through its prompt service; tests also read the cursor from a script and drive the
// poll themselves instead of waiting on the 20 ms timer.
struct FullScreenEnvironment {
    // Shows the failure message; empty: a message box.
    std::function<void(const wxString& text)> showMessage;
    // The cursor's position on the screen; empty: the real cursor.
    std::function<wxPoint()> cursorPosition;
    // False: no poll timer runs, whoever set it calls CFullScreen::Poll.
    bool pollTimer = true;
};

UI_API void SetFullScreenEnvironment(FullScreenEnvironment environment);
UI_API const FullScreenEnvironment& GetFullScreenEnvironment();

}  // namespace ui
