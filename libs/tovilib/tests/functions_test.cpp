#include <gtest/gtest.h>

#include "Tovilib.h"

namespace {

TEST(MakeDwordTest, AssemblesBytesBigEndian) {
    platform::DWORD word = 0;
    EXPECT_EQ(b_MakeDword(&word, 0x78, 0x00, 0x05, 0x5F), 1);
    EXPECT_EQ(word, 2013267295u);
    EXPECT_EQ(b_MakeDword(&word, 0xFF, 0xFE, 0x01, 0x80), 1);
    EXPECT_EQ(word, 0xFFFE0180u);
}

TEST(TranslateErrorMessageTest, GivesTheSystemTextIntoTheResult) {
    wxString text = "old";
    EXPECT_EQ(b_TranslateErrorMessage(&text, 2), &text);
    EXPECT_EQ(text, wxString(L"系统找不到指定的文件。\r\n"));
    EXPECT_EQ(b_TranslateErrorMessage(&text, 0x7FFF0001), &text);
    EXPECT_TRUE(text.empty());
}

}  // namespace
