#include "lists/list_items.h"

const wxString kNoInfoDescription = wxS("路径: << 暂无信息 >>");

namespace {

constexpr ListKind kLists[] = {ListKind::History, ListKind::Related, ListKind::Playlist,
                               ListKind::PrevNext};

}  // namespace

ListIdRanges IdRangesOf(ListKind list) {
    switch (list) {
        case ListKind::History:
            return {40001, 40401, 40801, 41201, 400};
        case ListKind::Related:
            return {50001, 50101, 50201, 50301, 100};
        case ListKind::Playlist:
            return {60001, 60501, 0, 61001, 500};
        case ListKind::PrevNext:
            break;
    }
    return {62001, 0, 0, 0, 500};
}

std::optional<ListItemId> DecodeListItem(int id) {
    for (ListKind list : kLists) {
        ListIdRanges r = IdRangesOf(list);
        const struct {
            int first;
            ItemAction action;
        } ranges[] = {{r.open, ItemAction::Open},
                      {r.remove, ItemAction::Remove},
                      {r.add, ItemAction::AddToPlaylist},
                      {r.play, ItemAction::Play}};
        for (const auto& range : ranges) {
            if (range.first != 0 && id >= range.first && id < range.first + r.count) {
                return ListItemId{list, range.action, id - range.first};
            }
        }
    }
    return std::nullopt;
}

int ListItemCommand(ListKind list, ItemAction action, int position) {
    ListIdRanges r = IdRangesOf(list);
    if (position < 0 || position >= r.count) {
        return 0;
    }
    int first = 0;
    switch (action) {
        case ItemAction::Open:
            first = r.open;
            break;
        case ItemAction::Remove:
            first = r.remove;
            break;
        case ItemAction::AddToPlaylist:
            first = r.add;
            break;
        case ItemAction::Play:
            first = r.play;
            break;
    }
    return first == 0 ? 0 : first + position;
}

wxString EntryDescription(const wxString& path) {
    return wxS("路径: ") + path;
}

std::optional<wxString> PathFromDescription(const wxString& description) {
    if (description.length() <= 7 || description == kNoInfoDescription) {
        return std::nullopt;
    }
    return description.Mid(4);
}
