#include "playback/navigation.h"

#include <gtest/gtest.h>

#include "common/player_settings.h"

namespace {

MediaList ListOf(std::initializer_list<const char*> paths) {
    MediaList list;
    for (const char* p : paths) {
        list.AddTail(p);
    }
    return list;
}

TEST(Navigation, NextAndLastFollowTheListAndItsEnds) {
    const MediaList abc = ListOf({"/m/a.swf", "/m/b.swf", "/m/c.swf"});
    const MediaList one = ListOf({"/m/a.swf"});
    const struct {
        const char* what;
        const MediaList& list;
        const char* current;
        bool forward;
        int mode;
        NavigationStep::Kind kind;
        const char* path;
    } cases[] = {
        {"next", abc, "/m/a.swf", true, kPlayModeOnce, NavigationStep::Open, "/m/b.swf"},
        {"last", abc, "/m/c.swf", false, kPlayModeOnce, NavigationStep::Open, "/m/b.swf"},
        {"auto play at the tail stops", abc, "/m/c.swf", true, kPlayModeAuto, NavigationStep::Stop,
         ""},
        {"loop list at the tail wraps", abc, "/m/c.swf", true, kPlayModeLoopList,
         NavigationStep::Open, "/m/a.swf"},
        {"last at the head stops", abc, "/m/a.swf", false, kPlayModeAuto, NavigationStep::Stop, ""},
        {"last at the head in loop list", abc, "/m/a.swf", false, kPlayModeLoopList,
         NavigationStep::Open, "/m/c.swf"},
        {"not in the list: next opens the head", abc, "/x/z.swf", true, kPlayModeOnce,
         NavigationStep::Open, "/m/a.swf"},
        {"not in the list: last opens the tail", abc, "/x/z.swf", false, kPlayModeAuto,
         NavigationStep::Open, "/m/c.swf"},
        {"paths compare with case", abc, "/m/B.swf", true, kPlayModeOnce, NavigationStep::Open,
         "/m/a.swf"},
        {"one entry in loop list reopens it", one, "/m/a.swf", true, kPlayModeLoopList,
         NavigationStep::Open, "/m/a.swf"},
    };
    for (const auto& c : cases) {
        NavigationStep step = Navigate(c.list, c.current, c.forward, c.mode);
        EXPECT_EQ(step.kind, c.kind) << c.what;
        EXPECT_EQ(step.path, c.path) << c.what;
    }
    EXPECT_EQ(Navigate(MediaList(), "/m/a.swf", true, kPlayModeLoopList).kind,
              NavigationStep::Nothing);
}

std::vector<int> Ids(const std::vector<MenuEntry>& menu) {
    std::vector<int> ids;
    for (const MenuEntry& e : menu) {
        ids.push_back(e.id);
    }
    return ids;
}

TEST(PrevNextMenus, ListTheNeighboursWithIdsFromTheNextMenuOn) {
    MediaList list = ListOf({"/m/a.swf", "/m/b.swf", "/m/c.swf", "/m/d.swf"});
    PrevNextMenus menus = BuildPrevNextMenus(list, "/m/c.swf", false);
    EXPECT_EQ(Ids(menus.next), (std::vector<int>{32787, 62001}));
    EXPECT_EQ(Ids(menus.previous), (std::vector<int>{32787, 62002, 62003}));
    EXPECT_EQ(menus.next[1].text, "d.swf");
    EXPECT_EQ(menus.next[1].tooltip, wxString::FromUTF8("节目: d.swf"));
    EXPECT_EQ(menus.next[1].description, wxString::FromUTF8("路径: /m/d.swf"));
    // Nearest first.
    EXPECT_EQ(menus.previous[1].text, "b.swf");
    EXPECT_EQ(menus.previous[2].text, "a.swf");
}

TEST(PrevNextMenus, TheToggleNamesTheOtherSource) {
    MediaList list = ListOf({"/m/a.swf"});
    PrevNextMenus related = BuildPrevNextMenus(list, "/m/a.swf", false);
    EXPECT_EQ(related.previous[0].text, wxString::FromUTF8("从播放列表中读取"));
    EXPECT_EQ(related.next[0].tooltip, wxString::FromUTF8("为您列出播放列表中的文件"));
    PrevNextMenus playlist = BuildPrevNextMenus(list, "/m/a.swf", true);
    EXPECT_EQ(playlist.next[0].text, wxString::FromUTF8("从当前文件夹中读取"));
    EXPECT_EQ(playlist.previous[0].tooltip, wxString::FromUTF8("列出当前文件夹中的文件"));
    EXPECT_EQ(playlist.next[0].tooltip, wxString::FromUTF8("播放当前文件夹中的文件"));
    EXPECT_EQ(playlist.next[0].description,
              wxString::FromUTF8("播放器将在\"相关文件\"列表中选择文件为您自动安排, "
                                 "以便您播放当前文件夹下的文件"));
}

TEST(PrevNextMenus, AMenuWithoutEntriesSaysSo) {
    const struct {
        const char* what;
        MediaList list;
        const char* current;
        std::vector<int> next;
        std::vector<int> previous;
    } cases[] = {
        {"empty list", MediaList(), "/m/a.swf", {32787, 0}, {32787, 0}},
        {"only entry", ListOf({"/m/a.swf"}), "/m/a.swf", {32787, 0}, {32787, 0}},
        {"not in the list: all next, no previous",
         ListOf({"/m/a.swf", "/m/b.swf"}),
         "/x.swf",
         {32787, 62001, 62002},
         {32787, 0}},
    };
    for (const auto& c : cases) {
        PrevNextMenus menus = BuildPrevNextMenus(c.list, c.current, true);
        EXPECT_EQ(Ids(menus.next), c.next) << c.what;
        EXPECT_EQ(Ids(menus.previous), c.previous) << c.what;
        EXPECT_EQ(menus.next.back().id == 0 ? menus.next.back().text : kNoEntriesText,
                  kNoEntriesText);
    }
}

TEST(PrevNextMenus, IdsNeverLeaveTheirRange) {
    MediaList list;
    for (int i = 0; i < 505; ++i) {
        list.AddTail(wxString::Format("/m/%03d.swf", i));
    }
    PrevNextMenus menus = BuildPrevNextMenus(list, "/elsewhere.swf", true);
    EXPECT_EQ(menus.next.size(), 501u);
    EXPECT_EQ(menus.next.back().id, 62500);
}

}  // namespace
