#include "string_table.h"

#include <gtest/gtest.h>

#include "menus.h"
#include "resource_ids.h"

namespace {

TEST(StringTable, FindsStringsByIdAndNothingForMissingIds) {
    EXPECT_STREQ(res::FindString(IDS_NO_RECORD), L"<< 暂无记录 >>");
    EXPECT_STREQ(res::FindString(ID_APP_EXIT), L"退出ToviFlash播放器\n退出");
    // The two add-order commands have no string resource.
    EXPECT_EQ(res::FindString(ID_ADD_TO_TAIL), nullptr);
    EXPECT_EQ(res::FindString(ID_ADD_TO_HEAD), nullptr);
    EXPECT_EQ(res::LoadString(ID_HISTORY_CAPACITY), L"");
}

TEST(StringTable, SplitsDescriptionAndTooltipAtTheFirstLineBreak) {
    struct Case {
        int id;
        const wchar_t* description;
        const wchar_t* tooltip;
    } cases[] = {
        {ID_PLAY, L"播放当前Flash动画", L"播放"},
        // The backslash belongs to the tooltip.
        {ID_PLAYLIST_EXTMENU, L"当启用扩展菜单后在播放列表中的每个项目右侧会出现快捷菜单",
         L"启用\\禁用扩展菜单"},
        {IDS_MAIN_CATEGORY, L"开始", L""},
    };
    for (const Case& c : cases) {
        auto parts = res::SplitCommandString(res::LoadString(c.id));
        EXPECT_EQ(parts.description, c.description) << c.id;
        EXPECT_EQ(parts.tooltip, c.tooltip) << c.id;
    }
}

TEST(Menus, StyleMenuListsTheLooksInMenuOrder) {
    std::vector<int> ids;
    for (const auto& item : res::StyleMenu()) {
        ids.push_back(item.IsSeparator() ? 0 : item.id);
    }
    EXPECT_EQ(ids, (std::vector<int>{215, 216, 217, 218, 0, 214, 212, 210, 211, 213}));
    EXPECT_STREQ(res::StyleMenu()[1].text, L"Office 2007 (黑色样式)(&L)");
    EXPECT_STREQ(res::StyleMenu()[8].text, L"Windows XP(Office 样式)");
}

}  // namespace
