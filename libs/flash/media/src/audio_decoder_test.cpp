#include "flash/media/audio_decoder.h"

#include <gtest/gtest.h>

#include <cmath>

#include "signals.h"

namespace flash::media {
namespace {

using swf::SoundFormat;
using testing::EncodeSound;
using testing::MeasureChannel;
using testing::Tone;

PcmBuffer DecodeAll(const swf::Sound& sound, std::span<const std::uint8_t> data,
                    bool* ok = nullptr) {
    PcmBuffer out;
    std::string error;
    auto decoder = CreateAudioDecoder(AudioCoding::Of(sound), &error);
    EXPECT_TRUE(decoder) << error;
    if (!decoder) {
        return out;
    }
    const bool decoded = decoder->Decode(data, out);
    decoder->Flush(out);
    if (ok != nullptr) {
        *ok = decoded;
    }
    return out;
}

std::span<const std::uint8_t> Body(const swf::Sound& s) {
    std::span<const std::uint8_t> data = s.data;
    return s.format == SoundFormat::Mp3 ? data.subspan(2) : data;
}

struct FormatCase {
    const char* name;
    SoundFormat format;
    Tone tone;
    bool is16Bit = true;
    bool bigEndian = false;
    double minRms = 0.3;  // of the 0.354 a sine at half scale has
};

// Every format decodes a generated tone at the right pitch, length and level, channels in order.
TEST(AudioDecoderTest, EachFormatDecodesAToneToTheMixerFormat) {
    const FormatCase cases[] = {
        {"pcm 8-bit mono 5.5 kHz", SoundFormat::PcmNative, {5512, false, 5512}, false},
        {"pcm 8-bit stereo 11 kHz", SoundFormat::PcmLittleEndian, {11025, true, 11025}, false},
        {"pcm 16-bit little-endian stereo 22 kHz",
         SoundFormat::PcmLittleEndian,
         {22050, true, 22050}},
        {"pcm 16-bit native, little-endian", SoundFormat::PcmNative, {44100, true, 22050}},
        {"pcm 16-bit native, big-endian",
         SoundFormat::PcmNative,
         {44100, false, 22050},
         true,
         true},
        {"adpcm mono 22 kHz", SoundFormat::Adpcm, {22050, false, 22050}},
        {"adpcm stereo 11 kHz, several blocks", SoundFormat::Adpcm, {11025, true, 4096 * 5}},
        {"mp3 stereo 22 kHz", SoundFormat::Mp3, {22050, true, 22050}},
        {"mp3 mono 44 kHz", SoundFormat::Mp3, {44100, false, 44100}},
        {"mp3 mono 11 kHz", SoundFormat::Mp3, {11025, false, 11025}},
        {"nellymoser 22 kHz", SoundFormat::Nellymoser, {22050, false, 22050}, true, false, 0.2},
        {"nellymoser 16 kHz", SoundFormat::Nellymoser16k, {16000, false, 16000}, true, false, 0.2},
        {"nellymoser 8 kHz", SoundFormat::Nellymoser8k, {8000, false, 8000, 300}, true, false, 0.2},
        {"speex 16 kHz", SoundFormat::Speex, {16000, false, 16000}, true, false, 0.15},
        {"g711 mu-law 11 kHz", kSoundFormatMulaw, {11025, false, 11025}, false},
        {"g711 a-law 5.5 kHz", kSoundFormatAlaw, {5512, false, 5512}, false},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        const swf::Sound sound = EncodeSound(c.format, c.tone, c.is16Bit, c.bigEndian);
        ASSERT_FALSE(sound.data.empty());
        bool ok = false;
        const PcmBuffer pcm = DecodeAll(sound, Body(sound), &ok);
        EXPECT_TRUE(ok);
        const double expected = static_cast<double>(ToMixFrames(c.tone.samples, c.tone.rate));
        // Codecs add their delay and pad to whole frames.
        EXPECT_NEAR(static_cast<double>(pcm.Frames()), expected,
                    0.03 * expected + static_cast<double>(ToMixFrames(2304, c.tone.rate)));
        const std::size_t mid = pcm.Frames() / 2;
        const std::size_t span = std::min<std::size_t>(mid / 2, 8000);
        for (int ch = 0; ch < 2; ++ch) {
            const auto m = MeasureChannel(pcm, ch, mid - span, mid + span);
            const double hz = c.tone.stereo && ch == 1 ? c.tone.hz * 1.5 : c.tone.hz;
            EXPECT_NEAR(m.frequency, hz, hz * 0.01) << "channel " << ch;
            EXPECT_GT(m.rms, c.minRms) << "channel " << ch;
            EXPECT_LT(m.rms, 0.42) << "channel " << ch;
        }
    }
}

// A stream hands the decoder one block at a time; the pieces join without gaps.
TEST(AudioDecoderTest, StreamBlocksJoinWithoutGaps) {
    const Tone tone{22050, false, 22050};
    struct Case {
        const char* name;
        SoundFormat format;
    } cases[] = {{"pcm", SoundFormat::PcmLittleEndian}, {"mp3", SoundFormat::Mp3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const swf::Sound whole = EncodeSound(c.format, tone);
        const std::span<const std::uint8_t> body = Body(whole);
        auto decoder = CreateAudioDecoder(AudioCoding::Of(whole));
        ASSERT_TRUE(decoder);
        PcmBuffer pcm;
        // Cut anywhere: an MP3 frame split between blocks waits for its rest.
        for (std::size_t at = 0; at < body.size(); at += 1000) {
            EXPECT_TRUE(decoder->Decode(
                body.subspan(at, std::min<std::size_t>(1000, body.size() - at)), pcm));
        }
        decoder->Flush(pcm);
        const PcmBuffer reference = DecodeAll(whole, body);
        ASSERT_EQ(pcm.Frames(), reference.Frames());
        EXPECT_EQ(pcm.samples, reference.samples);
    }
}

// Garbage, cut-off and empty data decode to what they hold and never crash.
TEST(AudioDecoderTest, DamagedDataDecodesWhatItCan) {
    const Tone at22{22050, false, 4000};
    const Tone at16{16000, false, 4000};
    const std::pair<SoundFormat, Tone> cases[] = {{SoundFormat::Mp3, at22},
                                                  {SoundFormat::Adpcm, at22},
                                                  {SoundFormat::PcmNative, at22},
                                                  {SoundFormat::Nellymoser16k, at16},
                                                  {SoundFormat::Speex, at16}};
    for (const auto& [format, tone] : cases) {
        SCOPED_TRACE(static_cast<int>(format));
        swf::Sound sound = EncodeSound(format, tone);
        const std::span<const std::uint8_t> body = Body(sound);
        const std::vector<std::uint8_t> original(body.begin(), body.end());
        ASSERT_FALSE(original.empty());
        std::vector<std::uint8_t> garbage(original.size());
        for (std::size_t i = 0; i < garbage.size(); ++i) {
            garbage[i] = static_cast<std::uint8_t>(i * 7919 >> 3);
        }
        const std::size_t whole = DecodeAll(sound, original).Frames();
        for (const auto& data : {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{0xFF},
                                 std::vector<std::uint8_t>(
                                     original.begin(), original.begin() + original.size() / 2 + 1),
                                 garbage}) {
            PcmBuffer pcm = DecodeAll(sound, data);
            EXPECT_LE(pcm.Frames(), 2 * whole + 4800);
        }
    }
}

// The last ADPCM block may stop short of 4096 samples; it gives exactly what it holds.
TEST(AudioDecoderTest, AShortLastAdpcmBlockGivesTheSamplesItHolds) {
    const Tone tone{22050, false, 8192};
    swf::Sound sound = EncodeSound(SoundFormat::Adpcm, tone);
    ASSERT_EQ(sound.data[0] >> 6, 2) << "4-bit codes";
    const std::size_t block = 22 + 4095 * 4;
    for (int extra : {1, 2, 1000, 4095}) {
        SCOPED_TRACE(extra);
        const std::size_t bits = 2 + block + 22 + static_cast<std::size_t>(extra - 1) * 4;
        const std::vector<std::uint8_t> data(
            sound.data.begin(), sound.data.begin() + static_cast<std::ptrdiff_t>((bits + 7) / 8));
        const PcmBuffer pcm = DecodeAll(sound, data);
        EXPECT_NEAR(static_cast<double>(pcm.Frames()), 2.0 * (4096 + extra), 2);
    }
}

TEST(AudioDecoderTest, UnknownFormatsAreRefusedWithAReason) {
    std::string error;
    AudioCoding coding;
    coding.format = static_cast<SoundFormat>(9);
    EXPECT_EQ(CreateAudioDecoder(coding, &error), nullptr);
    EXPECT_NE(error.find("unknown sound format 9"), std::string::npos) << error;
}

// An MP3 file as loadSound reads it: the ID3v2 tag and stray bytes before the first frame
// are skipped, rate, channels and length come from the frame headers.
TEST(AudioDecoderTest, Mp3FilesBecomeEventSounds) {
    struct Case {
        const char* name;
        Tone tone;
        std::vector<std::uint8_t> lead;  // before the first frame
        std::uint8_t rateCode;
    } cases[] = {
        {"bare, stereo 44 kHz", {44100, true, 44100}, {}, 3},
        {"ID3v2 tag, mono 22 kHz",
         {22050, false, 22050},
         {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 5, 'T', 'I', 'T', 'x', 0},
         2},
        {"junk before the frames, mono 11 kHz", {11025, false, 11025}, {1, 2, 3, 0xFF, 0}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto packets = testing::EncodePackets("libmp3lame", c.tone);
        ASSERT_FALSE(packets.empty());
        std::vector<std::uint8_t> file = c.lead;
        std::size_t frames = 0;
        for (const auto& p : packets) {
            file.insert(file.end(), p.begin(), p.end());
            ++frames;
        }
        std::string error;
        const auto sound = SoundFromMp3File(file, &error);
        ASSERT_TRUE(sound) << error;
        EXPECT_EQ(sound->format, SoundFormat::Mp3);
        EXPECT_EQ(sound->rate, c.rateCode);
        EXPECT_EQ(sound->stereo, c.tone.stereo);
        EXPECT_EQ(sound->sampleCount, frames * (c.tone.rate >= 32000 ? 1152 : 576));
        EXPECT_EQ(sound->data.size(), 2 + file.size() - c.lead.size()) << "starts at a frame";
        const PcmBuffer pcm = DecodeAll(*sound, Body(*sound));
        EXPECT_GE(pcm.Frames(),
                  ToMixFrames(static_cast<std::uint64_t>(c.tone.samples), c.tone.rate));
    }
    std::string error;
    const std::vector<std::uint8_t> text = {'n', 'o', 't', ' ', 'm', 'p', '3'};
    EXPECT_EQ(SoundFromMp3File(text, &error), nullptr);
    EXPECT_EQ(error, "no MP3 frame in the file");
}

std::vector<std::uint8_t> Id3Frame(const std::string& id, std::vector<std::uint8_t> body,
                                   bool synchsafe, std::uint8_t flags = 0) {
    std::vector<std::uint8_t> f(id.begin(), id.end());
    const auto n = static_cast<std::uint32_t>(body.size());
    for (int shift = 3; shift >= 0; --shift) {
        f.push_back(static_cast<std::uint8_t>(synchsafe ? n >> (7 * shift) & 0x7F
                                                        : n >> (8 * shift) & 0xFF));
    }
    f.push_back(0);
    f.push_back(flags);
    f.insert(f.end(), body.begin(), body.end());
    return f;
}

std::vector<std::uint8_t> Id3Tag(int version, const std::vector<std::vector<std::uint8_t>>& frames,
                                 std::size_t claimedExtra = 0) {
    std::vector<std::uint8_t> body;
    for (const auto& f : frames) {
        body.insert(body.end(), f.begin(), f.end());
    }
    const std::size_t n = body.size() + claimedExtra;
    std::vector<std::uint8_t> tag = {'I', 'D', '3', static_cast<std::uint8_t>(version), 0, 0};
    for (int shift = 3; shift >= 0; --shift) {
        tag.push_back(static_cast<std::uint8_t>(n >> (7 * shift) & 0x7F));
    }
    tag.insert(tag.end(), body.begin(), body.end());
    return tag;
}

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// The text frames and comments of an ID3 tag, whatever their encoding; what cannot be read
// is left out.
TEST(AudioDecoderTest, Id3TagsGiveTheirTextFrames) {
    auto with = [](std::uint8_t encoding, std::vector<std::uint8_t> text) {
        text.insert(text.begin(), encoding);
        return text;
    };
    const std::vector<std::uint8_t> utf16 = {0xFF, 0xFE, 'H', 0, 0xE9, 0, '!', 0, 0, 0};
    const std::vector<std::uint8_t> utf16be = {0, 'O', 0, 'k'};
    std::vector<std::uint8_t> comment = {0, 'e', 'n', 'g', 'd', 'e', 's', 'c', 0};
    const auto body = Bytes("a comment");
    comment.insert(comment.end(), body.begin(), body.end());
    const std::vector<std::uint8_t> latin1 = {'C', 'a', 'f', 0xE9};
    struct Case {
        const char* name;
        std::vector<std::uint8_t> file;
        std::vector<Id3Field> fields;
    } cases[] = {
        {"v2.3, each encoding",
         Id3Tag(3,
                {Id3Frame("TIT2", with(0, latin1), false), Id3Frame("TPE1", with(1, utf16), false),
                 Id3Frame("TALB", with(2, utf16be), false),
                 Id3Frame("TCON", with(3, Bytes("G\xC3\xA9nre")), false),
                 Id3Frame("COMM", comment, false)}),
         {{"TIT2", "Caf\xC3\xA9"},
          {"TPE1", "H\xC3\xA9!"},
          {"TALB", "Ok"},
          {"TCON", "G\xC3\xA9nre"},
          {"COMM", "a comment"}}},
        {"v2.4 synchsafe sizes, a frame of 200 bytes",
         Id3Tag(4, {Id3Frame("TIT2", with(3, std::vector<std::uint8_t>(200, 'x')), true),
                    Id3Frame("TYER", with(0, Bytes("1999")), true)}),
         {{"TIT2", std::string(200, 'x')}, {"TYER", "1999"}}},
        {"URLs, user frames and compressed frames left out",
         Id3Tag(3, {Id3Frame("WOAR", Bytes("http://x"), false),
                    Id3Frame("TXXX", with(0, Bytes("k\0v")), false),
                    Id3Frame("TIT2", with(0, Bytes("zip")), false, 0x80),
                    Id3Frame("TRCK", with(0, Bytes("2")), false)}),
         {{"TRCK", "2"}}},
        {"a frame longer than the tag ends it",
         Id3Tag(3, {Id3Frame("TRCK", with(0, Bytes("2")), false),
                    Id3Frame("TIT2", with(0, Bytes("cut")), false)}),
         {{"TRCK", "2"}}},
    };
    // The last case's tag claims less than its second frame holds.
    auto& cut = cases[3].file;
    cut[9] = static_cast<std::uint8_t>(cut[9] - 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto fields = ReadId3Tag(c.file);
        ASSERT_TRUE(fields);
        ASSERT_EQ(fields->size(), c.fields.size());
        for (std::size_t i = 0; i < c.fields.size(); ++i) {
            EXPECT_EQ((*fields)[i].id, c.fields[i].id);
            EXPECT_EQ((*fields)[i].text, c.fields[i].text);
        }
    }
    EXPECT_FALSE(ReadId3Tag(Bytes("no tag at all")));
    EXPECT_FALSE(ReadId3Tag(Id3Tag(2, {}))) << "v2.2 is not read";
}

TEST(AudioDecoderTest, MixFramesCountFiveAndAHalfKilohertzAsAnEighth) {
    EXPECT_EQ(ToMixFrames(1000, 5512), 8000u);
    EXPECT_EQ(ToMixFrames(1000, 11025), 4000u);
    EXPECT_EQ(ToMixFrames(1000, 16000), 2756u);
    EXPECT_EQ(ToMixFrames(1000, 0), 0u);
}

}  // namespace
}  // namespace flash::media
