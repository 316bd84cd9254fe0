#include "flash/media/video.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "signals.h"

namespace flash::media {
namespace {

using swf::VideoCodec;

struct Generated {
    const char* encoder;
    VideoCodec codec;
    int tolerance;  // per channel, lossy codecs
    int frames;     // FFmpeg's own screen video 2 decoder takes only the keyframes of its encoder
};

constexpr int kFrames = 12;

constexpr Generated kGenerated[] = {{"flv", VideoCodec::SorensonH263, 40, kFrames},
                                    {"flashsv", VideoCodec::ScreenVideo, 0, kFrames},
                                    {"flashsv2", VideoCodec::ScreenVideo2, 8, 1}};

constexpr int kWidth = 96;
constexpr int kHeight = 64;

// A track over encoded packets; the packets stay alive beside it.
struct Track {
    std::vector<testing::VideoPacket> packets;
    std::unique_ptr<VideoTrack> track;
};

Track MakeTrack(const Generated& g, int gop) {
    Track t;
    t.packets = testing::EncodeVideo(g.encoder, kWidth, kHeight, kFrames, gop);
    swf::VideoStream stream;
    stream.codec = g.codec;
    stream.width = kWidth;
    stream.height = kHeight;
    stream.frameCount = kFrames;
    stream.smoothing = true;
    t.track = std::make_unique<VideoTrack>(stream);
    for (std::size_t i = 0; i < t.packets.size(); ++i) {
        t.track->AddFrame(static_cast<int>(i), t.packets[i].data);
    }
    return t;
}

int ChannelDistance(std::uint32_t argb, const std::uint8_t* bgra) {
    int worst = 0;
    for (int c = 0; c < 4; ++c) {
        const int a = static_cast<int>(argb >> (8 * c) & 0xFF);
        worst = std::max(worst, std::abs(a - bgra[c]));
    }
    return worst;
}

// Each codec shows the picture it was given, in ARGB32, with the stream's flags.
TEST(VideoTest, GeneratedStreamsDecodeToTheirPictures) {
    for (const Generated& g : kGenerated) {
        SCOPED_TRACE(g.encoder);
        Track t = MakeTrack(g, 4);
        ASSERT_EQ(t.packets.size(), static_cast<std::size_t>(kFrames));
        for (int f = 0; f < g.frames; ++f) {
            const VideoPicture* p = t.track->Picture(f);
            ASSERT_NE(p, nullptr) << t.track->LastError();
            EXPECT_EQ(p->frame, f);
            EXPECT_TRUE(p->smoothing);
            ASSERT_EQ(p->image.width, kWidth);
            ASSERT_EQ(p->image.height, kHeight);
            const auto expected = testing::TestPicture(kWidth, kHeight, f);
            // Points inside the square, the bars and the background, away from edges.
            for (auto [x, y] : {std::pair{14 + 2 * f, 24},
                                {34 + 2 * f, 40},
                                {4, kHeight - 14},
                                {kWidth - 16, 20},
                                {60, 4}}) {
                const std::size_t i = static_cast<std::size_t>(y) * kWidth + x;
                EXPECT_LE(ChannelDistance(p->image.pixels[i], &expected[i * 4]), g.tolerance)
                    << "frame " << f << " at " << x << "," << y;
            }
        }
    }
}

// Any frame can be shown in any order: a seek decodes from the keyframe before it and gives
// what playing through gives.
TEST(VideoTest, SeekingDecodesFromTheKeyframeBefore) {
    for (const Generated& g : kGenerated) {
        if (g.frames < kFrames) {
            continue;
        }
        SCOPED_TRACE(g.encoder);
        Track straight = MakeTrack(g, 5);
        std::vector<std::vector<std::uint32_t>> expected;
        for (int f = 0; f < kFrames; ++f) {
            expected.push_back(straight.track->Picture(f)->image.pixels);
        }
        Track seeking = MakeTrack(g, 5);
        for (int f : {7, 3, 11, 10, 0, 6, 6, 5, 9}) {
            const VideoPicture* p = seeking.track->Picture(f);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->image.pixels, expected[static_cast<std::size_t>(f)]) << "frame " << f;
        }
    }
}

TEST(VideoTest, KeyframesAreToldFromThePackets) {
    for (const Generated& g : kGenerated) {
        if (g.codec == VideoCodec::ScreenVideo2) {
            continue;  // only its first frame counts
        }
        SCOPED_TRACE(g.encoder);
        const auto packets = testing::EncodeVideo(g.encoder, kWidth, kHeight, kFrames, 4);
        for (std::size_t i = 0; i < packets.size(); ++i) {
            // Screen video's interframes may happen to carry every block; then they stand alone.
            if (g.codec == VideoCodec::ScreenVideo && !packets[i].key) {
                continue;
            }
            EXPECT_EQ(IsKeyframe(g.codec, packets[i].data), packets[i].key) << i;
        }
    }
    const std::uint8_t vp6Key[] = {0x00, 0x50, 0x0d, 0x64};
    const std::uint8_t vp6Inter[] = {0x80, 0x50};
    EXPECT_TRUE(IsKeyframe(VideoCodec::Vp6, vp6Key));
    EXPECT_FALSE(IsKeyframe(VideoCodec::Vp6, vp6Inter));
    const std::uint8_t vp6aKey[] = {0x00, 0x12, 0x34, 0x00, 0x50};
    EXPECT_TRUE(IsKeyframe(VideoCodec::Vp6Alpha, vp6aKey));
    const std::uint8_t flvKey[] = {0x21, 0x00, 0x50};
    EXPECT_TRUE(IsKeyframe(VideoCodec::Vp6, flvKey, VideoPacking::Flv));
    EXPECT_FALSE(IsKeyframe(VideoCodec::SorensonH263, {}));
}

TEST(VideoTest, FramesWithoutDataShowTheLastOneBefore) {
    Track t = MakeTrack(kGenerated[0], 4);
    swf::VideoStream stream;
    stream.codec = VideoCodec::SorensonH263;
    VideoTrack sparse(stream);
    sparse.AddFrame(2, t.packets[0].data);
    sparse.AddFrame(5, t.packets[1].data);
    EXPECT_EQ(sparse.Picture(1), nullptr);
    ASSERT_NE(sparse.Picture(3), nullptr);
    EXPECT_EQ(sparse.Picture(3)->frame, 2);
    EXPECT_EQ(sparse.Picture(40)->frame, 5);
}

TEST(VideoTest, DamagedFramesAndUnknownCodecsFailWithAReason) {
    swf::VideoStream stream;
    stream.codec = static_cast<VideoCodec>(9);
    VideoTrack unknown(stream);
    const std::uint8_t bytes[] = {1, 2, 3, 4, 5, 6, 7, 8};
    unknown.AddFrame(0, bytes);
    EXPECT_EQ(unknown.Picture(0), nullptr);
    EXPECT_NE(unknown.LastError().find("unknown video codec 9"), std::string::npos);

    for (const Generated& g : kGenerated) {
        SCOPED_TRACE(g.encoder);
        Track t = MakeTrack(g, 4);
        std::vector<std::uint8_t> cut(t.packets[0].data.begin(),
                                      t.packets[0].data.begin() + t.packets[0].data.size() / 3);
        std::vector<std::uint8_t> garbage(500);
        for (std::size_t i = 0; i < garbage.size(); ++i) {
            garbage[i] = static_cast<std::uint8_t>(i * 131 + 7);
        }
        stream.codec = g.codec;
        VideoTrack damaged(stream);
        damaged.AddFrame(0, cut);
        damaged.AddFrame(1, garbage);
        damaged.AddFrame(2, {});
        for (int f = 0; f < 3; ++f) {
            damaged.Picture(f);  // what comes out does not matter; nothing may crash
        }
    }
}

}  // namespace
}  // namespace flash::media
