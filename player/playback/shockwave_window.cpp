#include "playback/shockwave_window.h"

FlashWindowFactory ShockwaveFlashFactory() {
    return [] { return host::MakeShockwaveControl(); };
}
