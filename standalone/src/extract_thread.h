#pragma once

#include <cstdint>
#include <string>

#include "platform/messages.h"

class wxWindow;

// What the player window hands to an extraction thread; the thread frees it.
struct ExtractParam {
    platform::MessageWindow* owner;  // receives every WM_EXTRACT_NOTIFY
    std::int32_t force;              // nonzero: write the cache file anew even when identical
    wxWindow* flash;      // the player's CShockwaveFlash; only tested: it must have a window
    std::string ownPath;  // the program file to extract from; empty: this program
};

// Thread routine of one run: takes the ExtractParam, frees it, returns 0. Ends at once, sending
// nothing, when the owner or the control has no window; stops early when the owner's window
// goes away during the run.
std::uint32_t ExtractThreadProc(void* param);
