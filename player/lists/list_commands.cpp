#include "lists/list_commands.h"

#include "host/prompts.h"

ListItemCommands::Host::~Host() = default;

std::optional<wxString> ListItemCommands::PathOf(int openId) {
    std::optional<wxString> description = host_.DescriptionOf(openId);
    return description ? PathFromDescription(*description) : std::nullopt;
}

void ListItemCommands::Run(int id) {
    std::optional<ListItemId> item = DecodeListItem(id);
    if (!item) {
        return;
    }
    const int openId = ListItemCommand(item->list, ItemAction::Open, item->position);
    switch (item->action) {
        case ItemAction::Open:
        case ItemAction::Play:
            Open(item->list, openId);
            break;
        case ItemAction::Remove:
            if (std::optional<wxString> path = PathOf(openId)) {
                lists_.List(item->list).RemoveEvery(*path);
                lists_.RebuildMenu(item->list);
            }
            break;
        case ItemAction::AddToPlaylist:
            if (std::optional<wxString> path = PathOf(openId)) {
                lists_.AddToPlaylist(*path);
            }
            break;
    }
}

void ListItemCommands::Open(ListKind list, int openId) {
    std::optional<wxString> path = PathOf(openId);
    if (!path || *path == host_.DocumentPath()) {
        return;
    }
    if (host_.OpenDocument(*path)) {
        return;
    }
    switch (list) {
        case ListKind::History:
        case ListKind::Related:
            lists_.List(list).RemoveFirst(*path);
            lists_.RebuildMenu(list);
            break;
        case ListKind::Playlist:
            if (prompts_.AskYesNo(wxString::Format(
                    wxS("播放器无法找到以下文件:\r\n%s\r\n是否要将其从播放列表中删除?"), *path))) {
                lists_.playlist.RemoveFirst(*path);
                lists_.RebuildMenu(ListKind::Playlist);
            }
            break;
        case ListKind::PrevNext:
            prompts_.Tell(wxS("打开出错"), host::PromptIcon::Error);
            break;
    }
}
