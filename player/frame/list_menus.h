#pragma once

#include <wx/string.h>

#include <vector>

#include "lists/list_items.h"
#include "ribbon_layout.h"

// The three list menus of the application menu, rebuilt whole from a list and its flags: the
// history under "更多 >>" with its two newest entries as the recent items, the related files
// under "打开(&O)...", the playlist under "播放列表".
namespace list_menus {

struct Flags {
    bool extendedMenu = false;
    bool largeIcons = false;
};

void RebuildHistory(const ribbon::Handles& handles, const std::vector<wxString>& history,
                    Flags flags);
void RebuildRelated(const ribbon::Handles& handles, const std::vector<wxString>& related,
                    Flags flags);
void RebuildPlaylist(const ribbon::Handles& handles, const std::vector<wxString>& playlist,
                     Flags flags);

// A recent item's text: the file name, or its first 9 characters and "..." when it is longer
// than 12 characters.
wxString RecentItemText(const wxString& name);

}  // namespace list_menus
