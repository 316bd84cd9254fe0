#include "names.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char* path;
    const char* fileName;
    const char* baseName;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.path;
}

class PlayerNamesTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(PlayerNamesTest, FileNameAndBaseName) {
    const NameCase& c = GetParam();
    EXPECT_EQ(standalone::FileNamePart(c.path), c.fileName);
    EXPECT_EQ(standalone::BaseName(c.path), c.baseName);
}

INSTANTIATE_TEST_SUITE_P(ProgramPaths, PlayerNamesTest,
                         ::testing::Values(NameCase{"C:\\Games\\Card.exe", "Card.exe", "Card"},
                                           NameCase{"/home/u/Card.exe", "Card.exe", "Card"},
                                           NameCase{"/home/u/card", "card", "card"},
                                           NameCase{"/home/v1.2/a.b.exe", "a.b.exe", "a.b"},
                                           NameCase{"/x/  My Card .exe ", "  My Card .exe ",
                                                    "My Card "},
                                           NameCase{"/x\\y/z\\猫.exe", "猫.exe", "猫"},
                                           NameCase{"plain", "plain", "plain"}));

// Each player file has a folder of its own, named from its path and identity; the movie keeps
// the player's base name.
TEST(CacheFilePathTest, OneFolderPerPlayerFileHoldingItsBaseNameAndSwf) {
    const std::string card = standalone::CacheFilePath("/c/ToviPlayer", "/opt/Card.exe", "1:2");
    EXPECT_EQ(card.rfind("/c/ToviPlayer/", 0), 0u) << card;
    EXPECT_TRUE(card.ends_with("/Card.swf")) << card;
    EXPECT_EQ(card.size(), std::string("/c/ToviPlayer/0123456789abcdef/Card.swf").size()) << card;
    EXPECT_EQ(standalone::CacheFilePath("/c/ToviPlayer", "/opt/Card.exe", "1:2"), card);
    for (const auto& [path, identity] :
         {std::pair{"/home/Card.exe", "1:2"}, std::pair{"/opt/Card.exe", "1:3"}}) {
        const std::string other = standalone::CacheFilePath("/c/ToviPlayer", path, identity);
        EXPECT_NE(other, card) << path << " " << identity;
        EXPECT_TRUE(other.ends_with("/Card.swf")) << other;
    }
}

}  // namespace
