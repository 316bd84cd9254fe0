// Text fields bound to variables and read and written by scripts, on movies written with
// swfgen.
#include "display/text_field.h"

#include <gtest/gtest.h>

#include "display/movie_clip.h"
#include "flash/swf/movie.h"
#include "runtime/runtime.h"
#include "test_movies.h"

namespace flash {
namespace {

using namespace testmovies;

swf::EditText Field(const std::string& variable, const std::string& text) {
    swf::EditText f;
    f.bounds = Rect{0, 2000, 0, 400};
    f.variableName = variable;
    f.hasText = !text.empty();
    f.initialText = text;
    return f;
}

class TextFieldTest : public ::testing::Test {
  protected:
    // _root holds `field` at depth 1 and a clip "mc" at depth 2.
    TextFieldObject& Load(const swf::EditText& field, bool fieldInClip = false) {
        swfgen::MovieWriter m(6, kStage, 12);
        m.DefineEditText(1, field);
        swfgen::TagList sprite(6);
        if (fieldInClip) {
            sprite.PlaceObject2(PlaceNew(1, 1, "field"));
        }
        sprite.ShowFrame();
        m.DefineSprite(2, sprite);
        if (!fieldInClip) {
            m.PlaceObject2(PlaceNew(1, 1, "field"));
        }
        m.PlaceObject2(PlaceNew(2, 2, "mc")).ShowFrame().ShowFrame();
        swfgen::Bytes bytes = m.Build();
        runtime.Load(0, std::make_shared<const swf::Movie>(swf::ParseMovie(bytes)),
                     "file:///test.swf", true);
        runtime.Advance();
        MovieClip& root = *runtime.LevelClip(0);
        DisplayObject* holder = fieldInClip ? root.ChildAt(2) : &root;
        auto* object = dynamic_cast<TextFieldObject*>(holder->AsClip()->ChildAt(1));
        EXPECT_NE(object, nullptr);
        return *object;
    }

    // A member as scripts read and write it, through the field's object and its prototype.
    avm1::Value Get(TextFieldObject& field, avm1::StringView name) {
        avm1::Vm& vm = runtime.Vm();
        return vm.Get(vm.ObjectOf(*field.ScriptClip()), name, 6);
    }
    void Set(TextFieldObject& field, avm1::StringView name, const avm1::Value& value) {
        avm1::Vm& vm = runtime.Vm();
        vm.Set(vm.ObjectOf(*field.ScriptClip()), name, value, 6);
    }

    std::string Variable(const char* path) {
        std::optional<avm1::Value> v = runtime.Vm().GetVariable(avm1::FromUtf8(path));
        return v && !v->IsUndefined() ? avm1::ToUtf8(runtime.Vm().ToString(*v, 6)) : "<none>";
    }

    Runtime runtime{PlayerLimits{}};
};

TEST_F(TextFieldTest, BoundVariableFollowedEachFrameByItsPath) {
    struct Case {
        const char* variable;
        bool fieldInClip;
        const char* path;  // the variable from _level0
    };
    const Case cases[] = {
        {"score", false, "score"},
        {"SCORE", false, "score"},  // names without case before SWF 7
        {"mc.score", false, "mc.score"},
        {"/mc:score", false, "mc.score"},
        {"_parent.score", true, "score"},
        {"score", true, "mc.score"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variable);
        TextFieldObject& field = Load(Field(c.variable, "0"), c.fieldInClip);
        // The field's own text gives the variable its first value.
        EXPECT_EQ(field.ShownText(), "0");
        EXPECT_EQ(Variable(c.path), "0");

        ASSERT_TRUE(runtime.Vm().SetVariable(avm1::FromUtf8(c.path), avm1::Value::Number(42)));
        EXPECT_EQ(field.ShownText(), "0") << "shown from the next frame";
        runtime.Advance();
        EXPECT_EQ(field.ShownText(), "42");

        // Scripts writing the field write the variable.
        Set(field, u"text", avm1::Value::Str(u"7"));
        EXPECT_EQ(Variable(c.path), "7");
        EXPECT_EQ(field.Text(), u"7");
    }
}

TEST_F(TextFieldTest, AnExistingVariableWinsAndAnEmptyFieldSetsNothing) {
    TextFieldObject& empty = Load(Field("name", ""));
    EXPECT_EQ(Variable("name"), "<none>");
    EXPECT_EQ(empty.ShownText(), "");

    // Bound anew to a variable that already has a value: the field shows it.
    runtime.Vm().SetVariable(u"other", avm1::Value::Str(u"kept"));
    Set(empty, u"variable", avm1::Value::Str(u"other"));
    EXPECT_EQ(empty.ShownText(), "kept");
    EXPECT_EQ(Get(empty, u"variable").AsString(), u"other");
}

TEST_F(TextFieldTest, HtmlTextAndPlainTextViews) {
    swf::EditText def = Field("", "<p>a &amp; b</p><p>c</p>");
    def.html = true;
    TextFieldObject& field = Load(def);
    EXPECT_EQ(Get(field, u"text").AsString(), u"a & b\rc\r");
    // Flash writes its own HTML back, one paragraph each with every font property.
    const avm1::String font =
        u"<FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" "
        u"KERNING=\"0\">";
    EXPECT_EQ(Get(field, u"htmlText").AsString(), u"<P ALIGN=\"LEFT\">" + font +
                                                      u"a &amp; b</FONT></P><P ALIGN=\"LEFT\">" +
                                                      font + u"c</FONT></P>");

    // Plain text on an HTML field shows as it is.
    Set(field, u"text", avm1::Value::Str(u"<b>x</b>"));
    EXPECT_FALSE(field.ShowsHtml());
    EXPECT_EQ(Get(field, u"text").AsString(), u"<b>x</b>");
}

TEST_F(TextFieldTest, ColoursKeepTheirLow24BitsAndFlagsChangeTheLook) {
    swf::EditText def = Field("", "x");
    def.border = true;
    TextFieldObject& field = Load(def);
    EXPECT_TRUE(field.Look().border);
    EXPECT_TRUE(field.Look().background);
    EXPECT_EQ(Get(field, u"backgroundColor").AsNumber(), 0xFFFFFF);
    EXPECT_EQ(Get(field, u"borderColor").AsNumber(), 0);

    struct Case {
        double set;
        double read;
    };
    const Case cases[] = {{0x404040, 0x404040}, {-1, 0xFFFFFF}, {double(0x80FFFFFFu), 0xFFFFFF}};
    for (const Case& c : cases) {
        Set(field, u"borderColor", avm1::Value::Number(c.set));
        EXPECT_EQ(Get(field, u"borderColor").AsNumber(), c.read) << c.set;
    }
    EXPECT_EQ(field.Look().borderColor, (Rgba{255, 255, 255, 255}));

    Set(field, u"background", avm1::Value::Bool(false));
    Set(field, u"textColor", avm1::Value::Number(0xFF0000));
    EXPECT_FALSE(field.Look().background);
    EXPECT_EQ(field.Definition()->color, (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(Get(field, u"textColor").AsNumber(), 0xFF0000);
}

}  // namespace
}  // namespace flash
