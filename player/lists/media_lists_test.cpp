#include "lists/media_lists.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "testing/scripted_prompts.h"
#include "tovi/testing/files.h"

namespace {

namespace fs = std::filesystem;

struct RecordingMenus : ListMenus {
    int history = 0, related = 0, playlist = 0;
    int capacity = -1;
    wxString label;
    void RebuildHistoryMenu() override { ++history; }
    void RebuildRelatedMenu() override { ++related; }
    void RebuildPlaylistMenu() override { ++playlist; }
    void ShowPlaylistCapacity(int c, const wxString& l) override {
        capacity = c;
        label = l;
    }
};

std::vector<wxString> Paths(std::initializer_list<const char*> names) {
    std::vector<wxString> v;
    for (const char* n : names) {
        v.emplace_back(wxString::FromUTF8(n));
    }
    return v;
}

class MediaListsTest : public ::testing::Test {
  protected:
    MediaListsTest() : lists(settings) { lists.SetMenus(&menus); }

    void Fill(MediaList& list, int count, const char* prefix) {
        for (int i = 0; i < count; ++i) {
            list.AddTail(wxString::Format("/m/%s%03d.swf", prefix, i));
        }
    }

    PlayerSettings settings;
    RecordingMenus menus;
    MediaLists lists;
};

TEST_F(MediaListsTest, HistoryTakesNewestFirstOnceAndTrimsTheOldest) {
    settings.MaxHistory = 3;
    for (const char* p : {"/m/a.swf", "/m/b.swf", "/m/a.swf", "/m/c.swf", "/m/d.swf"}) {
        lists.AddToHistory(p);
    }
    EXPECT_EQ(lists.history.Entries(), Paths({"/m/d.swf", "/m/c.swf", "/m/a.swf"}));
    EXPECT_EQ(menus.history, 5);
}

TEST_F(MediaListsTest, HistoryOfCapacityZeroStaysEmpty) {
    settings.MaxHistory = 0;
    lists.AddToHistory("/m/a.swf");
    EXPECT_TRUE(lists.history.IsEmpty());
}

TEST_F(MediaListsTest, PlaylistAddsAtTheChosenEndAndDropsTheOtherEnd) {
    struct Case {
        bool addHead;
        std::vector<wxString> before;
        const char* add;
        std::vector<wxString> after;
    } cases[] = {
        // A path already there moves; the count stays.
        {true, Paths({"/m/a.swf", "/m/b.swf", "/m/c.swf"}), "/m/c.swf",
         Paths({"/m/c.swf", "/m/a.swf", "/m/b.swf"})},
        {false, Paths({"/m/a.swf", "/m/b.swf", "/m/c.swf"}), "/m/a.swf",
         Paths({"/m/b.swf", "/m/c.swf", "/m/a.swf"})},
        // Full (capacity 3): adding at the head drops the tail, at the tail drops the head.
        {true, Paths({"/m/a.swf", "/m/b.swf", "/m/c.swf"}), "/m/d.swf",
         Paths({"/m/d.swf", "/m/a.swf", "/m/b.swf"})},
        {false, Paths({"/m/a.swf", "/m/b.swf", "/m/c.swf"}), "/m/d.swf",
         Paths({"/m/b.swf", "/m/c.swf", "/m/d.swf"})},
        // Paths of 3 characters or fewer are refused.
        {true, Paths({"/m/a.swf"}), "a.b", Paths({"/m/a.swf"})},
        {true, {}, "abcd", Paths({"abcd"})},
    };
    settings.MaxPlayerFile = 3;
    for (const Case& c : cases) {
        settings.isAddHead = c.addHead;
        lists.playlist.Clear();
        for (const wxString& p : c.before) {
            lists.playlist.AddTail(p);
        }
        lists.AddToPlaylist(c.add);
        EXPECT_EQ(lists.playlist.Entries(), c.after) << c.add << " head " << c.addHead;
    }
}

class RelatedScanTest : public MediaListsTest {
  protected:
    void Touch(const char* name) { tovi::testing::WriteFileText(dir / name, "x"); }
    wxString Folder() const { return wxString::FromUTF8(dir.path().string() + "/"); }
    std::vector<wxString> Names() const {
        std::vector<wxString> names;
        for (const wxString& p : lists.related.Entries()) {
            EXPECT_TRUE(p.StartsWith(Folder()));
            names.push_back(p.Mid(Folder().length()));
        }
        return names;
    }
    tovi::testing::TempDir dir;
};

TEST_F(RelatedScanTest, SwfBeforeFlvInNameOrderWithoutRegardToCase) {
    for (const char* n : {"b.flv", "c.SWF", "a.swf", "B.swf", "a.FLV", "notes.txt", "x.swfx"}) {
        Touch(n);
    }
    fs::create_directory(dir / "folder.swf");
    lists.CollectRelated(Folder());
    EXPECT_EQ(Names(), Paths({"a.swf", "B.swf", "c.SWF", "a.FLV", "b.flv"}));
    EXPECT_EQ(menus.related, 1);
}

TEST_F(RelatedScanTest, StopsAtMaxBoundFile) {
    for (const char* n : {"1.swf", "2.swf", "1.flv", "2.flv", "3.flv", "4.flv", "5.flv"}) {
        Touch(n);
    }
    settings.MaxBoundFile = 3;
    lists.CollectRelated(Folder());
    EXPECT_EQ(Names(), Paths({"1.swf", "2.swf", "1.flv"}));

    settings.MaxBoundFile = 0;
    lists.CollectRelated(Folder());
    EXPECT_TRUE(lists.related.IsEmpty());
}

TEST_F(RelatedScanTest, TheSameFolderKeepsTheListAsItWas) {
    Touch("a.swf");
    lists.ScanRelated(Folder(), "");
    Touch("b.swf");
    lists.ScanRelated(Folder(), Folder());
    EXPECT_EQ(Names(), Paths({"a.swf"}));
    lists.ScanRelated(Folder(), "/elsewhere/");
    EXPECT_EQ(Names(), Paths({"a.swf", "b.swf"}));
}

TEST_F(RelatedScanTest, AMissingFolderGivesAnEmptyList) {
    lists.related.AddTail("/m/old.swf");
    lists.CollectRelated(Folder() + "gone/");
    EXPECT_TRUE(lists.related.IsEmpty());
}

TEST_F(MediaListsTest, AddAllKeepsTheFolderOrderAtEitherEnd) {
    for (bool head : {true, false}) {
        settings.isAddHead = head;
        lists.related.Clear();
        lists.playlist.Clear();
        lists.related.AddTail("/m/a.swf");
        lists.related.AddTail("/m/b.swf");
        lists.playlist.AddTail("/m/x.swf");
        ScriptedPrompts prompts;
        lists.AddAllRelatedToPlaylist(prompts);
        EXPECT_EQ(lists.playlist.Entries(), head ? Paths({"/m/a.swf", "/m/b.swf", "/m/x.swf"})
                                                 : Paths({"/m/x.swf", "/m/a.swf", "/m/b.swf"}));
        EXPECT_EQ(prompts.Texts(), std::vector<wxString>{wxString::FromUTF8(
                                       "已成功将当前文件夹下的2个文件添加到播放列表, "
                                       "现在播放列表中共有3个文件")});
    }
}

TEST_F(MediaListsTest, AddAllCountsTheEntriesItRefreshed) {
    lists.related.AddTail("/m/a.swf");
    lists.related.AddTail("/m/b.swf");
    lists.playlist.AddTail("/m/b.swf");
    ScriptedPrompts prompts;
    lists.AddAllRelatedToPlaylist(prompts);
    EXPECT_EQ(lists.playlist.Entries(), Paths({"/m/a.swf", "/m/b.swf"}));
    EXPECT_EQ(prompts.Texts(), std::vector<wxString>{wxString::FromUTF8(
                                   "已成功将当前文件夹下的2个文件添加到播放列表, "
                                   "共有1个文件重复文件已更新 现在播放列表中共有2个文件")});
    EXPECT_EQ(menus.capacity, 250);
    EXPECT_EQ(menus.label, wxString::FromUTF8("最多容纳:[ 250 ]个文件"));
}

const char kRaiseQuestion[] =
    "你没设置了播放列表最多可添加250个文件, 现在还有10个文件还须要添加。\r\n"
    "您是否要更改设置继续添加文件?";
const char kOverflowQuestion[] =
    "将要添加的文件数量超过列表容量, 您是否要继续添加 继续添加会覆盖原有的部分文件";
const char kDisabledQuestion[] =
    "您已经禁用了播放列表功能, 在播放列表启用之前您不能收藏文件。\r\n是否现在启用播放列表功能?";

TEST_F(MediaListsTest, AddAllAsksWhenTheCapacityIsInTheWay) {
    struct Case {
        const char* what;
        int capacity;
        int playlistCount;
        std::vector<bool> answers;
        std::vector<const char*> texts;  // questions, then the report
        int finalCount;
        int finalCapacity;
    } cases[] = {
        {"room enough: no question",
         250,
         5,
         {},
         {"已成功将当前文件夹下的10个文件添加到播放列表, 现在播放列表中共有15个文件"},
         15,
         250},
        {"raise the capacity: yes",
         250,
         245,
         {true},
         {kRaiseQuestion,
          "已成功将当前文件夹下的10个文件添加到播放列表, 现在播放列表中共有255个文件"},
         255,
         255},
        {"raise the capacity: no",
         250,
         245,
         {false},
         {kRaiseQuestion, "添加失败, 未做任何改动!"},
         245,
         250},
        // 495 + 10 = 505 is not below 500: only the overflow question.
        {"beyond 500: yes",
         500,
         495,
         {true},
         {kOverflowQuestion,
          "已成功将当前文件夹下的10个文件添加到播放列表, 现在播放列表中共有505个文件"},
         505,
         500},
        {"beyond 500: no",
         500,
         495,
         {false},
         {kOverflowQuestion, "添加失败, 未做任何改动!"},
         495,
         500},
        {"disabled: no", 0, 0, {false}, {kDisabledQuestion}, 0, 0},
        {"disabled: yes",
         0,
         0,
         {true},
         {kDisabledQuestion,
          "已成功将当前文件夹下的10个文件添加到播放列表, 现在播放列表中共有10个文件"},
         10,
         10},
    };
    for (const Case& c : cases) {
        settings.MaxPlayerFile = c.capacity;
        lists.related.Clear();
        lists.playlist.Clear();
        Fill(lists.related, 10, "r");
        Fill(lists.playlist, c.playlistCount, "p");
        ScriptedPrompts prompts;
        for (bool a : c.answers) {
            prompts.Answer(a);
        }
        lists.AddAllRelatedToPlaylist(prompts);
        std::vector<wxString> texts;
        for (const char* t : c.texts) {
            texts.push_back(wxString::FromUTF8(t));
        }
        EXPECT_EQ(prompts.Texts(), texts) << c.what;
        EXPECT_EQ(static_cast<int>(lists.playlist.GetCount()), c.finalCount) << c.what;
        EXPECT_EQ(settings.MaxPlayerFile, c.finalCapacity) << c.what;
    }
}

TEST_F(MediaListsTest, AddAllAsksOnlyOnceAndStopsWhereTheUserSaysNo) {
    // Three new files over capacity 2 with an empty playlist: one question raises the cap to 3.
    settings.MaxPlayerFile = 2;
    Fill(lists.related, 3, "r");
    ScriptedPrompts prompts;
    prompts.Answer(true);
    lists.AddAllRelatedToPlaylist(prompts);
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(lists.playlist.GetCount(), 3u);
    EXPECT_EQ(settings.MaxPlayerFile, 3);
}

TEST(ListItems, IdsNameListPositionsAndActions) {
    struct Case {
        int id;
        ListKind list;
        ItemAction action;
        int position;
    } cases[] = {
        {40001, ListKind::History, ItemAction::Open, 0},
        {40400, ListKind::History, ItemAction::Open, 399},
        {40401, ListKind::History, ItemAction::Remove, 0},
        {40801, ListKind::History, ItemAction::AddToPlaylist, 0},
        {41600, ListKind::History, ItemAction::Play, 399},
        {50100, ListKind::Related, ItemAction::Open, 99},
        {50101, ListKind::Related, ItemAction::Remove, 0},
        {50201, ListKind::Related, ItemAction::AddToPlaylist, 0},
        {50301, ListKind::Related, ItemAction::Play, 0},
        {60500, ListKind::Playlist, ItemAction::Open, 499},
        {60501, ListKind::Playlist, ItemAction::Remove, 0},
        {61001, ListKind::Playlist, ItemAction::Play, 0},
        {61500, ListKind::Playlist, ItemAction::Play, 499},
        {62001, ListKind::PrevNext, ItemAction::Open, 0},
        {62500, ListKind::PrevNext, ItemAction::Open, 499},
    };
    for (const Case& c : cases) {
        auto item = DecodeListItem(c.id);
        ASSERT_TRUE(item) << c.id;
        EXPECT_EQ(item->list, c.list) << c.id;
        EXPECT_EQ(item->action, c.action) << c.id;
        EXPECT_EQ(item->position, c.position) << c.id;
        EXPECT_EQ(ListItemCommand(c.list, c.action, c.position), c.id);
    }
    for (int id : {40000, 41601, 50401, 60000, 61501, 62501}) {
        EXPECT_FALSE(DecodeListItem(id)) << id;
    }
    EXPECT_EQ(ListItemCommand(ListKind::Playlist, ItemAction::AddToPlaylist, 0), 0);
}

TEST(ListItems, DescriptionsCarryThePath) {
    EXPECT_EQ(PathFromDescription(EntryDescription("/m/a.swf")), wxString("/m/a.swf"));
    EXPECT_EQ(PathFromDescription(wxString::FromUTF8("路径: abcd")), wxString("abcd"));
    EXPECT_FALSE(PathFromDescription(wxString::FromUTF8("路径: abc")));
    EXPECT_FALSE(PathFromDescription(wxString::FromUTF8("路径: << 暂无信息 >>")));
    EXPECT_FALSE(PathFromDescription(""));
}

}  // namespace
