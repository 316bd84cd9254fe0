#include "list_commands.h"

#include <gtest/gtest.h>

#include "resource_ids.h"
#include "testing/scripted_prompts.h"

namespace {

using ribbon::Element;

// Counts the rebuilds of each list menu.
struct RebuildCounter : ribbon::Listener {
    std::map<int, int> rebuilds;
    void ElementChanged(Element& e, ribbon::Change change) override {
        if (change == ribbon::Change::SubItems && e.parent() == nullptr) {
            ++rebuilds[e.id()];
        }
    }
};

class ListCommandsTest : public ::testing::Test {
  protected:
    ListCommandsTest() { ribbon::BuildLayout(ribbon, handles, {}); }
    void Fill(MediaList& list, int n) {
        for (int i = 0; i < n; ++i) {
            list.AddTail(wxString::Format(L"/movies/%d.swf", i));
        }
    }
    Element* Find(int id) { return ribbon.FindById(id); }

    ribbon::Ribbon ribbon;
    ribbon::Handles handles;
    PlayerSettings settings;
    MediaLists lists{settings};
    ScriptedPrompts prompts;
    ListCommands commands{ribbon, handles, settings, lists, prompts};
};

TEST_F(ListCommandsTest, RefreshPutsTheStoredCapacitiesIntoSlidersAndLabels) {
    Fill(lists.history, 3);
    commands.RefreshCapacityControls();
    struct Case {
        int slider;
        Element* label;
        int capacity;
        const wchar_t* text;
        const wchar_t* tooltip;
    } cases[] = {
        {32862, handles.historyCapacityLabel, 200, L"记录历史:[ 200 ]个文件",
         L"设置播放器的记录记录文件数目"},
        {32863, handles.relatedCapacityLabel, 50, L"最多搜索:[ 50 ]个文件",
         L"指定播放器最多搜索文件数目"},
        {32864, handles.playlistCapacityLabel, 250, L"最多容纳:[ 250 ]个文件",
         L"设置播放列表最多文件数目"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Find(c.slider)->pos(), c.capacity);
        EXPECT_EQ(c.label->text(), c.text);
        EXPECT_EQ(Find(c.slider)->ToolTip(), c.tooltip);
        EXPECT_EQ(c.label->ToolTip(), c.tooltip);
        EXPECT_EQ(c.label->Description(), Find(c.slider)->Description());
    }
    EXPECT_EQ(
        handles.historyCapacityLabel->Description(),
        L"告诉播放器帮您记录已播放过的动画的数量, 其值在0-400之间\r\n设置过大的值可能会影响性能");
    // The menus follow the lists.
    EXPECT_EQ(handles.recentItem1->text(), L"0.swf");
    EXPECT_EQ(handles.moreButton->subItems().size(), 4u);
}

TEST_F(ListCommandsTest, MovingASliderSetsTheCapacityAndLabelOnly) {
    Fill(lists.history, 50);
    commands.RefreshCapacityControls();
    Find(32862)->SetPos(10);
    commands.CapacityMoved(32862);
    EXPECT_EQ(settings.MaxHistory, 10);
    EXPECT_EQ(handles.historyCapacityLabel->text(), L"记录历史:[ 10 ]个文件");
    EXPECT_EQ(lists.history.GetCount(), 50u);
    // The next played file cuts the history to the new capacity.
    lists.AddToHistory(L"/movies/new.swf");
    EXPECT_EQ(lists.history.GetCount(), 10u);
}

TEST_F(ListCommandsTest, InformationShowsCountAndCapacityNow) {
    Fill(lists.playlist, 2);
    settings.MaxPlayerFile = 120;
    commands.ShowInformation(32879);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].buttons, host::PromptButtons::Ok);
    EXPECT_TRUE(prompts.shown[0].text.Contains(L"当前文件: 2 个\r\n最多添加: 120 个\r\n"));
    commands.ShowInformation(32877);
    EXPECT_TRUE(prompts.shown[1].text.StartsWith(L"历史记录列表:"));
}

TEST_F(ListCommandsTest, ClearingAsksFirstAndAnEmptyListAsksNothing) {
    commands.Clear(ID_CLEAR_PLAYLIST);
    EXPECT_TRUE(prompts.shown.empty());

    Fill(lists.playlist, 3);
    commands.RebuildPlaylistMenu();
    prompts.Answer(false);
    commands.Clear(ID_CLEAR_PLAYLIST);
    EXPECT_EQ(lists.playlist.GetCount(), 3u);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, L"清空后不能恢复 是否继续? ");
    EXPECT_EQ(prompts.shown[0].buttons, host::PromptButtons::YesNo);

    prompts.Answer(true);
    commands.Clear(ID_CLEAR_PLAYLIST);
    EXPECT_TRUE(lists.playlist.IsEmpty());
    EXPECT_EQ(handles.playlistButton->subItems().size(), 3u);
    EXPECT_EQ(Find(60001), nullptr);
}

TEST_F(ListCommandsTest, ClearButtonsShowTheEmptyImageWhileTheirListIsEmpty) {
    for (int id : {ID_CLEAR_HISTORY, ID_CLEAR_RELATED, ID_CLEAR_PLAYLIST}) {
        commands.UpdateClearImage(id);
        EXPECT_EQ(Find(id)->largeImage(), 13) << id;
        EXPECT_EQ(Find(id)->smallImage(), 12) << id;
    }
    lists.related.AddTail(L"/movies/a.swf");
    commands.UpdateClearImage(ID_CLEAR_RELATED);
    EXPECT_EQ(Find(ID_CLEAR_RELATED)->largeImage(), 12);
}

TEST_F(ListCommandsTest, TogglingTheExtendedMenuTwiceRebuildsTwice) {
    RebuildCounter counter;
    ribbon.SetListener(&counter);
    Fill(lists.history, 4);
    EXPECT_FALSE(commands.ExtendedMenuChecked(ID_HISTORY_EXTMENU));
    commands.ToggleExtendedMenu(ID_HISTORY_EXTMENU);
    EXPECT_TRUE(commands.ExtendedMenuChecked(ID_HISTORY_EXTMENU));
    EXPECT_FALSE(handles.moreButton->subItems()[3]->subItems().empty());
    commands.ToggleExtendedMenu(ID_HISTORY_EXTMENU);
    EXPECT_FALSE(settings.hasMenu[kHistoryList]);
    EXPECT_EQ(counter.rebuilds[ID_MORE_BUTTON], 2);
    // The toggle item in the menu does the same.
    commands.ToggleExtendedMenu(ID_PLAYLIST_EXTMENU_ITEM);
    EXPECT_FALSE(settings.hasMenu[kPlaylistList]);
    EXPECT_EQ(counter.rebuilds[ID_PLAYLIST_BUTTON], 1);
    ribbon.SetListener(nullptr);
}

TEST_F(ListCommandsTest, LargeIconsSwitchTheImageSize) {
    lists.related.AddTail(L"/movies/a.swf");
    commands.RebuildRelatedMenu();
    EXPECT_EQ(handles.openButton->subItems()[3]->largeImage(), 0);  // on by default
    commands.ToggleLargeIcons(ID_RELATED_LARGE_ICONS);
    EXPECT_FALSE(commands.LargeIconsChecked(ID_RELATED_LARGE_ICONS));
    EXPECT_EQ(handles.openButton->subItems()[3]->largeImage(), -1);
    EXPECT_EQ(handles.openButton->subItems()[3]->smallImage(), 0);
}

TEST_F(ListCommandsTest, PlayModeMarksOnlyTheChosenItem) {
    auto marked = [&] {
        std::vector<int> ids;
        for (int id = ID_PLAYMODE_FIRST; id <= ID_PLAYMODE_LAST; ++id) {
            if (commands.PlayModeChecked(id)) {
                ids.push_back(id);
            }
        }
        return ids;
    };
    EXPECT_EQ(marked(), std::vector<int>{ID_PLAYMODE_ONCE});
    commands.SetPlayMode(ID_PLAYMODE_LOOP_LIST);
    EXPECT_EQ(settings.PlayMode, 3);
    EXPECT_EQ(marked(), std::vector<int>{ID_PLAYMODE_LOOP_LIST});
    commands.SetPlayMode(ID_PLAYMODE_AUTO);
    EXPECT_EQ(marked(), std::vector<int>{ID_PLAYMODE_AUTO});
}

TEST_F(ListCommandsTest, AddAllShowsTheRaisedPlaylistCapacity) {
    lists.SetMenus(&commands);
    for (int i = 0; i < 10; ++i) {
        lists.related.AddTail(wxString::Format(L"/movies/%d.swf", i));
    }
    settings.MaxPlayerFile = 5;
    prompts.Answer(true);
    lists.AddAllRelatedToPlaylist(prompts);
    EXPECT_EQ(Find(ID_PLAYLIST_CAPACITY)->pos(), 10);
    EXPECT_EQ(handles.playlistCapacityLabel->text(), L"最多容纳:[ 10 ]个文件");
    EXPECT_EQ(handles.playlistButton->subItems().size(), 13u);
    lists.SetMenus(nullptr);
}

}  // namespace
