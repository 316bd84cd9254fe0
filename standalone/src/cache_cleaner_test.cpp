#include "cache_cleaner.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cache_folder.h"
#include "tovi/testing/files.h"

namespace {

namespace fs = std::filesystem;
using tovi::testing::WriteFileBytes;

class CacheCleanerTest : public ::testing::Test {
  protected:
    bool Clear(const std::string& folder) {
        return standalone::ClearCacheFolder(folder, "/opt/games/Card.exe",
                                            [this](const std::string& f) { failed_.push_back(f); });
    }
    tovi::testing::TempDir dir_;
    std::vector<std::string> failed_;
};

TEST_F(CacheCleanerTest, DeletesFilesAndEmptyFoldersAndReportsWhatStays) {
    const fs::path cache = dir_ / "ToviPlayer";
    fs::create_directories(cache / "empty");
    fs::create_directories(cache / "full" / "deeper");
    WriteFileBytes(cache / "full" / "deeper" / "x.swf", {1});
    fs::create_directories(cache / "0123456789abcdef");
    WriteFileBytes(cache / "0123456789abcdef" / "Card.swf", {1});
    WriteFileBytes(cache / "Card.swf", {1});
    WriteFileBytes(cache / "Other.swf", {2});
    WriteFileBytes(dir_ / "target", {3});
    fs::create_symlink(dir_ / "target", cache / "link.swf");

    fs::create_directory_symlink(dir_.path(), cache / "0123456789abcdef" / "linked folder");

    // A player's folder is emptied; a folder with a folder holding a file stays.
    EXPECT_FALSE(Clear(cache.string()));
    EXPECT_TRUE(failed_.empty());  // ... but it is no file that failed
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(cache)) {
        left.push_back(e.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"full"});
    EXPECT_TRUE(fs::exists(dir_ / "target"));  // a link goes, never what it points to
    EXPECT_TRUE(fs::exists(dir_ / "ToviPlayer" / "full" / "deeper" / "x.swf"));
}

TEST_F(CacheCleanerTest, EmptyAndMissingFoldersAreCleared) {
    fs::create_directories(dir_ / "ToviPlayer");
    EXPECT_TRUE(Clear((dir_ / "ToviPlayer").string()));
    EXPECT_TRUE(Clear((dir_ / "missing").string()));
}

TEST_F(CacheCleanerTest, InTheSharedTemporaryFolderOnlyTheOwnCacheFileGoes) {
    const fs::path temp = standalone::TempFolder();
    const fs::path own = standalone::PlayerCachePath(temp.string(), "/opt/games/Card.exe");
    fs::create_directories(own.parent_path());
    WriteFileBytes(own, {1});
    WriteFileBytes(temp / "someone-elses.txt", {2});
    EXPECT_TRUE(Clear(standalone::TempFolder()));
    EXPECT_FALSE(fs::exists(own.parent_path()));
    EXPECT_TRUE(fs::exists(temp / "someone-elses.txt"));
}

}  // namespace
