#include "lists/media_lists.h"

#include <algorithm>
#include <vector>

#include "host/prompts.h"
#include "platform/folders.h"
#include "platform/text.h"

ListMenus::~ListMenus() = default;

namespace {

// The playlist never takes more than this many files, whatever the setting.
constexpr int kPlaylistLimit = PlayerSettings::kMaxPlayerFileLimit;

// File names matching `pattern` in `folder`, in the order a person reads a folder: without
// regard to case (names that differ only in case keep a fixed order).
std::vector<wxString> FilesInNameOrder(const wxString& folder, const wchar_t* pattern) {
    std::vector<wxString> names;
    platform::FileFinder finder;
    std::wstring search = folder.ToStdWstring() + pattern;
    for (bool found = finder.FindFirst(search.c_str()); found; found = finder.FindNext()) {
        if (!finder.Current().isDirectory) {
            names.emplace_back(finder.Current().name);
        }
    }
    std::sort(names.begin(), names.end(), [](const wxString& a, const wxString& b) {
        std::wstring fa = platform::FoldCase(a.ToStdWstring());
        std::wstring fb = platform::FoldCase(b.ToStdWstring());
        return fa != fb ? fa < fb : a < b;
    });
    return names;
}

}  // namespace

MediaList& MediaLists::List(ListKind kind) {
    switch (kind) {
        case ListKind::History:
            return history;
        case ListKind::Playlist:
            return playlist;
        case ListKind::Related:
        case ListKind::PrevNext:
            break;
    }
    return related;
}

void MediaLists::RebuildMenu(ListKind kind) {
    if (!menus_) {
        return;
    }
    switch (kind) {
        case ListKind::History:
            menus_->RebuildHistoryMenu();
            break;
        case ListKind::Related:
            menus_->RebuildRelatedMenu();
            break;
        case ListKind::Playlist:
            menus_->RebuildPlaylistMenu();
            break;
        case ListKind::PrevNext:
            break;
    }
}

void MediaLists::AddToHistory(const wxString& path) {
    history.RemoveEvery(path);
    history.AddHead(path);
    while (static_cast<std::int64_t>(history.GetCount()) > settings_.MaxHistory) {
        history.RemoveTail();
    }
    RebuildMenu(ListKind::History);
}

bool MediaLists::AddToPlaylist(const wxString& path) {
    if (path.length() <= 3) {
        return false;
    }
    playlist.RemoveEvery(path);
    if (settings_.isAddHead) {
        playlist.AddHead(path);
    } else {
        playlist.AddTail(path);
    }
    while (static_cast<std::int64_t>(playlist.GetCount()) > settings_.MaxPlayerFile) {
        if (settings_.isAddHead) {
            playlist.RemoveTail();
        } else {
            playlist.RemoveHead();
        }
    }
    RebuildMenu(ListKind::Playlist);
    return true;
}

void MediaLists::ScanRelated(const wxString& folder, const wxString& previousFolder) {
    if (folder == previousFolder) {
        return;
    }
    CollectRelated(folder);
}

void MediaLists::CollectRelated(const wxString& folder) {
    related.Clear();
    std::int64_t counter = 0;
    for (const wchar_t* pattern : {L"*.swf", L"*.flv"}) {
        for (const wxString& name : FilesInNameOrder(folder, pattern)) {
            if (++counter > settings_.MaxBoundFile) {
                RebuildMenu(ListKind::Related);
                return;
            }
            related.AddTail(folder + name);
        }
    }
    RebuildMenu(ListKind::Related);
}

void MediaLists::AddAllRelatedToPlaylist(host::PromptService& prompts) {
    const int n = static_cast<int>(related.GetCount());
    if (n == 0) {
        return;
    }
    int cap = settings_.MaxPlayerFile;
    int added = 0;
    int refreshed = 0;
    if (settings_.MaxPlayerFile == 0) {
        if (!prompts.AskYesNo(wxS("您已经禁用了播放列表功能, 在播放列表启用之前您不能收藏文件。\r\n"
                                  "是否现在启用播放列表功能?"))) {
            return;
        }
        cap = std::min(static_cast<int>(playlist.GetCount()) + n, kPlaylistLimit);
    }
    // Walked so that the playlist ends up in the folder's order.
    std::vector<wxString> walk = related.Entries();
    if (settings_.isAddHead) {
        std::reverse(walk.begin(), walk.end());
    }
    bool askedToRaise = false;
    bool questionsOff = false;
    for (int i = 0; i < n; ++i) {
        const int remaining = n - i;
        const int projected = static_cast<int>(playlist.GetCount()) + remaining;
        if (!questionsOff && projected < kPlaylistLimit && projected > cap && !askedToRaise) {
            if (!prompts.AskYesNo(wxString::Format(wxS("你没设置了播放列表最多可添加%d个文件, "
                                                       "现在还有%d个文件还须要添加。\r\n"),
                                                   cap, remaining) +
                                  wxS("您是否要更改设置继续添加文件?"))) {
                break;
            }
            cap = projected;
            askedToRaise = true;
        } else if (!questionsOff && projected > kPlaylistLimit) {
            if (!prompts.AskYesNo(wxS("将要添加的文件数量超过列表容量, 您是否要继续添加 "
                                      "继续添加会覆盖原有的部分文件"))) {
                break;
            }
            questionsOff = true;
        }
        const wxString& path = walk[static_cast<std::size_t>(i)];
        if (playlist.RemoveFirst(path)) {
            ++refreshed;
        }
        if (settings_.isAddHead) {
            playlist.AddHead(path);
        } else {
            playlist.AddTail(path);
        }
        ++added;
    }
    settings_.MaxPlayerFile = cap;
    if (menus_) {
        menus_->ShowPlaylistCapacity(cap, wxString::Format(wxS("最多容纳:[ %d ]个文件"), cap));
    }
    RebuildMenu(ListKind::Playlist);

    const int total = static_cast<int>(playlist.GetCount());
    if (added > 0 && refreshed > 0) {
        prompts.Tell(wxString::Format(wxS("已成功将当前文件夹下的%d个文件添加到播放列表, "
                                          "共有%d个文件重复文件已更新 现在播放列表中共有%d个文件"),
                                      added, refreshed, total));
    } else if (added > 0) {
        prompts.Tell(wxString::Format(
            wxS("已成功将当前文件夹下的%d个文件添加到播放列表, 现在播放列表中共有%d个文件"), added,
            total));
    } else {
        prompts.Tell(wxS("添加失败, 未做任何改动!"));
    }
}
