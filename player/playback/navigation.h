#pragma once

#include <wx/string.h>

#include <optional>
#include <vector>

#include "lists/media_list.h"

// Previous and next over the source list (the playlist or the related files).

struct NavigationStep {
    enum Kind {
        Nothing,  // the list is empty
        Stop,     // the end of the list was reached: rewind and stop the movie
        Open,     // open `path`
    } kind = Nothing;
    wxString path;
};

// Where "next" (forward) or "last" leads from `current`: its neighbour in the list; at an end
// the other end in loop-list mode, else stop; from a file not in the list, the head (or tail).
NavigationStep Navigate(const MediaList& list, const wxString& current, bool forward, int playMode);

// One entry of the previous or next menu.
struct MenuEntry {
    int id = 0;  // 0: not a command (the no-information item)
    wxString text;
    wxString tooltip;
    wxString description;
};

struct PrevNextMenus {
    std::vector<MenuEntry> previous;
    std::vector<MenuEntry> next;
};

// The two menus: first the source toggle, then the entries after the current file (next) and
// before it, nearest first (previous), with ids from 62001 on, next menu first.
PrevNextMenus BuildPrevNextMenus(const MediaList& source, const wxString& current,
                                 bool isPlayingList);

extern const wxString kNoEntriesText;  // "当前暂无可用信息"
