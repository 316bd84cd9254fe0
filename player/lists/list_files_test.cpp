#include "lists/list_files.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "Tovilib.h"
#include "platform/file.h"
#include "testing/scripted_prompts.h"
#include "tovi.h"
#include "tovi/testing/files.h"

namespace {

namespace fs = std::filesystem;
using tovi::testing::HexBytes;
using tovi::testing::ReadFileBytes;
using tovi::testing::WriteFileBytes;

// "/m/a.swf" and "/m/b.swf" in UTF-16 little-endian.
const char kA[] = "2F 00 6D 00 2F 00 61 00 2E 00 73 00 77 00 66 00";
const char kB[] = "2F 00 6D 00 2F 00 62 00 2E 00 73 00 77 00 66 00";
const char kCrLf[] = "0D 00 0A 00";

MediaList ListOf(std::initializer_list<const char*> paths) {
    MediaList list;
    for (const char* p : paths) {
        list.AddTail(wxString::FromUTF8(p));
    }
    return list;
}

class ListFilesTest : public ::testing::Test {
  protected:
    wxString File() const { return wxString((dir / "Playlist.ini").wstring()); }
    tovi::testing::TempDir dir;
};

TEST_F(ListFilesTest, WritesTheFirstEntriesUpToTheCapacityByteForByte) {
    const struct {
        int capacity;
        std::string hex;
    } cases[] = {
        {5, std::string("FF FE ") + kA + kCrLf + kB},
        {1, std::string("FF FE ") + kA},
        {0, ""},
    };
    for (const auto& c : cases) {
        ScriptedPrompts prompts;
        SaveListFile(File(), c.capacity, ListOf({"/m/a.swf", "/m/b.swf"}), prompts);
        EXPECT_EQ(ReadFileBytes(dir / "Playlist.ini"), HexBytes(c.hex)) << c.capacity;
        EXPECT_TRUE(prompts.shown.empty());
    }
    // Nothing is left beside the list.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// A save killed half-way leaves "<list>.<pid>.new"; the next load removes it, unless that
// process still runs (it may be saving right now) or the name is not one of ours.
TEST_F(ListFilesTest, LoadRemovesSavesLeftByProcessesThatEnded) {
    const pid_t ended = ::fork();
    if (ended == 0) {
        ::_exit(0);
    }
    ASSERT_GT(ended, 0);
    ::waitpid(ended, nullptr, 0);
    const std::string gone = "Playlist.ini." + std::to_string(ended) + ".new";
    const std::string kept[] = {
        "Playlist.ini." + std::to_string(::getppid()) + ".new",  // still running
        "Playlist.ini." + std::to_string(::getpid()) + ".new",   // this process
        "Playlist.ini.x" + std::to_string(ended) + ".new",
        "history.ini." + std::to_string(ended) + ".new",  // another list's, left to its load
    };
    WriteFileBytes(dir / gone, {1});
    for (const std::string& name : kept) {
        WriteFileBytes(dir / name, {1});
    }
    ScriptedPrompts prompts;
    MediaList list;
    LoadListFile(File(), 250, list, prompts);
    EXPECT_FALSE(fs::exists(dir / gone));
    for (const std::string& name : kept) {
        EXPECT_TRUE(fs::exists(dir / name)) << name;
    }
}

TEST_F(ListFilesTest, ReadsBackWhatWasWritten) {
    MediaList list;
    for (int i = 0; i < 250; ++i) {
        list.AddTail(wxString::Format(wxString::FromUTF8("/动画/%03d.swf"), i));
    }
    ScriptedPrompts prompts;
    SaveListFile(File(), 250, list, prompts);
    MediaList back;
    LoadListFile(File(), 250, back, prompts);
    EXPECT_EQ(back.Entries(), list.Entries());
}

TEST_F(ListFilesTest, LoadSkipsShortLinesCountsThemAndStopsAtTheCapacity) {
    // "abcd", "/m/a.swf", "", "/m/b.swf"
    WriteFileBytes(dir / "Playlist.ini", HexBytes(std::string("FF FE 61 00 62 00 63 00 64 00") +
                                                  kCrLf + kA + kCrLf + kCrLf + kB));
    const struct {
        int capacity;
        std::vector<const char*> entries;
    } cases[] = {{10, {"/m/a.swf", "/m/b.swf"}}, {3, {"/m/a.swf"}}, {1, {}}, {0, {}}};
    for (const auto& c : cases) {
        ScriptedPrompts prompts;
        MediaList list;
        LoadListFile(File(), c.capacity, list, prompts);
        std::vector<wxString> expected(c.entries.begin(), c.entries.end());
        EXPECT_EQ(list.Entries(), expected) << c.capacity;
    }
}

TEST_F(ListFilesTest, AMissingFileOrOneWithoutByteOrderMarkLoadsNothingSilently) {
    ScriptedPrompts prompts;
    MediaList list;
    LoadListFile(File(), 10, list, prompts);
    WriteFileBytes(dir / "Playlist.ini", HexBytes(std::string(kA) + kCrLf + kB));
    LoadListFile(File(), 10, list, prompts);
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_TRUE(prompts.shown.empty());
}

// A line file whose writes fail once `budget` bytes have gone, as on a full disk.
class FullDiskFile : public MyFileW {
  public:
    explicit FullDiskFile(std::size_t budget) : budget_(budget) {}
    void Write(const void* buffer, platform::UINT count) override {
        if (count > budget_) {
            throw platform::FileException(platform::FileException::diskFull, 112, L"Playlist.ini");
        }
        budget_ -= count;
        MyFileW::Write(buffer, count);
    }

  private:
    std::size_t budget_;
};

TEST_F(ListFilesTest, AFailedWriteKeepsTheOldListAndSaysWhy) {
    const auto before = HexBytes(std::string("FF FE ") + kA);
    WriteFileBytes(dir / "Playlist.ini", before);
    ScriptedPrompts prompts;
    SaveListFile(File(), 10, ListOf({"/m/a.swf", "/m/b.swf", "/m/c.swf"}), prompts,
                 [] { return std::make_unique<FullDiskFile>(20); });
    EXPECT_EQ(ReadFileBytes(dir / "Playlist.ini"), before);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text,
              platform::FileException(platform::FileException::diskFull, 112, L"Playlist.ini")
                  .GetErrorMessage());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

// A line file whose reads fail after `budget` bytes.
class BadSectorFile : public MyFileW {
  public:
    explicit BadSectorFile(std::size_t budget) : budget_(budget) {}
    platform::UINT Read(void* buffer, platform::UINT count) override {
        if (count > budget_) {
            throw platform::FileException(platform::FileException::hardIO, 30, L"Playlist.ini");
        }
        budget_ -= count;
        return MyFileW::Read(buffer, count);
    }

  private:
    std::size_t budget_;
};

TEST_F(ListFilesTest, AReadErrorKeepsWhatWasReadAndSaysWhy) {
    WriteFileBytes(dir / "Playlist.ini", HexBytes(std::string("FF FE ") + kA + kCrLf + kB));
    ScriptedPrompts prompts;
    MediaList list;
    LoadListFile(File(), 10, list, prompts, [] { return std::make_unique<BadSectorFile>(24); });
    EXPECT_EQ(list.Entries(), ListOf({"/m/a.swf"}).Entries());
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST(ListFiles, HistoryAndPlaylistLiveInThePerUserFolder) {
    PlayerSettings settings;
    MediaLists lists(settings);
    lists.history.AddTail("/m/h.swf");
    lists.playlist.AddTail("/m/p.swf");
    fs::path seting = fs::path(getenv("XDG_DATA_HOME")) / "Kestrum" / "ToviFlash" / "Seting";
    fs::create_directories(seting);
    ScriptedPrompts prompts;
    SaveLists(lists, settings, prompts);
    EXPECT_TRUE(fs::exists(seting / "history.ini"));
    EXPECT_TRUE(fs::exists(seting / "Playlist.ini"));
    MediaLists back(settings);
    LoadLists(back, settings, prompts);
    EXPECT_EQ(back.history.Entries(), lists.history.Entries());
    EXPECT_EQ(back.playlist.Entries(), lists.playlist.Entries());
}

}  // namespace
