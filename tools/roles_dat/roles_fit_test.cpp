#include "roles_fit.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "roles_check.h"
#include "tovi/testing/files.h"

namespace {

TEST(RolesFit, LinesBecomeUtf16WithCrLf) {
    roles::FitResult r = roles::FitRolesText("a\n版\n");
    EXPECT_EQ(r.bytes, tovi::testing::HexBytes("FF FE 61 00 0D 00 0A 00 48 72"));
    EXPECT_FALSE(r.error.empty());  // far too short for the checks
}

TEST(RolesFit, BlanksMoveTheMarkedCharacter) {
    roles::FitResult r = roles::FitRolesText("ab{~}\n{@14}c");
    // a b, two blanks, CR LF, then c at offset 14.
    EXPECT_EQ(r.bytes, tovi::testing::HexBytes("FF FE 61 00 62 00 20 00 20 00 0D 00 0A 00 63 00"));
}

TEST(RolesFit, TemplatesThatCannotFitAreRefused) {
    const char* cases[] = {
        "abcdef{@4}x",  // text already past the mark
        "abc{@20}x",    // no place for blanks
        "{@x}",         // bad mark
        "\xE7\x89",     // cut UTF-8
    };
    for (const char* text : cases) {
        EXPECT_FALSE(roles::FitRolesText(text).error.empty()) << text;
    }
}

TEST(RolesFit, TheShippedTemplatePassesTheChecks) {
    const auto file = tovi::testing::SourceDir() / "tools/roles_dat/roles_terms.txt";
    const tovi::testing::Bytes bytes = tovi::testing::ReadFileBytes(file);
    ASSERT_FALSE(bytes.empty());
    const std::string text(bytes.begin(), bytes.end());
    roles::FitResult r = roles::FitRolesText(text);
    EXPECT_EQ(r.error, "");
    EXPECT_TRUE(terms::RolesLengthHolds(r.bytes.size()));
}

}  // namespace
