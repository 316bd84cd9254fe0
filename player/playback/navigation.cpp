#include "playback/navigation.h"

#include "common/player_settings.h"
#include "lists/list_items.h"
#include "res/resource_ids.h"
#include "tovi.h"

const wxString kNoEntriesText = wxS("当前暂无可用信息");

NavigationStep Navigate(const MediaList& list, const wxString& current, bool forward,
                        int playMode) {
    if (list.IsEmpty()) {
        return {};
    }
    const std::size_t count = list.GetCount();
    const std::size_t head = forward ? 0 : count - 1;
    std::optional<std::size_t> at = list.Find(current);
    if (!at) {
        return {NavigationStep::Open, list.GetAt(head)};
    }
    const bool atEnd = forward ? *at + 1 == count : *at == 0;
    if (!atEnd) {
        return {NavigationStep::Open, list.GetAt(forward ? *at + 1 : *at - 1)};
    }
    if (playMode == kPlayModeLoopList) {
        return {NavigationStep::Open, list.GetAt(head)};
    }
    return {NavigationStep::Stop, {}};
}

namespace {

MenuEntry SourceToggle(bool isPlayingList, bool previousMenu) {
    MenuEntry e;
    e.id = ID_LIST_SOURCE;
    if (isPlayingList) {
        e.text = wxS("从当前文件夹中读取");
        e.tooltip = previousMenu ? wxS("列出当前文件夹中的文件") : wxS("播放当前文件夹中的文件");
        e.description =
            wxS("播放器将在\"相关文件\"列表中选择文件为您自动安排, 以便您播放当前文件夹下的文件");
    } else {
        e.text = wxS("从播放列表中读取");
        e.tooltip = wxS("为您列出播放列表中的文件");
        e.description =
            wxS("播放器将在播放列表中选取文件为您安排列表, 以方便您播放之前收藏的Flash动画");
    }
    return e;
}

MenuEntry NoEntries() {
    MenuEntry e;
    e.text = kNoEntriesText;
    return e;
}

}  // namespace

PrevNextMenus BuildPrevNextMenus(const MediaList& source, const wxString& current,
                                 bool isPlayingList) {
    PrevNextMenus menus;
    menus.previous.push_back(SourceToggle(isPlayingList, true));
    menus.next.push_back(SourceToggle(isPlayingList, false));

    std::vector<std::size_t> after;
    std::vector<std::size_t> before;
    std::optional<std::size_t> at = source.Find(current);
    for (std::size_t i = at ? *at + 1 : 0; i < source.GetCount(); ++i) {
        after.push_back(i);
    }
    for (std::size_t i = at.value_or(0); at && i > 0; --i) {
        before.push_back(i - 1);
    }
    // Ids stop at the end of their range, so a list held longer than its capacity never
    // gives an entry an id of another command.
    const int available = kPrevNextLastId - kPrevNextFirstId + 1;
    int k = 0;
    auto add = [&](std::vector<MenuEntry>& menu, const std::vector<std::size_t>& positions) {
        for (std::size_t i : positions) {
            if (k >= available) {
                break;
            }
            const wxString& path = source.GetAt(i);
            wxString name = GetNameFromPath(path.wc_str());
            menu.push_back(
                {kPrevNextFirstId + k++, name, wxS("节目: ") + name, EntryDescription(path)});
        }
        if (menu.size() == 1) {
            menu.push_back(NoEntries());
        }
    };
    add(menus.next, after);
    add(menus.previous, before);
    return menus;
}
