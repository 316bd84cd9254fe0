#include "list_commands.h"

#include "capacity_texts.h"
#include "host/prompts.h"
#include "list_menus.h"
#include "resource_ids.h"

namespace {

// The list index of the "hasMenu" and "isLargeIcon" flags for a command of one of the lists.
int FlagIndex(int id, int historyId) {
    return id - historyId;  // history, related, playlist in id order
}

ListKind ListOfIndex(int index) {
    return index == kHistoryList   ? ListKind::History
           : index == kRelatedList ? ListKind::Related
                                   : ListKind::Playlist;
}

int IndexOfExtendedMenuCommand(int id) {
    return id >= ID_HISTORY_EXTMENU ? FlagIndex(id, ID_HISTORY_EXTMENU)
                                    : FlagIndex(id, ID_HISTORY_EXTMENU_ITEM);
}

}  // namespace

ListCommands::ListCommands(ribbon::Ribbon& ribbon, const ribbon::Handles& handles,
                           PlayerSettings& settings, MediaLists& lists,
                           host::PromptService& prompts)
    : ribbon_(ribbon), handles_(handles), settings_(settings), lists_(lists), prompts_(prompts) {}

void ListCommands::RebuildHistoryMenu() {
    RebuildMenu(ListKind::History);
}

void ListCommands::RebuildRelatedMenu() {
    RebuildMenu(ListKind::Related);
}

void ListCommands::RebuildPlaylistMenu() {
    RebuildMenu(ListKind::Playlist);
}

void ListCommands::RebuildMenu(ListKind list) {
    int index = list == ListKind::History   ? kHistoryList
                : list == ListKind::Related ? kRelatedList
                                            : kPlaylistList;
    list_menus::Flags flags{settings_.hasMenu[index], settings_.isLargeIcon[index]};
    const std::vector<wxString>& entries = lists_.List(list).Entries();
    switch (list) {
        case ListKind::History:
            list_menus::RebuildHistory(handles_, entries, flags);
            break;
        case ListKind::Related:
            list_menus::RebuildRelated(handles_, entries, flags);
            break;
        default:
            list_menus::RebuildPlaylist(handles_, entries, flags);
            break;
    }
}

void ListCommands::ShowPlaylistCapacity(int capacity, const wxString& label) {
    if (ribbon::Element* slider = ribbon_.FindById(ID_PLAYLIST_CAPACITY)) {
        slider->SetPos(capacity);
    }
    if (handles_.playlistCapacityLabel) {
        handles_.playlistCapacityLabel->SetText(label.ToStdWstring());
    }
}

int& ListCommands::Capacity(ListKind list) {
    switch (list) {
        case ListKind::History:
            return settings_.MaxHistory;
        case ListKind::Related:
            return settings_.MaxBoundFile;
        default:
            return settings_.MaxPlayerFile;
    }
}

ribbon::Element* ListCommands::CapacityLabel(ListKind list) const {
    switch (list) {
        case ListKind::History:
            return handles_.historyCapacityLabel;
        case ListKind::Related:
            return handles_.relatedCapacityLabel;
        default:
            return handles_.playlistCapacityLabel;
    }
}

void ListCommands::RefreshCapacityControls() {
    for (ListKind list : {ListKind::History, ListKind::Related, ListKind::Playlist}) {
        ribbon::Element* slider = ribbon_.FindById(capacity_texts::IdsOf(list).slider);
        if (slider == nullptr) {
            continue;
        }
        int capacity = Capacity(list);
        slider->SetPos(capacity);
        std::wstring tooltip = capacity_texts::ToolTip(list).ToStdWstring();
        std::wstring description = capacity_texts::Description(list).ToStdWstring();
        slider->SetToolTip(tooltip);
        slider->SetDescription(description);
        if (ribbon::Element* label = CapacityLabel(list)) {
            label->SetText(capacity_texts::LabelText(list, capacity).ToStdWstring());
            label->SetToolTip(tooltip);
            label->SetDescription(description);
        }
    }
    RebuildMenu(ListKind::History);
    RebuildMenu(ListKind::Playlist);
    RebuildMenu(ListKind::Related);
}

void ListCommands::CapacityMoved(int id) {
    ribbon::Element* slider = ribbon_.FindById(id);
    if (slider == nullptr) {
        return;
    }
    ListKind list = capacity_texts::ListOfCommand(id);
    Capacity(list) = slider->pos();
    if (ribbon::Element* label = CapacityLabel(list)) {
        label->SetText(capacity_texts::LabelText(list, slider->pos()).ToStdWstring());
    }
}

void ListCommands::ShowInformation(int id) {
    ListKind list = capacity_texts::ListOfCommand(id);
    int count = static_cast<int>(lists_.List(list).GetCount());
    prompts_.Tell(capacity_texts::InformationText(list, count, Capacity(list)));
}

void ListCommands::Clear(int id) {
    ListKind list = capacity_texts::ListOfCommand(id);
    MediaList& entries = lists_.List(list);
    if (entries.IsEmpty()) {
        return;
    }
    if (!prompts_.AskYesNo(capacity_texts::kClearQuestion)) {
        return;
    }
    entries.Clear();
    RebuildMenu(list);
}

void ListCommands::UpdateClearImage(int id) {
    if (ribbon::Element* button = ribbon_.FindById(id)) {
        button->SetLargeImage(lists_.List(capacity_texts::ListOfCommand(id)).IsEmpty() ? 13 : 12);
    }
}

void ListCommands::ToggleExtendedMenu(int id) {
    int index = IndexOfExtendedMenuCommand(id);
    settings_.hasMenu[index] = !settings_.hasMenu[index];
    RebuildMenu(ListOfIndex(index));
}

bool ListCommands::ExtendedMenuChecked(int id) const {
    return settings_.hasMenu[IndexOfExtendedMenuCommand(id)];
}

void ListCommands::ToggleLargeIcons(int id) {
    int index = FlagIndex(id, ID_HISTORY_LARGE_ICONS);
    settings_.isLargeIcon[index] = !settings_.isLargeIcon[index];
    RebuildMenu(ListOfIndex(index));
}

bool ListCommands::LargeIconsChecked(int id) const {
    return settings_.isLargeIcon[FlagIndex(id, ID_HISTORY_LARGE_ICONS)];
}

void ListCommands::SetPlayMode(int id) {
    settings_.PlayMode = id - ID_PLAYMODE_FIRST;
}

bool ListCommands::PlayModeChecked(int id) const {
    return settings_.PlayMode == id - ID_PLAYMODE_FIRST;
}
