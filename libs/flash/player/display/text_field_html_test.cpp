// Formatted runs of text fields and their HTML, both ways.
#include "display/text_field_html.h"

#include <gtest/gtest.h>

namespace flash {
namespace {

TextFormatValues Base() {
    TextFormatValues f = DefaultFieldFormat();
    f.font = u"Arial";
    return f;
}

const avm1::String kFont =
    u"<FONT FACE=\"Arial\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">";

TEST(FormattedTextTest, FormatsSplitMergeAndReadAcrossRuns) {
    FormattedText text;
    text.Assign(u"abcdef", Base());
    TextFormatValues bold;
    bold.bold = true;
    text.ApplyFormat(2, 4, bold);
    ASSERT_EQ(text.Runs().size(), 3u);

    // A range across runs shares what they agree on; a caret reads the run it is in.
    EXPECT_FALSE(text.FormatOf(1, 3)->bold.has_value());
    EXPECT_EQ(text.FormatOf(1, 3)->font, u"Arial");
    EXPECT_EQ(text.FormatOf(2, 2)->bold, true);
    EXPECT_EQ(text.FormatOf(4, 4)->bold, false);

    // Undoing the change merges the runs again; replacing keeps the text whole.
    bold.bold = false;
    text.ApplyFormat(0, 100, bold);
    EXPECT_EQ(text.Runs().size(), 1u);
    text.Replace(1, 5, u"XY", Base());
    EXPECT_EQ(text.Text(), u"aXYf");
    text.Replace(10, 20, u"!", Base());  // out of range: appended
    EXPECT_EQ(text.Text(), u"aXYf!");
    EXPECT_FALSE(text.FormatOf(9, 12).has_value());
}

TEST(FieldHtmlTest, ParsesFlashsTagsIntoTextAndRuns) {
    struct Case {
        const char16_t* html;
        const char16_t* text;
    };
    const Case cases[] = {
        {u"<p>a</p><p>b</p>", u"a\rb\r"},
        {u" <p>a</p>  <p>b</p> ", u"a\rb\r"},  // white space between tags is dropped
        {u"a<br>b", u"a\rb"},
        {u"\ntest\n", u"\rtest\r"},
        {u"x<li>y</li>", u"x\ry\r"},  // a block starts a paragraph
        {u"&lt;&amp;&gt;&quot;&apos;&#65;&bogus;", u"<&>\"'A&bogus;"},
        {u"<unknown>a</unknown><b>b", u"ab"},
        {u"a<b", u"a"},  // an unfinished tag ends the text
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseFieldHtml(c.html, Base()).Text(), c.text) << avm1::ToUtf8(c.html);
    }
}

TEST(FieldHtmlTest, WritesParagraphsWithNestedFonts) {
    struct Case {
        const char16_t* html;
        avm1::String written;
    };
    const Case cases[] = {
        {u"", u""},
        {u"<p align='right'>a</p>", u"<P ALIGN=\"RIGHT\">" + kFont + u"a</FONT></P>"},
        {u"a<font color='#ff0000'>b</font>c",
         u"<P ALIGN=\"LEFT\">" + kFont + u"a<FONT COLOR=\"#FF0000\">b</FONT>c</FONT></P>"},
        {u"<b><a href='u' target='t'>x</a></b>",
         u"<P ALIGN=\"LEFT\">" + kFont + u"<A HREF=\"u\" TARGET=\"t\"><B>x</B></A></FONT></P>"},
        {u"<textformat leftmargin='3' tabstops='1,2'><li>&lt;</li></textformat>",
         u"<TEXTFORMAT LEFTMARGIN=\"3\" TABSTOPS=\"1,2\"><LI>" + kFont +
             u"&lt;</FONT></LI></TEXTFORMAT>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WriteFieldHtml(ParseFieldHtml(c.html, Base())), c.written)
            << avm1::ToUtf8(c.html);
    }
}

TEST(FieldHtmlTest, FontColorsKeepTheLow24BitsOfTheirHexDigits) {
    struct Case {
        const char16_t* color;
        std::uint32_t read;
    };
    const Case cases[] = {
        {u"#ff0000", 0xFF0000}, {u"#23456789a", 0x56789A}, {u"# 234567", 0x234567},
        {u"#abfg", 0xABF},      {u"#g12", 0x000000},       {u"123456", 0x000000},
    };
    for (const Case& c : cases) {
        const avm1::String html = avm1::String(u"<font color='") + c.color + u"'>x</font>";
        EXPECT_EQ(ParseFieldHtml(html, Base()).FormatOf(0, 1)->color, c.read)
            << avm1::ToUtf8(c.color);
    }
}

TEST(FieldHtmlTest, DeepNestingAndLongInputStayBounded) {
    avm1::String html;
    for (int i = 0; i < 5000; ++i) {
        html += u"<font size='+1'><b>";
    }
    html += u"x";
    const FormattedText text = ParseFieldHtml(html, Base());
    EXPECT_EQ(text.Text(), u"x");
    EXPECT_FALSE(WriteFieldHtml(text).empty());
}

}  // namespace
}  // namespace flash
