#include "capacity_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Hyphens(int n) {
    return std::wstring(static_cast<std::size_t>(n), L'-');
}

// The information boxes, character for character, built here from the parts as listed.
TEST(CapacityTexts, InformationBoxes) {
    const std::wstring rule = Hyphens(34) + L"\r\n";
    const std::wstring note = Hyphens(5) + L"说明:" + Hyphens(16) + L"\r\n";
    struct Case {
        ListKind list;
        int count;
        int capacity;
        std::wstring expected;
    } cases[] = {
        {ListKind::History, 50, 200,
         L"历史记录列表:\r\n" + rule +
             L"当前文件: 50 个\r\n最多记录: 200 个\r\n设置范围:( 0 - 400)\r\n" + note +
             L"\t历史记录是播放器帮您记录的最近播放文件,\r\n" +
             L"如果您不想让播放器记录您播放过的文件你可以将最多记录数设置为 0 \r\n"},
        {ListKind::Related, 3, 50,
         L"相关文件列表:\r\n" + rule +
             L"当前文件: 3 个\r\n最多查找: 50 个\r\n设置范围:( 0 - 100)\r\n" + note +
             L"\t相关文件是指当您打开一个文件后播放器在相同目录下打到的其它可播放文件, \r\n" +
             L"这样您可以很方便的打开同一目录下的其它Flash动画\r\n" +
             L"如果你不想使用此功能您可以将最多收集文件数设置为 0 \r\n"},
        // An empty playlist with capacity 250.
        {ListKind::Playlist, 0, 250,
         L"播放列表:\r\n" + rule +
             L"当前文件: 0 个\r\n最多添加: 250 个\r\n设置范围:( 0 - 500)\r\n" + note +
             L"\t播放列表是播放器为您提供的一个收集列表, \r\n" +
             L"您可以在此收集指定数目的Flash动画, 方便您随时播放\r\n" +
             L"如果你不想使用此功能您可以将列表最多收集文件数设置为 0 \r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(capacity_texts::InformationText(c.list, c.count, c.capacity).ToStdWstring(),
                  c.expected);
    }
}

TEST(CapacityTexts, LabelsTipsAndDescriptions) {
    struct Case {
        ListKind list;
        const wchar_t* label;
        const wchar_t* tooltip;
        const wchar_t* description;
    } cases[] = {
        {ListKind::History, L"记录历史:[ 200 ]个文件", L"设置播放器的记录记录文件数目",
         L"告诉播放器帮您记录已播放过的动画的数量, 其值在0-400之间\r\n设置过大的值可能会影响性能"},
        {ListKind::Related, L"最多搜索:[ 200 ]个文件", L"指定播放器最多搜索文件数目",
         L"指定一个在0-100之间的值 告诉播放器查找与当前播放动画同级目录的文件数目\r\n"
         L"设置过大的值可能会影响性能"},
        {ListKind::Playlist, L"最多容纳:[ 200 ]个文件", L"设置播放列表最多文件数目",
         L"告诉播放器在播放列表里最多帮您保存多少的文件, 其值在0-500之间\r\n"
         L"设置过大的值可能会影响性能"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(capacity_texts::LabelText(c.list, 200), c.label);
        EXPECT_EQ(capacity_texts::ToolTip(c.list), c.tooltip);
        EXPECT_EQ(capacity_texts::Description(c.list), c.description);
    }
}

}  // namespace
