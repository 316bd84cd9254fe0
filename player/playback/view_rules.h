#pragma once

#include <wx/string.h>

#include <cstddef>
#include <functional>
#include <optional>

#include "common/player_settings.h"

// What the view's commands depend on at the moment of an update pass.
struct ViewFacts {
    bool loaded = false;  // a file (not the start movie) has been loaded
    bool flv = false;     // played through the FLV wrapper movie
    bool making = false;  // a standalone player is being generated
    bool muted = false;
    bool ribbonVisible = true;
    int swfWidth = 0;  // the open file's stage size
    int swfHeight = 0;
    std::size_t documentPathLength = 0;
    std::size_t relatedCount = 0;
    // Asked only when a rule needs it (the stop command); a failing call counts as 0.
    std::function<long()> totalFrames;
    // The quality the control reports, lower-cased.
    wxString quality;
};

struct CommandState {
    bool enabled = true;
    std::optional<bool> checked;  // none: the command has no check mark
};

// Enabling and check marks of the view's commands; ids the view does not own give enabled
// and unchecked-less.
CommandState ViewCommandState(int id, const ViewFacts& facts, const PlayerSettings& settings);
