#pragma once

#include <wx/string.h>

#include <cstdint>

// The settings of the player: one record, owned by the player session, read from the registry
// store when the main window is created and written back when it closes.

// Index of a list in the three-byte flags "hasMenu" and "isLargeIcon".
enum ListIndex : int { kHistoryList = 0, kRelatedList = 1, kPlaylistList = 2 };

// What happens when a movie ends.
enum PlayModeValue : std::int32_t {
    kPlayModeAuto = 0,      // go on to the next file, stop at the end of the list
    kPlayModeLoopOne = 1,   // loop the current movie
    kPlayModeOnce = 2,      // play once
    kPlayModeLoopList = 3,  // go on to the next file, wrap around at the end
};

// Dragging the playing area.
enum DragModeValue : std::int32_t {
    kDragNever = 0,
    kDragAlways = 1,
    kDragWithoutRibbon = 2,
};

struct PlayerSettings {
    std::int32_t MaxHistory = 200;
    std::int32_t MaxBoundFile = 50;
    std::int32_t MaxPlayerFile = 250;
    // Per list (ListIndex): the extended menu and large icons.
    bool hasMenu[3] = {false, true, true};
    bool isLargeIcon[3] = {false, true, true};
    std::int32_t PlayMode = kPlayModeOnce;
    bool isAddHead = true;
    std::int32_t OtherSeting = kDragWithoutRibbon;  // drag mode
    // Frames before the last one at which a movie counts as finished; never stored.
    std::int32_t EndMargin = 2;
    std::int32_t ScaleMode = 0;
    bool isPlayingList = false;
    wxString PlayHuazhi = wxS("high");  // "low", "medium" or "high"

    // Largest values accepted from the store.
    static constexpr std::int32_t kMaxHistoryLimit = 400;
    static constexpr std::int32_t kMaxBoundFileLimit = 100;
    static constexpr std::int32_t kMaxPlayerFileLimit = 500;
    static constexpr std::int32_t kScaleModeLimit = 10;
    static constexpr std::int32_t kPlayModeLimit = 3;
};
