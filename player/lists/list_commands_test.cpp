#include "lists/list_commands.h"

#include <gtest/gtest.h>

#include <map>

#include "testing/scripted_prompts.h"

namespace {

struct FakeHost : ListItemCommands::Host {
    std::optional<wxString> DescriptionOf(int id) override {
        auto it = descriptions.find(id);
        return it == descriptions.end() ? std::nullopt : std::optional<wxString>(it->second);
    }
    wxString DocumentPath() override { return current; }
    bool OpenDocument(const wxString& path) override {
        opened.push_back(path);
        if (path.Contains("gone")) {
            return false;
        }
        current = path;
        return true;
    }
    std::map<int, wxString> descriptions;
    wxString current = "/m/now.swf";
    std::vector<wxString> opened;
};

struct CountingMenus : ListMenus {
    int history = 0, related = 0, playlist = 0;
    void RebuildHistoryMenu() override { ++history; }
    void RebuildRelatedMenu() override { ++related; }
    void RebuildPlaylistMenu() override { ++playlist; }
    void ShowPlaylistCapacity(int, const wxString&) override {}
};

class ListCommandsTest : public ::testing::Test {
  protected:
    ListCommandsTest() : lists(settings) {
        lists.SetMenus(&menus);
        for (const char* p : {"/m/a.swf", "/m/gone.swf", "/m/a.swf"}) {
            lists.history.AddTail(p);
            lists.related.AddTail(p);
            lists.playlist.AddTail(p);
        }
        // Entry items of each list name their entries by the open id's description.
        for (int base : {40001, 50001, 60001}) {
            host.descriptions[base] = EntryDescription("/m/a.swf");
            host.descriptions[base + 1] = EntryDescription("/m/gone.swf");
        }
        host.descriptions[62001] = EntryDescription("/m/gone.swf");
        host.descriptions[62002] = EntryDescription("/m/now.swf");
        host.descriptions[62003] = wxString::FromUTF8("路径: << 暂无信息 >>");
    }

    PlayerSettings settings;
    CountingMenus menus;
    MediaLists lists;
    FakeHost host;
};

TEST_F(ListCommandsTest, OpenAndPlayItemsOpenTheirEntry) {
    ScriptedPrompts prompts;
    ListItemCommands commands(lists, host, prompts);
    for (int id : {40001, 41201, 50001, 50301, 60001, 61001}) {
        host.current = "/m/now.swf";
        commands.Run(id);
    }
    EXPECT_EQ(host.opened, std::vector<wxString>(6, "/m/a.swf"));
}

TEST_F(ListCommandsTest, TheOpenFileAndItemsWithoutAFileAreLeftAlone) {
    ScriptedPrompts prompts;
    ListItemCommands commands(lists, host, prompts);
    for (int id : {62002, 62003, 62004, 40003}) {
        commands.Run(id);
    }
    EXPECT_TRUE(host.opened.empty());
}

TEST_F(ListCommandsTest, AFileThatWillNotOpenLeavesItsListAsTheListSays) {
    {
        ScriptedPrompts prompts;
        ListItemCommands commands(lists, host, prompts);
        commands.Run(40002);
        commands.Run(50002);
        EXPECT_TRUE(prompts.shown.empty());
    }
    EXPECT_EQ(lists.history.Entries(), (std::vector<wxString>{"/m/a.swf", "/m/a.swf"}));
    EXPECT_EQ(lists.related.Entries(), (std::vector<wxString>{"/m/a.swf", "/m/a.swf"}));
    EXPECT_EQ(menus.history, 1);
    EXPECT_EQ(menus.related, 1);

    const wxString question =
        wxString::FromUTF8("播放器无法找到以下文件:\r\n/m/gone.swf\r\n是否要将其从播放列表中删除?");
    for (bool yes : {false, true}) {
        ScriptedPrompts prompts;
        prompts.Answer(yes);
        ListItemCommands(lists, host, prompts).Run(60002);
        EXPECT_EQ(prompts.Texts(), std::vector<wxString>{question});
        EXPECT_EQ(lists.playlist.GetCount(), yes ? 2u : 3u);
    }

    ScriptedPrompts prompts;
    ListItemCommands(lists, host, prompts).Run(62001);
    EXPECT_EQ(prompts.Texts(), std::vector<wxString>{wxString::FromUTF8("打开出错")});
}

TEST_F(ListCommandsTest, RemoveTakesEveryEqualEntryAndAddPutsItInThePlaylist) {
    ScriptedPrompts prompts;
    ListItemCommands commands(lists, host, prompts);
    commands.Run(40401);  // history, position 0
    EXPECT_EQ(lists.history.Entries(), std::vector<wxString>{"/m/gone.swf"});
    commands.Run(60501);
    EXPECT_EQ(lists.playlist.Entries(), std::vector<wxString>{"/m/gone.swf"});
    commands.Run(50201);  // related, position 0, to the playlist's head
    EXPECT_EQ(lists.playlist.Entries(), (std::vector<wxString>{"/m/a.swf", "/m/gone.swf"}));
    EXPECT_TRUE(host.opened.empty());
}

}  // namespace
