#pragma once

#include "common/player_settings.h"
#include "lists/media_lists.h"
#include "ribbon_layout.h"

namespace host {
class PromptService;
}

// The main frame's commands on the three lists and their settings: the list menus, the
// capacity sliders and labels, the information boxes, clearing, the extended-menu and
// large-icon switches and the play mode. Works on the ribbon model only, so it runs without a
// display.
class ListCommands : public ListMenus {
  public:
    ListCommands(ribbon::Ribbon& ribbon, const ribbon::Handles& handles, PlayerSettings& settings,
                 MediaLists& lists, host::PromptService& prompts);

    // ListMenus.
    void RebuildHistoryMenu() override;
    void RebuildRelatedMenu() override;
    void RebuildPlaylistMenu() override;
    void ShowPlaylistCapacity(int capacity, const wxString& label) override;

    // Puts the stored capacities into the sliders and labels, then rebuilds the history, the
    // playlist and the related menus.
    void RefreshCapacityControls();
    // A capacity slider (32862..32864) moved: its position becomes the capacity.
    void CapacityMoved(int id);
    // 32877..32879.
    void ShowInformation(int id);
    // 32871..32873: empties the list after a Yes; an empty list asks nothing.
    void Clear(int id);
    // The clear button's large image: 13 while its list is empty, 12 otherwise.
    void UpdateClearImage(int id);

    // 32844..32849: the extended menu of a list on or off, then its menu rebuilt.
    void ToggleExtendedMenu(int id);
    bool ExtendedMenuChecked(int id) const;
    // 32874..32876.
    void ToggleLargeIcons(int id);
    bool LargeIconsChecked(int id) const;
    // 32858..32861.
    void SetPlayMode(int id);
    bool PlayModeChecked(int id) const;

  private:
    void RebuildMenu(ListKind list);
    int& Capacity(ListKind list);
    ribbon::Element* CapacityLabel(ListKind list) const;

    ribbon::Ribbon& ribbon_;
    const ribbon::Handles& handles_;
    PlayerSettings& settings_;
    MediaLists& lists_;
    host::PromptService& prompts_;
};
