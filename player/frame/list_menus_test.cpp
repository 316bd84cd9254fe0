#include "list_menus.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/text.h"

namespace {

using ribbon::Element;
using ribbon::Kind;

// An item of a rebuilt menu as the user meets it.
struct Item {
    Kind kind;
    int id;
    std::wstring text;
    int small;
    int large;
    std::wstring tooltip;
    std::wstring description;
    bool operator==(const Item&) const = default;
};

void PrintTo(const Item& i, std::ostream* os) {
    *os << "{" << i.id << " \"" << platform::Utf8FromWide(i.text) << "\" " << i.small << "/"
        << i.large << " tip \"" << platform::Utf8FromWide(i.tooltip) << "\" desc \""
        << platform::Utf8FromWide(i.description) << "\"}";
}

Item Describe(const Element& e) {
    return {e.kind(),       e.id(),         e.text(),          e.smallImage(),
            e.largeImage(), e.OwnToolTip(), e.OwnDescription()};
}

std::vector<Item> Describe(const Element::List& items) {
    std::vector<Item> out;
    for (const auto& e : items) {
        out.push_back(Describe(*e));
    }
    return out;
}

// The image rule: large image when the list's large-icons flag is on, small otherwise.
Item Button(int id, std::wstring text, int image, bool large, std::wstring tooltip,
            std::wstring description) {
    return {Kind::Button,          id,
            std::move(text),       large ? -1 : image,
            large ? image : -1,    std::move(tooltip),
            std::move(description)};
}
Item Label(std::wstring text) {
    return {Kind::Label, 0, std::move(text), -1, -1, L"", L""};
}
Item Separator() {
    return {Kind::Separator, 0, L"", -1, -1, L"", L""};
}

struct Menus {
    ribbon::Ribbon ribbon;
    ribbon::Handles handles;
    Menus() { ribbon::BuildLayout(ribbon, handles, {}); }
};

const std::vector<wxString> kFiles = {L"/m/first.swf", L"/m/second.swf", L"/m/third.flv"};

TEST(ListMenus, PlaylistWithAndWithoutExtendedMenu) {
    for (bool extended : {false, true}) {
        for (bool large : {false, true}) {
            Menus m;
            list_menus::RebuildPlaylist(m.handles, kFiles, {extended, large});
            const std::wstring toggle = extended ? L"隐藏扩展菜单" : L"显示扩展菜单";
            std::vector<Item> expected = {
                Label(L"播放列表"),
                Button(32846, toggle, 11, large, toggle,
                       extended ? L"不在 \" 播放列表\" 项目上显示扩展菜单、以后您任然可以通过 "
                                  L"\"设置\" 选项启用扩展菜单"
                                : L"在 \" 播放列表\" 项目上显示扩展菜单、以后您任然可以通过 "
                                  L"\"设置\" 选项禁用扩展菜单"),
                Separator(),
                Button(60001, L"first.swf", 2, large, L"节目: first.swf", L"路径: /m/first.swf"),
                Button(60002, L"second.swf", 2, large, L"节目: second.swf", L"路径: /m/second.swf"),
                Button(60003, L"third.flv", 2, large, L"节目: third.flv", L"路径: /m/third.flv"),
            };
            const auto& items = m.handles.playlistButton->subItems();
            EXPECT_EQ(Describe(items), expected) << extended << large;
            // The playlist's extended menu has no add-to-playlist item.
            std::vector<Item> sub = {
                Button(61002, L"播放", 10, large, L"播放<< second.swf >>", L"路径: /m/second.swf"),
                Separator(),
                Button(60502, L"移走该文件", 12, large, L"移走该文件",
                       L"将文件<<second.swf>> 从 \"播放列表\" 中移除, 这并不会影响磁盘上的文件"),
            };
            EXPECT_EQ(Describe(items[4]->subItems()), extended ? sub : std::vector<Item>{});
        }
    }
}

TEST(ListMenus, RelatedFilesFromTheFirstEntryWithAddToPlaylist) {
    Menus m;
    list_menus::RebuildRelated(m.handles, kFiles, {true, true});
    const auto& items = m.handles.openButton->subItems();
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(Describe(*items[0]), Label(L"您可能还会用到以下文件:"));
    EXPECT_EQ(items[1]->id(), 32845);
    // Positions 0 and 1 are in the menu; large image 0 with large icons on.
    EXPECT_EQ(Describe(*items[3]),
              Button(50001, L"first.swf", 0, true, L"节目: first.swf", L"路径: /m/first.swf"));
    std::vector<Item> sub = {
        Button(50303, L"播放", 10, true, L"播放<< third.flv >>", L"路径: /m/third.flv"),
        Button(50203, L"添加到播放列表", 2, true, L"添加到播放列表",
               L"将文件<<third.flv>> 添加到播放列表"),
        Separator(),
        Button(50103, L"移走该文件", 12, true, L"移走该文件",
               L"将文件<<third.flv>> 从 \"相关文件\" 中移除, 这并不会影响磁盘上的文件"),
    };
    EXPECT_EQ(Describe(items[5]->subItems()), sub);
    EXPECT_TRUE(items[2]->horizontal());
}

TEST(ListMenus, HistoryKeepsItsTwoNewestAsRecentItems) {
    struct Case {
        std::vector<wxString> history;
        std::wstring recent1, recent2;
        std::size_t moreEntries;
    } cases[] = {
        {{}, L"<< 暂无信息 >>", L"<< 暂无信息 >>", 0},
        {{L"/a/one.swf", L"/a/two.swf"}, L"one.swf", L"two.swf", 0},
        // 12 characters stay whole, 13 are cut to 9 and "...".
        {{L"/a/abcdefgh.swf", L"/a/abcdefghi.swf", L"/a/x.swf"},
         L"abcdefgh.swf",
         L"abcdefghi...",
         1},
    };
    for (const Case& c : cases) {
        Menus m;
        list_menus::RebuildHistory(m.handles, c.history, {false, false});
        EXPECT_EQ(m.handles.recentItem1->text(), c.recent1);
        EXPECT_EQ(m.handles.recentItem2->text(), c.recent2);
        const auto& items = m.handles.moreButton->subItems();
        ASSERT_EQ(items.size(), 3 + c.moreEntries);
        EXPECT_EQ(Describe(*items[0]), Label(L"最近播放文件"));
        EXPECT_EQ(items[1]->id(), 32844);
        EXPECT_EQ(items[1]->OwnDescription(),
                  L"在 \" 历史记录\" 项目上显示扩展菜单、显示后您任然可以通过 \"设置\" "
                  L"选项禁用扩展菜单");
        if (c.moreEntries > 0) {
            // Position 2 keeps its position's id.
            EXPECT_EQ(Describe(*items[3]),
                      Button(40003, L"x.swf", 0, false, L"节目: x.swf", L"路径: /a/x.swf"));
        }
    }
    Menus m;
    list_menus::RebuildHistory(m.handles, {L"/a/abcdefghi.swf"}, {true, false});
    // The recent item's tooltip carries the full path, unlike the entries in the menus.
    EXPECT_EQ(m.handles.recentItem1->OwnToolTip(), L"节目: /a/abcdefghi.swf");
    EXPECT_EQ(m.handles.recentItem1->OwnDescription(), L"路径: /a/abcdefghi.swf");
    EXPECT_EQ(m.handles.recentItem2->OwnToolTip(), L"节目: << 暂无信息 >>");
    EXPECT_EQ(m.handles.recentItem2->OwnDescription(), L"路径: << 暂无信息 >>");
    EXPECT_EQ(m.handles.recentItem1->smallImage(), 1);
    EXPECT_EQ(
        m.handles.moreButton->subItems()[1]->OwnDescription(),
        L"不在 \" 历史记录\" 项目上显示扩展菜单、隐藏后您任然可以通过 \"设置\" 选项启用扩展菜单");
}

TEST(ListMenus, HistoryEntryExtendedMenu) {
    Menus m;
    std::vector<wxString> history = {L"/h/0.swf", L"/h/1.swf", L"/h/2.swf"};
    list_menus::RebuildHistory(m.handles, history, {true, false});
    std::vector<Item> sub = {
        Button(41203, L"播放", 10, false, L"播放<< 2.swf >>", L"路径: /h/2.swf"),
        Button(40803, L"添加到播放列表", 2, false, L"添加到播放列表",
               L"将文件<<2.swf>> 添加到播放列表"),
        Separator(),
        Button(40403, L"移走该文件", 12, false, L"移走该文件",
               L"将文件<<2.swf>> 从 \"历史记录\" 中移除, 这并不会影响磁盘上的文件"),
    };
    EXPECT_EQ(Describe(m.handles.moreButton->subItems()[3]->subItems()), sub);
}

TEST(ListMenus, ToggleItemOfEachListNamesTheOtherState) {
    using Rebuild =
        void (*)(const ribbon::Handles&, const std::vector<wxString>&, list_menus::Flags);
    struct Case {
        Rebuild rebuild;
        ribbon::Element* ribbon::Handles::*carrier;
        int id;
        bool extended;
        const wchar_t* description;
    } cases[] = {
        {list_menus::RebuildHistory, &ribbon::Handles::moreButton, 32844, true,
         L"不在 \" 历史记录\" 项目上显示扩展菜单、隐藏后您任然可以通过 \"设置\" 选项启用扩展菜单"},
        {list_menus::RebuildHistory, &ribbon::Handles::moreButton, 32844, false,
         L"在 \" 历史记录\" 项目上显示扩展菜单、显示后您任然可以通过 \"设置\" 选项禁用扩展菜单"},
        {list_menus::RebuildRelated, &ribbon::Handles::openButton, 32845, true,
         L"不在 \" 相关文件\" 项目上显示扩展菜单、以后您任然可以通过 \"设置\" 选项启用扩展菜单"},
        {list_menus::RebuildRelated, &ribbon::Handles::openButton, 32845, false,
         L"在 \" 相关文件\" 项目上显示扩展菜单、以后您任然可以通过 \"设置\" 选项禁用扩展菜单"},
        {list_menus::RebuildPlaylist, &ribbon::Handles::playlistButton, 32846, true,
         L"不在 \" 播放列表\" 项目上显示扩展菜单、以后您任然可以通过 \"设置\" 选项启用扩展菜单"},
        {list_menus::RebuildPlaylist, &ribbon::Handles::playlistButton, 32846, false,
         L"在 \" 播放列表\" 项目上显示扩展菜单、以后您任然可以通过 \"设置\" 选项禁用扩展菜单"},
    };
    for (const Case& c : cases) {
        Menus m;
        c.rebuild(m.handles, {}, {c.extended, false});
        const std::wstring text = c.extended ? L"隐藏扩展菜单" : L"显示扩展菜单";
        EXPECT_EQ(Describe(*(m.handles.*c.carrier)->subItems()[1]),
                  Button(c.id, text, 11, false, text, c.description))
            << c.id << " " << c.extended;
    }
}

TEST(ListMenus, EntriesBeyondTheIdRangeGetNoItem) {
    // Add-all can leave more than 500 entries in memory; entry 500 would take the id of the
    // first remove item.
    std::vector<wxString> playlist;
    for (int i = 0; i < 505; ++i) {
        playlist.push_back(wxString::Format(L"/p/%d.swf", i));
    }
    Menus m;
    list_menus::RebuildPlaylist(m.handles, playlist, {true, true});
    const auto& items = m.handles.playlistButton->subItems();
    ASSERT_EQ(items.size(), 3u + 500u);
    EXPECT_EQ(items.back()->id(), 60500);
    EXPECT_EQ(m.ribbon.FindById(60501), items[3]->subItems().back().get());
}

TEST(ListMenus, RebuildReplacesEverythingBefore) {
    Menus m;
    list_menus::RebuildPlaylist(m.handles, kFiles, {true, false});
    list_menus::RebuildPlaylist(m.handles, {L"/z/only.swf"}, {false, false});
    EXPECT_EQ(m.handles.playlistButton->subItems().size(), 4u);
    EXPECT_EQ(m.ribbon.FindById(60002), nullptr);
    EXPECT_EQ(m.ribbon.FindById(61001), nullptr);
}

}  // namespace
