#include <gtest/gtest.h>

#include "flash/swf/error.h"
#include "flash/swf/movie.h"
#include "flash/swf/tag_codes.h"
#include "swfgen/action_builder.h"
#include "swfgen/tag_writer.h"
#include "tovi/testing/files.h"

namespace flash::swf {
namespace {

using swfgen::MovieWriter;
using swfgen::TagList;

template <typename T>
const T& TagAs(const Frame& frame, std::size_t i) {
    return std::get<T>(frame.tags.at(i));
}

TEST(MovieReaderTest, HeaderOfEachCompression) {
    for (Compression c : {Compression::None, Compression::Zlib, Compression::Lzma}) {
        MovieWriter m(8, Rect{0, 11000, 0, 8000}, 12.5);
        m.ShowFrame().ShowFrame().ShowFrame();
        const auto bytes = m.Build(c);
        const Movie movie = ParseMovie(bytes);
        EXPECT_EQ(movie.header.compression, c);
        EXPECT_EQ(movie.header.version, 8);
        EXPECT_EQ(movie.header.frameSize, (Rect{0, 11000, 0, 8000}));
        EXPECT_EQ(movie.header.frameRate, 12 * 256 + 128);
        EXPECT_DOUBLE_EQ(movie.header.FramesPerSecond(), 12.5);
        EXPECT_EQ(movie.header.frameCount, 3);
        EXPECT_EQ(movie.frames.size(), 3u);
        EXPECT_FALSE(movie.truncated);
        EXPECT_TRUE(movie.diagnostics.empty());

        const Header h = ParseHeader(bytes);
        EXPECT_EQ(h.frameCount, 3);
        EXPECT_EQ(h.frameSize, movie.header.frameSize);
        EXPECT_EQ(h.compression, c);
    }
}

TEST(MovieReaderTest, TagsAreGroupedIntoFrames) {
    MovieWriter m(6, Rect{0, 100, 0, 100}, 12);
    const auto actions = swfgen::ActionBuilder().Stop().Build();
    m.SetBackgroundColor(Rgba{10, 20, 30, 255})
        .FrameLabel("start")
        .ShowFrame()
        .ShowFrame()  // an empty frame
        .DoAction(actions)
        .FrameLabel("anchor", true)
        .RemoveObject2(3)
        .ShowFrame()
        .End();
    m.FrameLabel("after the end");  // never read
    const Movie movie = ParseMovie(m.Build());
    ASSERT_EQ(movie.frames.size(), 3u);
    EXPECT_EQ(TagAs<SetBackgroundColor>(movie.frames[0], 0).color, (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(movie.frames[0].labels, (std::vector<FrameLabel>{{"start", false}}));
    EXPECT_TRUE(movie.frames[1].tags.empty());
    ASSERT_EQ(movie.frames[2].tags.size(), 2u);
    EXPECT_EQ(TagAs<DoAction>(movie.frames[2], 0).actions, actions);
    EXPECT_EQ(TagAs<RemoveObject>(movie.frames[2], 1).depth, 3);
    EXPECT_EQ(movie.frames[2].labels, (std::vector<FrameLabel>{{"anchor", true}}));
    EXPECT_FALSE(movie.truncated);
}

TEST(MovieReaderTest, MovieWideTagsAndUnknownTags) {
    MovieWriter m(9, Rect{0, 100, 0, 100}, 12);
    const std::uint8_t unknown[] = {1, 2, 3};
    const std::uint8_t password[] = {'x', 0};
    m.FileAttributes(0x19)
        .Metadata("<rdf/>")
        .Tag(kTagProtect, password)
        .Tag(kTagEnableDebugger2, password)
        .Tag(200, unknown, true)  // long form for a short body
        .ExportAssets({{5, "clip"}, {6, "sound"}})
        .ShowFrame();
    const Movie movie = ParseMovie(m.Build());
    EXPECT_TRUE(movie.hasAttributes);
    EXPECT_TRUE(movie.attributes.useNetwork);
    EXPECT_TRUE(movie.attributes.actionScript3);
    EXPECT_TRUE(movie.attributes.hasMetadata);
    EXPECT_FALSE(movie.attributes.useGpu);
    EXPECT_EQ(movie.metadata, "<rdf/>");
    ASSERT_EQ(movie.frames.size(), 1u);
    ASSERT_EQ(movie.frames[0].tags.size(), 2u);
    const auto& u = TagAs<UnknownTag>(movie.frames[0], 0);
    EXPECT_EQ(u.code, 200);
    EXPECT_EQ(u.data, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(TagAs<ExportAssets>(movie.frames[0], 1).assets,
              (std::vector<AssetName>{{5, "clip"}, {6, "sound"}}));
}

// CSMTextSettings by character: renderer and grid fitting from the flag byte, the two floats
// after it; a cut tag leaves no settings.
TEST(MovieReaderTest, TextRenderSettingsByCharacter) {
    MovieWriter m(8, Rect{0, 100, 0, 100}, 12);
    // id 2: advanced, subpixel, thickness 1.5, sharpness -2; id 3: normal, none, then cut.
    const std::uint8_t advanced[] = {2, 0, 0x50, 0, 0, 0xC0, 0x3F, 0, 0, 0, 0xC0, 0};
    const std::uint8_t cut[] = {3, 0, 0x00, 0, 0};
    m.Tag(kTagCsmTextSettings, advanced).Tag(kTagCsmTextSettings, cut).ShowFrame();
    const Movie movie = ParseMovie(m.Build());
    ASSERT_EQ(movie.textSettings.size(), 1u);
    const TextRenderSettings& t = movie.textSettings.at(2);
    EXPECT_TRUE(t.advanced);
    EXPECT_EQ(t.gridFit, 2);
    EXPECT_EQ(t.thickness, 1.5f);
    EXPECT_EQ(t.sharpness, -2.0f);
    EXPECT_EQ(movie.diagnostics.size(), 1u);
}

TEST(MovieReaderTest, CutMovieKeepsItsWholeTags) {
    MovieWriter m(6, Rect{0, 100, 0, 100}, 12);
    m.RemoveObject2(1).ShowFrame().RemoveObject2(2).FrameLabel("last").ShowFrame();
    auto bytes = m.Build();
    // Cut inside the second FrameLabel: the first frame stays, the second keeps its whole tags.
    bytes.resize(bytes.size() - 6);
    const Movie movie = ParseMovie(bytes);
    EXPECT_TRUE(movie.truncated);
    ASSERT_EQ(movie.frames.size(), 2u);
    EXPECT_TRUE(movie.frames[0].shown);
    EXPECT_FALSE(movie.frames[1].shown);
    EXPECT_EQ(TagAs<RemoveObject>(movie.frames[1], 0).depth, 2);
    ASSERT_FALSE(movie.diagnostics.empty());
    EXPECT_EQ(movie.diagnostics.back().tagCode, kTagFrameLabel);
}

TEST(MovieReaderTest, NothingPastTheDeclaredLengthIsRead) {
    MovieWriter m(6, Rect{0, 100, 0, 100}, 12);
    m.RemoveObject2(1).ShowFrame();
    // The length of the first frame, without the End tag Build() adds.
    const auto declared = static_cast<std::uint32_t>(m.Build().size() - 2);
    m.RemoveObject2(2).ShowFrame();
    for (Compression c : {Compression::None, Compression::Zlib, Compression::Lzma}) {
        SCOPED_TRACE(static_cast<int>(c));
        auto bytes = m.Build(c);
        for (int i = 0; i < 4; ++i) {
            bytes[4 + i] = static_cast<std::uint8_t>(declared >> (8 * i));
        }
        const Movie movie = ParseMovie(bytes);
        ASSERT_EQ(movie.frames.size(), 1u);
        EXPECT_EQ(std::get<RemoveObject>(movie.frames[0].tags.at(0)).depth, 1);
        EXPECT_TRUE(movie.truncated);
        EXPECT_EQ(movie.header.frameCount, 2);
    }
}

TEST(MovieReaderTest, DamagedTagIsSkippedAndTheRestRead) {
    MovieWriter m(6, Rect{0, 100, 0, 100}, 12);
    const std::uint8_t shortPlace[] = {0x02, 0x01};  // has character, but no depth
    m.Tag(kTagPlaceObject2, shortPlace).RemoveObject2(4).ShowFrame();
    const Movie movie = ParseMovie(m.Build());
    ASSERT_EQ(movie.frames.size(), 1u);
    ASSERT_EQ(movie.frames[0].tags.size(), 1u);
    EXPECT_EQ(TagAs<RemoveObject>(movie.frames[0], 0).depth, 4);
    ASSERT_EQ(movie.diagnostics.size(), 1u);
    EXPECT_EQ(movie.diagnostics[0].tagCode, kTagPlaceObject2);
    EXPECT_EQ(movie.diagnostics[0].offset, 17u);  // 8-byte header, 5-byte rect, rate, count
}

TEST(MovieReaderTest, SpriteHasItsOwnTimeline) {
    TagList inner(6);
    inner.RemoveObject2(1).ShowFrame().FrameLabel("two").ShowFrame();
    MovieWriter m(6, Rect{0, 100, 0, 100}, 12);
    m.DefineSprite(7, inner).ShowFrame();
    const Movie movie = ParseMovie(m.Build());
    ASSERT_EQ(movie.frames.size(), 1u);
    const auto& def = TagAs<DefineCharacter>(movie.frames[0], 0);
    EXPECT_EQ(def.id, 7);
    const auto& sprite = *std::get<std::shared_ptr<const Sprite>>(def.character);
    EXPECT_EQ(sprite.frameCount, 2);
    ASSERT_EQ(sprite.frames.size(), 2u);
    EXPECT_EQ(std::get<RemoveObject>(sprite.frames[0].tags[0]).depth, 1);
    EXPECT_EQ(sprite.frames[1].labels[0].name, "two");
}

TEST(MovieReaderTest, DeeplyNestedSpritesStopAtALimit) {
    TagList level(6);
    level.ShowFrame();
    for (int i = 0; i < 50; ++i) {
        TagList outer(6);
        outer.DefineSprite(static_cast<std::uint16_t>(i + 1), level).ShowFrame();
        level = outer;
    }
    MovieWriter m(6, Rect{0, 100, 0, 100}, 12);
    m.DefineSprite(100, level).ShowFrame();
    const Movie movie = ParseMovie(m.Build());
    EXPECT_EQ(movie.frames.size(), 1u);
    EXPECT_FALSE(movie.diagnostics.empty());
}

TEST(MovieReaderTest, NotAMovieFails) {
    EXPECT_THROW(ParseMovie(tovi::testing::HexBytes("3C 68 74 6D 6C 3E 00 00 00 00")), ParseError);
    EXPECT_THROW(ParseMovie(tovi::testing::HexBytes("46 57 53 06 20 00 00 00 78")), ParseError);
    EXPECT_THROW(LoadMovie("/nonexistent/movie.swf"), ParseError);
}

TEST(MovieReaderTest, LoadsAFile) {
    tovi::testing::TempDir dir;
    MovieWriter m(6, Rect{0, 100, 0, 100}, 12);
    m.ShowFrame();
    m.Save(dir / "a.swf", Compression::Zlib);
    EXPECT_EQ(LoadMovie(dir / "a.swf").frames.size(), 1u);
}

}  // namespace
}  // namespace flash::swf
