#include "capacity_texts.h"

#include "resource_ids.h"

namespace capacity_texts {
namespace {

const wchar_t* const kRule = L"----------------------------------\r\n";  // 34 hyphens
const wchar_t* const kNote = L"-----说明:----------------\r\n";

}  // namespace

ListIds IdsOf(ListKind list) {
    switch (list) {
        case ListKind::History:
            return {ID_HISTORY_CAPACITY, ID_HISTORY_INFO, ID_CLEAR_HISTORY, 400};
        case ListKind::Related:
            return {ID_RELATED_CAPACITY, ID_RELATED_INFO, ID_CLEAR_RELATED, 100};
        case ListKind::Playlist:
        case ListKind::PrevNext:
            break;
    }
    return {ID_PLAYLIST_CAPACITY, ID_PLAYLIST_INFO, ID_CLEAR_PLAYLIST, 500};
}

ListKind ListOfCommand(int id) {
    for (ListKind list : {ListKind::History, ListKind::Related}) {
        ListIds ids = IdsOf(list);
        if (id == ids.slider || id == ids.info || id == ids.clear) {
            return list;
        }
    }
    return ListKind::Playlist;
}

wxString LabelText(ListKind list, int capacity) {
    switch (list) {
        case ListKind::History:
            return wxString::Format(L"记录历史:[ %d ]个文件", capacity);
        case ListKind::Related:
            return wxString::Format(L"最多搜索:[ %d ]个文件", capacity);
        default:
            return wxString::Format(L"最多容纳:[ %d ]个文件", capacity);
    }
}

wxString ToolTip(ListKind list) {
    switch (list) {
        case ListKind::History:
            return L"设置播放器的记录记录文件数目";
        case ListKind::Related:
            return L"指定播放器最多搜索文件数目";
        default:
            return L"设置播放列表最多文件数目";
    }
}

wxString Description(ListKind list) {
    int max = IdsOf(list).rangeMax;
    switch (list) {
        case ListKind::History:
            return wxString::Format(
                L"告诉播放器帮您记录已播放过的动画的数量, "
                L"其值在0-%d之间\r\n设置过大的值可能会影响性能",
                max);
        case ListKind::Related:
            return wxString::Format(
                L"指定一个在0-%d之间的值 告诉播放器查找与当前播放动画同级目录的文件数目\r\n"
                L"设置过大的值可能会影响性能",
                max);
        default:
            return wxString::Format(
                L"告诉播放器在播放列表里最多帮您保存多少的文件, 其值在0-%d之间\r\n"
                L"设置过大的值可能会影响性能",
                max);
    }
}

wxString InformationText(ListKind list, int count, int capacity) {
    int max = IdsOf(list).rangeMax;
    wxString text;
    switch (list) {
        case ListKind::History:
            text << L"历史记录列表:\r\n"
                 << kRule << wxString::Format(L"当前文件: %d 个\r\n", count)
                 << wxString::Format(L"最多记录: %d 个\r\n", capacity)
                 << wxString::Format(L"设置范围:( 0 - %d)\r\n", max) << kNote
                 << L"\t历史记录是播放器帮您记录的最近播放文件,\r\n"
                 << L"如果您不想让播放器记录您播放过的文件你可以将最多记录数设置为 0 \r\n";
            break;
        case ListKind::Related:
            text << L"相关文件列表:\r\n"
                 << kRule << wxString::Format(L"当前文件: %d 个\r\n", count)
                 << wxString::Format(L"最多查找: %d 个\r\n", capacity)
                 << wxString::Format(L"设置范围:( 0 - %d)\r\n", max) << kNote
                 << L"\t相关文件是指当您打开一个文件后播放器在相同目录下打到的其它可播放文件, \r\n"
                 << L"这样您可以很方便的打开同一目录下的其它Flash动画\r\n"
                 << L"如果你不想使用此功能您可以将最多收集文件数设置为 0 \r\n";
            break;
        default:
            text << L"播放列表:\r\n"
                 << kRule << wxString::Format(L"当前文件: %d 个\r\n", count)
                 << wxString::Format(L"最多添加: %d 个\r\n", capacity)
                 << wxString::Format(L"设置范围:( 0 - %d)\r\n", max) << kNote
                 << L"\t播放列表是播放器为您提供的一个收集列表, \r\n"
                    L"您可以在此收集指定数目的Flash动画, 方便您随时播放\r\n"
                 << L"如果你不想使用此功能您可以将列表最多收集文件数设置为 0 \r\n";
            break;
    }
    return text;
}

}  // namespace capacity_texts
