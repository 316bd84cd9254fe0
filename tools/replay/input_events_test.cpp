#include "input_events.h"

#include <gtest/gtest.h>

#include "tovi/testing/files.h"

namespace replay {
namespace {

using Type = InputEvent::Type;

TEST(InputEventsTest, ReadsEveryKind) {
    const auto events = ParseInputEvents(R"([
        {"type": "MouseMove", "pos": [10.5, -2e1]},
        {"type": "MouseDown", "pos": [1, 2], "btn": "Right"},
        {"type": "MouseUp", "pos": [3, 4]},
        {"type": "KeyDown", "key": "ArrowLeft"},
        {"type": "KeyUp", "key": {"Char": "a"}},
        {"type": "TextInput", "codepoint": "\ud835\udf19"},
        {"type": "TextControl", "code": "Paste"},
        {"type": "Wait"},
        {"type": "MouseWheel", "lines": -1},
        {"type": "SetClipboardText", "text": "\u4e2d\u6587"},
        {"type": "FocusLost"},
        {"type": "Shake"}
    ])");
    ASSERT_EQ(events.size(), 12u);
    EXPECT_EQ(events[0].type, Type::MouseMove);
    EXPECT_EQ(events[0].x, 10.5);
    EXPECT_EQ(events[0].y, -20);
    EXPECT_EQ(events[1].button, "Right");
    EXPECT_EQ(events[2].button, "Left");
    EXPECT_EQ(events[3].keyCode, 37);
    EXPECT_EQ(events[4].keyCode, 'A');
    EXPECT_EQ(events[4].character, U'a');
    EXPECT_EQ(events[5].character, U'\U0001D719');
    EXPECT_EQ(events[5].text, "\xF0\x9D\x9C\x99");
    EXPECT_EQ(events[6].control, "Paste");
    EXPECT_EQ(events[7].type, Type::Wait);
    EXPECT_EQ(events[8].type, Type::MouseWheel);
    EXPECT_EQ(events[8].lines, -1);
    EXPECT_EQ(events[9].type, Type::SetClipboardText);
    EXPECT_EQ(WideText(events[9].text), L"\u4e2d\u6587");
    EXPECT_EQ(events[10].type, Type::FocusLost);
    EXPECT_EQ(events[11].type, Type::Other);
    EXPECT_EQ(events[11].name, "Shake");
}

TEST(InputEventsTest, KeysByName) {
    struct Case {
        const char* name;
        bool isCharacter;
        int code;
        char32_t character;
    } cases[] = {
        {"Enter", false, 13, 13},   {"LeftShift", false, 16, 0}, {"F12", false, 123, 0},
        {"Delete", false, 46, 127}, {"Bogus", false, 0, 0},      {"z", true, 'Z', U'z'},
        {"7", true, '7', U'7'},     {"%", true, '5', U'%'},      {"\"", true, 222, U'"'},
        {"ł", true, 0, U'ł'},
    };
    for (const Case& c : cases) {
        InputEvent e = KeyOf(c.name, c.isCharacter);
        EXPECT_EQ(e.keyCode, c.code) << c.name;
        EXPECT_EQ(e.character, c.character) << c.name;
    }
}

TEST(InputEventsTest, RejectsWhatItCannotReplay) {
    const char* const bad[] = {
        "",
        "{}",
        "[1]",
        "[{\"type\": \"MouseMove\"}]",
        "[{\"type\": \"MouseMove\", \"pos\": [1]}]",
        "[{\"type\": \"MouseMove\", \"pos\": [1, \"2\"]}]",
        "[{\"type\": \"MouseDown\", \"pos\": [1, 2], \"btn\": \"Fourth\"}]",
        "[{\"type\": \"KeyDown\"}]",
        "[{\"type\": \"KeyDown\", \"key\": \"NoSuchKey\"}]",
        "[{\"type\": \"KeyDown\", \"key\": {\"Char\": \"\"}}]",
        "[{\"type\": \"TextInput\"}]",
        "[{\"type\": \"SetClipboardText\"}]",
        "[{\"type\": \"MouseWheel\", \"lines\": \"1\"}]",
        "[{\"pos\": [1, 2]}]",
        "[{\"type\": \"\"}]",
        "[{\"type\": \"MouseMove\", \"pos\": [1e999, 2]}]",
        "[{\"type\": \"MouseMove\", \"pos\": [0x10, 2]}]",
        "[{\"type\": \"MouseMove\", \"pos\": [nan, 2]}]",
        "[{\"type\": \"Wait\"}",
        "[{\"type\": \"Wait\"}] x",
        "[{\"type\": \"Wait}]",
        "[{\"type\": \"\\u12\"}]",
    };
    for (const char* json : bad) {
        EXPECT_THROW(ParseInputEvents(json), InputError) << json;
    }
}

TEST(InputEventsTest, Limits) {
    EXPECT_THROW(ParseInputEvents(std::string(200, '[') + std::string(200, ']')), InputError);
    std::string many = "[";
    for (std::size_t i = 0; i <= kMaxInputValues; ++i) {
        many += i == 0 ? "0" : ",0";
    }
    many += "]";
    EXPECT_THROW(ParseInputEvents(many), InputError);
}

TEST(InputEventsTest, BrokenTextBecomesReplacementCharacters) {
    const auto events = ParseInputEvents(
        "[{\"type\": \"TextInput\", \"codepoint\": \"\\ud800x\"},"
        " {\"type\": \"TextInput\", \"codepoint\": \"\xE2\x82\"}]");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].character, U'\uFFFD');
    EXPECT_EQ(events[1].character, U'\uFFFD');
    EXPECT_EQ(WideText("a\xE2\x82"), L"a\uFFFD");
    EXPECT_EQ(WideText("\xFF\xC3\xA9\xE2\x82z"), L"\uFFFD\u00E9\uFFFDz");
}

TEST(InputEventsTest, ReadsFiles) {
    tovi::testing::TempDir dir;
    tovi::testing::WriteFileText(dir / "input.json", "[{\"type\": \"Wait\"}]");
    EXPECT_EQ(ReadInputFile((dir / "input.json").string()).size(), 1u);
    EXPECT_THROW(ReadInputFile((dir / "missing.json").string()), InputError);
    EXPECT_THROW(ReadInputFile(dir.path().string()), InputError);
}

}  // namespace
}  // namespace replay
