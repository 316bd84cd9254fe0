#include "toml_lite.h"

#include <gtest/gtest.h>

#include "corpus_case.h"
#include "swfgen/tag_writer.h"
#include "tovi/testing/files.h"

namespace corpus {
namespace {

using tovi::testing::TempDir;
using tovi::testing::WriteFileText;

TEST(TomlLiteTest, ReadsTheFormsTheCorpusUses) {
    TomlTable t = ParseToml(R"toml(# comment
num_ticks = 12
image_comparisons."output.01".trigger = 1
flag = true
[player_options]
with_renderer = { optional = false, quality = "high" }  # trailing comment
viewport = { width = 1_100, scale = 2.0 }
multi = {
    a = false
}
[approximations]
number_patterns = ["(\\d+\\.\\d+)", 'raw\d']
[[a.checks]]
tolerance = 3
[[a.checks]]
tolerance = 4
)toml");
    EXPECT_EQ(TomlFind(t, "num_ticks")->Integer(0), 12);
    EXPECT_TRUE(TomlFind(t, "flag")->Bool(false));
    const TomlTable* images = TomlFind(t, "image_comparisons")->Table();
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(TomlFind(*images->at("output.01").Table(), "trigger")->Integer(0), 1);
    EXPECT_EQ(TomlFind(t, "player_options.with_renderer.quality")->String(""), "high");
    EXPECT_FALSE(TomlFind(t, "player_options.with_renderer.optional")->Bool(true));
    EXPECT_EQ(TomlFind(t, "player_options.viewport.width")->Integer(0), 1100);
    EXPECT_DOUBLE_EQ(TomlFind(t, "player_options.viewport.scale")->Number(0), 2.0);
    EXPECT_FALSE(TomlFind(t, "player_options.multi.a")->Bool(true));
    const TomlArray* patterns = TomlFind(t, "approximations.number_patterns")->Array();
    ASSERT_EQ(patterns->size(), 2u);
    EXPECT_EQ((*patterns)[0].String(""), "(\\d+\\.\\d+)");
    EXPECT_EQ((*patterns)[1].String(""), "raw\\d");
    const TomlArray* checks = TomlFind(t, "a.checks")->Array();
    ASSERT_EQ(checks->size(), 2u);
    EXPECT_EQ(TomlFind(*(*checks)[1].Table(), "tolerance")->Integer(0), 4);
}

TEST(TomlLiteTest, MalformedTextThrowsWithTheLine) {
    for (const char* text : {"a = ", "a = \"open", "[a", "a = 1 b", "= 3", "x = {a = 1"}) {
        EXPECT_THROW(ParseToml(std::string("ok = 1\n") + text), TomlError) << text;
    }
    try {
        ParseToml("a = 1\nb = ?\n");
        FAIL();
    } catch (const TomlError& e) {
        EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos);
    }
}

TEST(CorpusCaseTest, LoadsACase) {
    TempDir root;
    auto dir = root / "visual" / "shapes";
    std::filesystem::create_directories(dir);
    WriteFileText(dir / "test.toml", R"(num_ticks = 3
known_failure = true
[image_comparisons.output]
tolerance = 2
[[image_comparisons.second.checks]]
tolerance = 0
max_outliers = 40
[[image_comparisons.second.checks]]
tolerance = 64
[player_options]
with_renderer = { optional = true, quality = "low" }
viewport_dimensions = { width = 100, height = 50, scale_factor = 2.0 }
)");
    WriteFileText(dir / "input.json", "[]");
    CorpusCase c = LoadCase(root.path(), dir);
    EXPECT_EQ(c.name, "visual/shapes");
    EXPECT_EQ(c.group, "visual");
    EXPECT_EQ(c.frames, 3);
    EXPECT_TRUE(c.knownFailure);
    EXPECT_TRUE(c.hasInput);
    EXPECT_FALSE(c.rendererRequired);
    EXPECT_EQ(c.quality, "low");
    EXPECT_EQ(c.viewportWidth, 100);
    EXPECT_EQ(c.viewportHeight, 50);
    ASSERT_EQ(c.images.size(), 2u);
    EXPECT_EQ(c.images[0].name, "output");
    EXPECT_EQ(c.images[0].checks[0].tolerance, 2);
    ASSERT_EQ(c.images[1].checks.size(), 2u);
    EXPECT_EQ(c.images[1].checks[0].maxOutliers, 40);
    EXPECT_EQ(c.images[1].checks[1].tolerance, 64);

    EXPECT_FALSE(c.actionScript3);  // no movie at all counts as ActionScript 1/2

    for (bool as3 : {false, true}) {
        swfgen::MovieWriter movie(10, flash::Rect{0, 2000, 0, 2000}, 24);
        movie.FileAttributes(as3 ? 0x08 : 0x00).ShowFrame();
        movie.Save(dir / "test.swf");
        EXPECT_EQ(LoadCase(root.path(), dir).actionScript3, as3);
    }

    EXPECT_EQ(FindCases(root.path()).size(), 1u);
    WriteFileText(dir / "test.toml", "num_frames = [");
    EXPECT_THROW(LoadCase(root.path(), dir), std::runtime_error);
}

}  // namespace
}  // namespace corpus
