#include "platform/text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(TextTest, Utf8RoundTripsChineseAndAstralCharacters) {
    const std::wstring wide = L"ToviFlash播放器 \U0001F600 a\\b";
    const std::string utf8 = Utf8FromWide(wide);
    EXPECT_EQ(utf8, "ToviFlash\xE6\x92\xAD\xE6\x94\xBE\xE5\x99\xA8 \xF0\x9F\x98\x80 a\\b");
    EXPECT_EQ(WideFromUtf8(utf8), wide);
}

TEST(TextTest, InvalidUtf8BecomesReplacementCharacters) {
    struct Case {
        std::string in;
        std::wstring out;
    } cases[] = {
        {"a\xFF"
         "b",
         L"a\uFFFDb"},
        {"\xE6\x92", L"\uFFFD"},      // cut short at the end
        {"\xC0\xAF", L"\uFFFD"},      // overlong "/"
        {"\xED\xA0\x80", L"\uFFFD"},  // a surrogate
        {"\xE6\x92"
         "x",
         L"\uFFFDx"},  // cut short before a plain byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WideFromUtf8(c.in), c.out) << c.in;
    }
}

TEST(TextTest, Utf16UsesSurrogatePairsAndRepairsLoneOnes) {
    const std::u16string pair = Utf16FromWide(L"\U0001F600");
    ASSERT_EQ(pair.size(), 2u);
    EXPECT_EQ(pair[0], 0xD83D);
    EXPECT_EQ(pair[1], 0xDE00);
    EXPECT_EQ(WideFromUtf16(pair), L"\U0001F600");
    EXPECT_EQ(WideFromUtf16(std::u16string{u'a', static_cast<char16_t>(0xD800), u'b'}),
              L"a\uFFFDb");
}

TEST(TextTest, NativePathTurnsBackslashesIntoSlashes) {
    EXPECT_EQ(NativePath(L"/home/u\\Kestrum\\ToviFlash\\Seting\\history.ini"),
              "/home/u/Kestrum/ToviFlash/Seting/history.ini");
    EXPECT_EQ(NativePath(L"Tools\\start.swf"), "Tools/start.swf");
}

TEST(TextTest, NamesCompareWithoutRegardToCase) {
    EXPECT_TRUE(EqualsNoCase(L"Software\\Kestrum", L"SOFTWARE\\kestrum"));
    EXPECT_TRUE(EqualsNoCase(L"Tovi科技", L"TOVI科技"));
    EXPECT_FALSE(EqualsNoCase(L"Seting", L"Setting"));
}

}  // namespace
}  // namespace platform
