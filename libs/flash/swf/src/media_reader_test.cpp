#include <gtest/gtest.h>

#include "flash/swf/movie.h"
#include "flash/swf/tag_codes.h"
#include "swfgen/action_builder.h"
#include "swfgen/tag_writer.h"
#include "tovi/testing/files.h"

namespace flash::swf {
namespace {

using tovi::testing::HexBytes;

std::vector<Tag> FirstFrame(const swfgen::MovieWriter& m) {
    const Movie movie = ParseMovie(m.Build());
    EXPECT_TRUE(movie.diagnostics.empty());
    return movie.frames.at(0).tags;
}

template <typename T>
const T& Defined(const std::vector<Tag>& tags, std::size_t i) {
    return *std::get<std::shared_ptr<const T>>(std::get<DefineCharacter>(tags.at(i)).character);
}

TEST(MediaReaderTest, SoundsRoundTrip) {
    Sound sound;
    sound.format = SoundFormat::Mp3;
    sound.rate = 3;
    sound.is16Bit = true;
    sound.stereo = true;
    sound.sampleCount = 44100;
    sound.data = HexBytes("00 00 FF FB 90 44");
    StartSound plain;
    plain.soundId = 1;
    StartSound full;
    full.soundId = 1;
    full.info = {true, true, 10, 20000, 3, {{0, 32768, 0}, {44100, 0, 32768}}};
    StartSound byClass;
    byClass.className = "Ding";
    byClass.info.loopCount = 0;
    SoundStreamHead adpcm;
    adpcm.format = SoundFormat::Adpcm;
    adpcm.rate = 2;
    adpcm.sampleCount = 1837;
    SoundStreamHead mp3;
    mp3.version = 2;
    mp3.format = SoundFormat::Mp3;
    mp3.playbackRate = mp3.rate = 3;
    mp3.stereo = mp3.playbackStereo = true;
    mp3.sampleCount = 3675;
    mp3.latencySeek = -576;

    swfgen::MovieWriter m(9, Rect{0, 100, 0, 100}, 12);
    m.DefineSound(1, sound)
        .StartSound(plain)
        .StartSound(full)
        .StartSound(byClass)
        .SoundStreamHead(adpcm)
        .SoundStreamHead(mp3)
        .SoundStreamBlock(HexBytes("01 02 03"))
        .ShowFrame();
    const auto tags = FirstFrame(m);
    EXPECT_EQ(Defined<Sound>(tags, 0), sound);
    EXPECT_EQ(std::get<StartSound>(tags.at(1)), plain);
    EXPECT_EQ(std::get<StartSound>(tags.at(2)), full);
    EXPECT_EQ(std::get<StartSound>(tags.at(3)), byClass);
    EXPECT_EQ(std::get<SoundStreamHead>(tags.at(4)), adpcm);
    EXPECT_EQ(std::get<SoundStreamHead>(tags.at(5)), mp3);
    EXPECT_EQ(std::get<SoundStreamBlock>(tags.at(6)).data, HexBytes("01 02 03"));
    EXPECT_EQ(SoundRateHz(0), 5512);
    EXPECT_EQ(SoundRateHz(3), 44100);
}

TEST(MediaReaderTest, Mp3StreamHeadWithoutLatency) {
    swfgen::MovieWriter m(6, Rect{0, 100, 0, 100}, 12);
    m.Tag(kTagSoundStreamHead, HexBytes("0E 2E 40 02")).ShowFrame();
    const auto tags = FirstFrame(m);
    const auto& h = std::get<SoundStreamHead>(tags.at(0));
    EXPECT_EQ(h.format, SoundFormat::Mp3);
    EXPECT_EQ(h.rate, 3);
    EXPECT_EQ(h.sampleCount, 576);
    EXPECT_EQ(h.latencySeek, 0);
}

TEST(MediaReaderTest, ButtonsWithTheirConditionsAndExtras) {
    const auto press = swfgen::ActionBuilder().TraceText("press").Build();
    const auto key = swfgen::ActionBuilder().TraceText("key").Build();
    Button two;
    two.version = 2;
    two.trackAsMenu = true;
    ButtonRecord up;
    up.states = kButtonUp | kButtonOver;
    up.characterId = 3;
    up.depth = 1;
    up.matrix = Matrix::Translate(20, 20);
    up.colorTransform = ColorTransform{1, 1, 1, 0.5, 0, 0, 0, 0};
    ButtonRecord hit;
    hit.states = kButtonHitTest;
    hit.characterId = 4;
    hit.depth = 2;
    hit.blendMode = BlendMode::Screen;
    hit.filters = {BlurFilter{2, 2, 1}};
    two.records = {up, hit};
    two.actions = {{kCondOverUpToOverDown | kCondOverDownToIdle, 0, press},
                   {0, 13, key}};  // a key press alone

    Button one;
    one.records = {up};
    one.records[0].colorTransform = {};
    one.actions = {{kCondOverDownToOverUp, 0, press}};

    ButtonSound sounds[4];
    sounds[1].soundId = 7;
    sounds[1].info.loopCount = 2;
    sounds[3].soundId = 8;
    const ColorTransform cx{0.5, 0.5, 0.5, 1, 0, 0, 0, 0};

    swfgen::MovieWriter m(8, Rect{0, 100, 0, 100}, 12);
    m.DefineButton(1, two)
        .DefineButton(2, one)
        .DefineButtonCxform(2, cx)
        .DefineButtonSound(1, sounds)
        .ShowFrame();
    const auto tags = FirstFrame(m);
    ASSERT_EQ(tags.size(), 2u);  // the extras merge into the buttons
    Button expectTwo = two;
    std::copy(std::begin(sounds), std::end(sounds), std::begin(expectTwo.sounds));
    EXPECT_EQ(Defined<Button>(tags, 0), expectTwo);
    Button expectOne = one;
    expectOne.colorTransform = cx;
    EXPECT_EQ(Defined<Button>(tags, 1), expectOne);
}

TEST(MediaReaderTest, VideoRoundTrips) {
    VideoStream v;
    v.frameCount = 30;
    v.width = 320;
    v.height = 240;
    v.deblocking = 2;
    v.smoothing = true;
    v.codec = VideoCodec::Vp6Alpha;
    VideoFrame f;
    f.streamId = 1;
    f.frameNumber = 4;
    f.data = HexBytes("00 01 02 03");
    swfgen::MovieWriter m(8, Rect{0, 100, 0, 100}, 12);
    m.DefineVideoStream(1, v).VideoFrame(f).ShowFrame();
    const auto tags = FirstFrame(m);
    EXPECT_EQ(Defined<VideoStream>(tags, 0), v);
    EXPECT_EQ(std::get<VideoFrame>(tags.at(1)), f);
}

}  // namespace
}  // namespace flash::swf
