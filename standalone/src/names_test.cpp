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

TEST(CacheFilePathTest, JoinsFolderBaseNameAndSwf) {
    EXPECT_EQ(standalone::CacheFilePath("/tmp/ToviPlayer", "/opt/Card.exe"),
              "/tmp/ToviPlayer/Card.swf");
}

}  // namespace
