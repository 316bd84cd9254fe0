#pragma once

#include <wx/string.h>

#include <optional>

// The command ids by which menu items name list entries. Entry k (0-based) of a list has the
// open id base + 1 + k; its other commands sit at the same position in the list's other ranges.

enum class ListKind { History, Related, Playlist, PrevNext };
enum class ItemAction { Open, Remove, AddToPlaylist, Play };

struct ListItemId {
    ListKind list;
    ItemAction action;
    int position;
};

struct ListIdRanges {
    int open;    // first open id
    int remove;  // first remove id, or 0 when the list has none
    int add;     // first add-to-playlist id, or 0
    int play;    // first extended-menu play id, or 0
    int count;   // ids in each range
};

ListIdRanges IdRangesOf(ListKind list);

// What an id in one of the ranges stands for.
std::optional<ListItemId> DecodeListItem(int id);
// The id of an entry's command, or 0 when the list has no such command.
int ListItemCommand(ListKind list, ItemAction action, int position);

// The first and last id of every range of every list, for command routing.
inline constexpr int kHistoryFirstId = 40001;
inline constexpr int kHistoryLastId = 41600;
inline constexpr int kRelatedFirstId = 50001;
inline constexpr int kRelatedLastId = 50400;
inline constexpr int kPlaylistFirstId = 60001;
inline constexpr int kPlaylistLastId = 62000;
inline constexpr int kPrevNextFirstId = 62001;
inline constexpr int kPrevNextLastId = 62500;

// "路径: " and the path: the description every entry item carries.
wxString EntryDescription(const wxString& path);
// The path an item's description names, or none: a description of 7 characters or fewer, or
// the no-information text, names no file.
std::optional<wxString> PathFromDescription(const wxString& description);

// String resource 106, the description of an item without a file.
extern const wxString kNoInfoDescription;
