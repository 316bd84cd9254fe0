#include "list_menus.h"

#include "resource_ids.h"
#include "string_table.h"
#include "tovi.h"

namespace list_menus {
namespace {

using ribbon::Element;

struct ListTexts {
    ListKind list;
    int toggleId;
    const wchar_t* heading;
    const wchar_t* hideDescription;  // extended menu on
    const wchar_t* showDescription;  // extended menu off
    const wchar_t* listName;         // in the remove item's description
    int entryImage;
};

const ListTexts kHistory = {
    ListKind::History,
    ID_HISTORY_EXTMENU_ITEM,
    L"最近播放文件",
    L"不在 \" 历史记录\" 项目上显示扩展菜单、隐藏后您任然可以通过 \"设置\" 选项启用扩展菜单",
    L"在 \" 历史记录\" 项目上显示扩展菜单、显示后您任然可以通过 \"设置\" 选项禁用扩展菜单",
    L"历史记录",
    0,
};
const ListTexts kRelated = {
    ListKind::Related,
    ID_RELATED_EXTMENU_ITEM,
    L"您可能还会用到以下文件:",
    L"不在 \" 相关文件\" 项目上显示扩展菜单、以后您任然可以通过 \"设置\" 选项启用扩展菜单",
    L"在 \" 相关文件\" 项目上显示扩展菜单、以后您任然可以通过 \"设置\" 选项禁用扩展菜单",
    L"相关文件",
    0,
};
const ListTexts kPlaylist = {
    ListKind::Playlist,
    ID_PLAYLIST_EXTMENU_ITEM,
    L"播放列表",
    L"不在 \" 播放列表\" 项目上显示扩展菜单、以后您任然可以通过 \"设置\" 选项启用扩展菜单",
    L"在 \" 播放列表\" 项目上显示扩展菜单、以后您任然可以通过 \"设置\" 选项禁用扩展菜单",
    L"播放列表",
    2,
};

// A button with its image given as the large or the small one, as the list's flag says.
Element::Ptr Button(int id, const wxString& text, int image, Flags flags) {
    Element::Ptr button = Element::Button(id, text.ToStdWstring(), -1, -1);
    if (flags.largeIcons) {
        button->SetLargeImage(image);
    } else {
        button->SetSmallImage(image);
    }
    return button;
}

void SetTips(Element& e, const wxString& tooltip, const wxString& description) {
    e.SetToolTip(tooltip.ToStdWstring());
    e.SetDescription(description.ToStdWstring());
}

Element::Ptr ToggleItem(const ListTexts& texts, Flags flags) {
    const wchar_t* text = flags.extendedMenu ? L"隐藏扩展菜单" : L"显示扩展菜单";
    Element::Ptr toggle = Button(texts.toggleId, text, 11, flags);
    SetTips(*toggle, text, flags.extendedMenu ? texts.hideDescription : texts.showDescription);
    return toggle;
}

Element::Ptr EntryItem(const ListTexts& texts, const wxString& path, int k, Flags flags) {
    wxString name = GetNameFromPath(path.wc_str());
    Element::Ptr entry =
        Button(ListItemCommand(texts.list, ItemAction::Open, k), name, texts.entryImage, flags);
    SetTips(*entry, wxS("节目: ") + name, EntryDescription(path));
    if (!flags.extendedMenu) {
        return entry;
    }
    Element* play = entry->AddSubItem(
        Button(ListItemCommand(texts.list, ItemAction::Play, k), wxS("播放"), 10, flags));
    SetTips(*play, wxS("播放<< ") + name + wxS(" >>"), EntryDescription(path));
    if (int add = ListItemCommand(texts.list, ItemAction::AddToPlaylist, k); add != 0) {
        Element* item = entry->AddSubItem(Button(add, wxS("添加到播放列表"), 2, flags));
        SetTips(*item, wxS("添加到播放列表"), wxS("将文件<<") + name + wxS(">> 添加到播放列表"));
    }
    entry->AddSubItem(Element::Separator(true));
    Element* remove = entry->AddSubItem(
        Button(ListItemCommand(texts.list, ItemAction::Remove, k), wxS("移走该文件"), 12, flags));
    SetTips(*remove, wxS("移走该文件"),
            wxS("将文件<<") + name + wxS(">> 从 \"") + texts.listName +
                wxS("\" 中移除, 这并不会影响磁盘上的文件"));
    return entry;
}

// Heading, toggle item, separator, then the entries from `first` on. Entries past the end of
// the list's id range get no item: their ids would fall into the next range.
void Rebuild(Element* carrier, const ListTexts& texts, const std::vector<wxString>& entries,
             std::size_t first, Flags flags) {
    if (carrier == nullptr) {
        return;
    }
    Element::List items;
    items.push_back(Element::Label(texts.heading));
    items.push_back(ToggleItem(texts, flags));
    items.push_back(Element::Separator(true));
    const std::size_t limit =
        std::min(entries.size(), static_cast<std::size_t>(IdRangesOf(texts.list).count));
    for (std::size_t k = first; k < limit; ++k) {
        items.push_back(EntryItem(texts, entries[k], static_cast<int>(k), flags));
    }
    carrier->SetSubItems(std::move(items));
}

void FillRecentItem(Element* item, const std::vector<wxString>& history, std::size_t k) {
    if (item == nullptr) {
        return;
    }
    if (k < history.size()) {
        const wxString& path = history[k];
        wxString name = GetNameFromPath(path.wc_str());
        item->SetDescription(EntryDescription(path).ToStdWstring());
        item->SetToolTip((wxS("节目: ") + path).ToStdWstring());
        item->SetText(RecentItemText(name).ToStdWstring());
    } else {
        item->SetText(L"<< 暂无信息 >>");
        item->SetToolTip(res::LoadString(IDS_NO_PROGRAM_INFO));
        item->SetDescription(res::LoadString(IDS_NO_PATH_INFO));
    }
}

}  // namespace

wxString RecentItemText(const wxString& name) {
    return name.length() > 12 ? name.Left(9) + wxS("...") : name;
}

void RebuildHistory(const ribbon::Handles& handles, const std::vector<wxString>& history,
                    Flags flags) {
    FillRecentItem(handles.recentItem1, history, 0);
    FillRecentItem(handles.recentItem2, history, 1);
    Rebuild(handles.moreButton, kHistory, history, 2, flags);
}

void RebuildRelated(const ribbon::Handles& handles, const std::vector<wxString>& related,
                    Flags flags) {
    Rebuild(handles.openButton, kRelated, related, 0, flags);
}

void RebuildPlaylist(const ribbon::Handles& handles, const std::vector<wxString>& playlist,
                     Flags flags) {
    Rebuild(handles.playlistButton, kPlaylist, playlist, 0, flags);
}

}  // namespace list_menus
