#pragma once

#include <wx/string.h>

#include "common/player_settings.h"
#include "lists/list_items.h"
#include "lists/media_list.h"

namespace host {
class PromptService;
}

// What the lists ask of the main window after they change: rebuild a menu, show a capacity.
class ListMenus {
  public:
    virtual ~ListMenus();
    virtual void RebuildHistoryMenu() = 0;
    virtual void RebuildRelatedMenu() = 0;
    virtual void RebuildPlaylistMenu() = 0;
    // The playlist's capacity slider and its label.
    virtual void ShowPlaylistCapacity(int capacity, const wxString& label) = 0;
};

// The history, the related files of the current folder and the playlist, with their rules for
// adding, de-duplicating and trimming.
class MediaLists {
  public:
    explicit MediaLists(PlayerSettings& settings) : settings_(settings) {}

    // Not owned; null while no main window listens.
    void SetMenus(ListMenus* menus) { menus_ = menus; }

    MediaList& List(ListKind kind);
    MediaList history;
    MediaList related;
    MediaList playlist;

    // Puts `path` at the head of the history, once, and trims the tail to the capacity.
    void AddToHistory(const wxString& path);
    // Adds `path` (longer than 3 characters) at the head or the tail as the setting says,
    // once, trimming the other end to the capacity. False when the path is too short.
    bool AddToPlaylist(const wxString& path);

    // After a file was opened: when its folder differs from the folder of the file open before
    // it, the related list is collected anew from the folder: SWF files, then FLV files, each
    // in case-insensitive name order, at most MaxBoundFile in all. Folders end with a separator.
    void ScanRelated(const wxString& folder, const wxString& previousFolder);
    // Collects the related files of `folder` (empties the list first).
    void CollectRelated(const wxString& folder);

    // Adds every related file to the playlist, asking when the capacity is in the way, and
    // reports what was done.
    void AddAllRelatedToPlaylist(host::PromptService& prompts);

    void RebuildMenu(ListKind kind);

  private:
    PlayerSettings& settings_;
    ListMenus* menus_ = nullptr;
};
