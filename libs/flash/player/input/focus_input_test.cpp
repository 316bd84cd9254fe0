// The keyboard focus: the order Tab moves it in, what may take it, typing into the field
// that has it, and the focus going with the object that held it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/movie_clip.h"
#include "display/text_field.h"
#include "flash/player/image.h"
#include "flash/player/player.h"
#include "flash/swf/movie.h"
#include "input/keyboard_input.h"
#include "input/mouse_input.h"
#include "runtime/runtime.h"
#include "test_movies.h"

namespace flash {
namespace {

using namespace testmovies;

constexpr int kTab = 9;
constexpr int kShift = 16;

struct FieldSpec {
    const char* name;
    double x, y;  // pixels
    bool input = true;
};

class FocusInputTest : public ::testing::Test {
  protected:
    // One 100 x 20 px field per spec, at depths 1, 2, ... of _root.
    void Load(const std::vector<FieldSpec>& fields) {
        swfgen::MovieWriter m(8, kStage, 12);
        std::uint16_t depth = 0;
        for (const FieldSpec& f : fields) {
            ++depth;
            swf::EditText text;
            text.bounds = Rect{0, 2000, 0, 400};
            text.readOnly = !f.input;
            m.DefineEditText(depth, text);
            swfgen::Place place = PlaceNew(depth, depth, f.name);
            place.matrix = Matrix::Translate(f.x * 20, f.y * 20);
            m.PlaceObject2(place);
        }
        m.ShowFrame();
        swfgen::Bytes bytes = m.Build();
        runtime.Load(0, std::make_shared<const swf::Movie>(swf::ParseMovie(bytes)),
                     "file:///focus.swf", true);
        runtime.Advance();
    }

    TextFieldObject& Field(const char* name) {
        for (const auto& [depth, child] : runtime.LevelClip(0)->DisplayList()) {
            if (child->InstanceName() == avm1::FromUtf8(name)) {
                return dynamic_cast<TextFieldObject&>(*child);
            }
        }
        ADD_FAILURE() << "no field " << name;
        return dynamic_cast<TextFieldObject&>(*runtime.LevelClip(0)->DisplayList().begin()->second);
    }

    void SetMember(const char* field, const char16_t* name, const avm1::Value& value) {
        TextFieldObject& f = Field(field);
        runtime.Vm().Set(runtime.Vm().ObjectOf(f), name, value, 8);
    }

    std::string FocusName() {
        DisplayObject* focus = runtime.Keyboard().Focus();
        return focus != nullptr ? avm1::ToUtf8(focus->InstanceName()) : "null";
    }

    // The focus after each of `count` presses of Tab (with Shift when `backwards`).
    std::string Tabs(int count, bool backwards = false) {
        std::string visited;
        if (backwards) {
            runtime.Keyboard().Down(kShift, 0);
        }
        for (int i = 0; i < count; ++i) {
            runtime.Keyboard().Down(kTab, U'\t');
            runtime.Keyboard().Up(kTab, U'\t');
            visited += (i > 0 ? "," : "") + FocusName();
        }
        if (backwards) {
            runtime.Keyboard().Up(kShift, 0);
        }
        return visited;
    }

    Runtime runtime{PlayerLimits{}};
};

TEST_F(FocusInputTest, TabGoesRowByRowThroughInputFields) {
    struct Case {
        const char* name;
        std::vector<FieldSpec> fields;
        bool backwards;
        const char* visited;
    } cases[] = {
        {"rows, then left to right",
         {{"c", 10, 50}, {"b", 200, 10}, {"a", 10, 10}, {"d", 200, 50}},
         false,
         "a,b,c,d,a"},
        {"backwards", {{"a", 10, 10}, {"b", 10, 50}, {"c", 10, 90}}, true, "c,b,a,c"},
        {"the second at a corner is never reached",
         {{"a", 10, 10}, {"twin", 10, 10}, {"b", 10, 50}},
         false,
         "a,b,a,b"},
        {"dynamic text is passed over",
         {{"a", 10, 10}, {"label", 10, 30, false}, {"b", 10, 50}},
         false,
         "a,b,a,b"},
        {"nothing to tab to", {{"label", 10, 10, false}}, false, "null,null"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.fields);
        EXPECT_EQ(Tabs(static_cast<int>(c.fields.size()) + 1, c.backwards), c.visited);
    }
}

TEST_F(FocusInputTest, TabIndexOrdersOnlyTheFieldsThatHaveOne) {
    Load({{"a", 10, 10}, {"b", 10, 50}, {"c", 10, 90}, {"d", 10, 130}, {"e", 10, 170}});
    SetMember("a", u"tabIndex", avm1::Value::Number(3));
    SetMember("b", u"tabIndex", avm1::Value::Number(1));
    SetMember("c", u"tabIndex", avm1::Value::Number(3));  // same index: display order
    SetMember("d", u"tabIndex", avm1::Value::Number(2));
    SetMember("d", u"tabEnabled", avm1::Value::Bool(false));
    EXPECT_EQ(Tabs(4), "b,a,c,b");
    EXPECT_EQ(Tabs(2, true), "c,a");
}

TEST_F(FocusInputTest, FocusedFieldTakesTypingAndEditing) {
    Load({{"a", 10, 10}});
    TextFieldObject& field = Field("a");
    SetMember("a", u"text", avm1::Value::Str(u"old"));
    KeyboardInput& keyboard = runtime.Keyboard();
    keyboard.TextInput(u"lost");  // nothing has the focus
    EXPECT_EQ(field.Text(), u"old");

    keyboard.SetFocus(&field);  // selects all its text
    keyboard.TextInput(u"ab\u4e2d");
    keyboard.TextControl(TextCommand::MoveLeft);
    keyboard.TextControl(TextCommand::Backspace);
    keyboard.TextControl(TextCommand::SelectLineStart);
    keyboard.TextControl(TextCommand::Copy);
    keyboard.TextControl(TextCommand::MoveTextEnd);
    keyboard.TextControl(TextCommand::Paste);
    EXPECT_EQ(field.Text(), u"a\u4e2da");
    EXPECT_EQ(field.Selection().caret, 3u);

    SetMember("a", u"password", avm1::Value::Bool(true));
    keyboard.TextControl(TextCommand::SelectAll);
    keyboard.TextControl(TextCommand::Cut);  // a password stays off the clipboard
    EXPECT_EQ(field.Text(), u"a\u4e2da");
    keyboard.TextControl(TextCommand::Paste);
    EXPECT_EQ(field.Text(), u"a");
}

TEST_F(FocusInputTest, DynamicFieldTakesNoTyping) {
    Load({{"label", 10, 10, false}});
    TextFieldObject& field = Field("label");
    runtime.Keyboard().SetFocus(&field);
    runtime.Keyboard().TextInput(u"x");
    runtime.Keyboard().TextControl(TextCommand::Backspace);
    EXPECT_EQ(field.Text(), u"");
}

TEST_F(FocusInputTest, ClickFocusesTheFieldUnderThePointer) {
    Load({{"a", 10, 10}, {"b", 10, 50}});
    MouseInput& mouse = runtime.Mouse();
    auto click = [&](double x, double y) {
        mouse.Down(Point{x * 20, y * 20});
        mouse.Up(Point{x * 20, y * 20});
        return FocusName();
    };
    EXPECT_EQ(click(20, 55), "b");
    EXPECT_EQ(click(20, 15), "a");
    EXPECT_EQ(click(300, 300), "null");
}

TEST_F(FocusInputTest, RemovedFocusGoesToNothing) {
    Load({{"a", 10, 10}});
    runtime.Keyboard().SetFocus(&Field("a"));
    runtime.LevelClip(0)->RemoveAt(1);
    EXPECT_EQ(runtime.Keyboard().Focus(), nullptr);
    runtime.Keyboard().TextInput(u"x");  // nothing to type into, and no crash
    runtime.Settle();
}

}  // namespace
}  // namespace flash

namespace flash {
namespace {

// The yellow frame, three pixels wide, around a button that Tab gave the focus to, in full
// renders and in renders of what changed; a click takes it away.
TEST(FocusRectTest, TabLightsTheButtonUntilAClick) {
    Player player;
    player.LoadMovieBytes(0, testmovies::ButtonMovie().Build(), "button.swf");
    player.Advance();
    constexpr std::uint32_t kYellow = 0xFFFFFF00;
    Image changes(550, 400);
    player.RenderChanges(changes);

    player.KeyDown(9, U'\t');
    Image full(550, 400);
    player.Render(full);
    EXPECT_FALSE(player.RenderChanges(changes).empty());
    for (const Image* image : {&full, &changes}) {
        EXPECT_EQ(image->Pixel(100, 100), kYellow);
        EXPECT_EQ(image->Pixel(102, 150), kYellow);
        EXPECT_EQ(image->Pixel(199, 199), kYellow);
        EXPECT_NE(image->Pixel(103, 150), kYellow);
        EXPECT_NE(image->Pixel(150, 150), kYellow);
    }

    player.MouseDown(400, 300);
    player.MouseUp(400, 300);
    EXPECT_FALSE(player.RenderChanges(changes).empty());
    EXPECT_NE(changes.Pixel(100, 100), kYellow);
}

}  // namespace
}  // namespace flash

namespace flash {
namespace {

// _focusrect as scripts see it: one movie-wide value in version 5, read as 0 or 1; later a
// value of each object, null until set, beside the movie-wide one its level root holds.
TEST(FocusRectTest, PropertyByVersion) {
    struct Step {
        int version;
        bool onField;  // else on _root
        avm1::Value value;
        const char* root;
        const char* field;
        bool newObject = false;  // assigns {} instead of value
    };
    const auto str = [](const char16_t* s) { return avm1::Value::Str(avm1::String(s)); };
    const std::vector<Step> steps = {
        {5, true, avm1::Value::Number(0), "0", "0"},
        {5, false, avm1::Value::Number(NAN), "1", "1"},
        {5, true, avm1::Value::Bool(false), "0", "0"},
        {5, true, avm1::Value::Null(), "0", "0"},
        {5, false, str(u"test"), "1", "1"},
        {6, false, str(u"0"), "false", "null"},
        {6, false, avm1::Value(), "false", "null"},
        {6, false, avm1::Value::Number(-1), "true", "null"},
        {6, true, str(u"test"), "true", "false"},
        {6, true, avm1::Value::Number(0.1), "true", "true"},
        {6, true, avm1::Value::Null(), "true", "null"},
        {6, false, avm1::Value(), "false", "null", true},
    };
    std::unique_ptr<Runtime> runtime;
    int loaded = 0;
    for (const Step& step : steps) {
        if (step.version != loaded) {
            swfgen::MovieWriter m(step.version, testmovies::kStage, 12);
            m.DefineEditText(1, swf::EditText{});
            m.PlaceObject2(testmovies::PlaceNew(1, 1, "f"));
            m.ShowFrame();
            runtime = std::make_unique<Runtime>(PlayerLimits{});
            runtime->Load(0, std::make_shared<const swf::Movie>(swf::ParseMovie(m.Build())),
                          "file:///focusrect.swf", true);
            runtime->Advance();
            loaded = step.version;
        }
        avm1::Vm& vm = runtime->Vm();
        MovieClip& root = *runtime->LevelClip(0);
        avm1::Object* rootObject = vm.ObjectOf(root);
        avm1::Object* field = vm.ObjectOf(*root.DisplayList().begin()->second->ScriptClip());
        avm1::Value value = step.newObject ? avm1::Value::Obj(vm.NewObject()) : step.value;
        vm.Set(step.onField ? field : rootObject, u"_focusrect", value, step.version);
        auto read = [&](avm1::Object* o) {
            return avm1::ToUtf8(vm.ToString(vm.Get(o, u"_focusrect", step.version), 7));
        };
        SCOPED_TRACE(avm1::ToUtf8(vm.ToString(value, 7)));
        EXPECT_EQ(read(rootObject), step.root);
        EXPECT_EQ(read(field), step.field);
    }
}

// A button's own _focusrect outweighs the movie's when Tab gives it the focus, and unset it
// falls back to it.
TEST(FocusRectTest, OwnValueOutweighsTheMovies) {
    Runtime runtime{PlayerLimits{}};
    runtime.Load(
        0, std::make_shared<const swf::Movie>(swf::ParseMovie(testmovies::ButtonMovie().Build())),
        "file:///button.swf", true);
    runtime.Advance();
    avm1::Vm& vm = runtime.Vm();
    avm1::Clip* buttonClip = runtime.LevelClip(0)->DisplayList().at(1)->ScriptClip();
    ASSERT_NE(buttonClip, nullptr);
    avm1::Object* button = vm.ObjectOf(*buttonClip);
    struct Case {
        bool movie;
        avm1::Value own;
        bool framed;
    };
    const Case cases[] = {
        {true, avm1::Value::Bool(false), false},
        {false, avm1::Value::Bool(true), true},
        {false, avm1::Value::Null(), false},
        {true, avm1::Value::Null(), true},
    };
    for (const Case& c : cases) {
        vm.Set(vm.ObjectOf(*runtime.LevelClip(0)), u"_focusrect", avm1::Value::Bool(c.movie), 8);
        vm.Set(button, u"_focusrect", c.own, 8);
        runtime.Keyboard().SetFocus(nullptr);
        runtime.Keyboard().Down(kTab, U'\t');
        runtime.Keyboard().Up(kTab, U'\t');
        EXPECT_EQ(runtime.Keyboard().ShowsFocusRect(), c.framed) << c.movie;
    }
    // The value counts when Tab gives the focus; changed later, the frame stays.
    vm.Set(button, u"_focusrect", avm1::Value::Bool(false), 8);
    EXPECT_TRUE(runtime.Keyboard().ShowsFocusRect());
}

}  // namespace
}  // namespace flash
