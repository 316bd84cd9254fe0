// The sound and video of the reference corpus movies, against what a mature player made of
// them: the embedded videos' one frame, shown at the stage's origin without a transform,
// against the stage image; the sounds by their length and content.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "flash/media/decoded_sound.h"
#include "flash/media/video.h"
#include "flash/swf/movie.h"
#include "tovi/testing/files.h"

namespace flash::media {
namespace {

namespace fs = std::filesystem;

std::vector<std::shared_ptr<const swf::Sound>> Sounds(const swf::Movie& movie) {
    std::vector<std::shared_ptr<const swf::Sound>> sounds;
    for (const auto& f : movie.frames) {
        for (const auto& tag : f.tags) {
            if (const auto* d = std::get_if<swf::DefineCharacter>(&tag)) {
                if (const auto* s = std::get_if<std::shared_ptr<const swf::Sound>>(&d->character)) {
                    sounds.push_back(*s);
                }
            }
        }
    }
    return sounds;
}

// An MP3 event sound (44.1 kHz mono) and a G.711 mu-law one (11 kHz, 8-bit) decode to their
// sample counts with sound in them.
TEST(SoundCorpusTest, EventSoundsDecodeToTheirLength) {
    const fs::path corpus = tovi::testing::CorpusDir();
    if (corpus.empty()) {
        GTEST_SKIP() << "no corpus beside the source tree (set TOVI_CORPUS_DIR)";
    }
    const struct {
        const char* movie;
        std::size_t frames;
        std::size_t tolerance;
    } cases[] = {{"avm1/depth_replacement_audio_unloading/child.swf", 43776, 0},
                 {"audio/g711_event_mulaw/test.swf", 800 * 4, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.movie);
        const auto sounds = Sounds(swf::LoadMovie(corpus / c.movie));
        ASSERT_EQ(sounds.size(), 1u);
        DecodedSound decoded;
        DecodeEventSound(*sounds[0], decoded);
        EXPECT_EQ(decoded.Error(), "");
        EXPECT_NEAR(static_cast<double>(decoded.Available()), static_cast<double>(c.frames),
                    static_cast<double>(c.tolerance));
        int peak = 0;
        for (std::size_t i = 0; i < decoded.Available(); ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(decoded.FrameAt(i)[0])));
            EXPECT_EQ(decoded.FrameAt(i)[0], decoded.FrameAt(i)[1]) << "mono on both channels";
        }
        EXPECT_GT(peak, 4000);
    }
}

struct Case {
    const char* folder;
    int tolerance;  // as the case's own image check allows
    int outliers;   // pixels beyond it
};

TEST(VideoCorpusTest, FramesMatchTheExpectedStage) {
    // One pixel of the H.263 picture comes out of FFmpeg's IDCT one unit darker.
    const Case cases[] = {
        {"colorconversion/h263", 0, 1}, {"colorconversion/vp6a", 1, 0}, {"vp6_dispsize", 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        const fs::path corpus = tovi::testing::CorpusDir();
        if (corpus.empty()) {
            GTEST_SKIP() << "no corpus beside the source tree (set TOVI_CORPUS_DIR)";
        }
        const auto dir = corpus / "visual/video" / c.folder;
        const swf::Movie movie = swf::LoadMovie(dir / "test.swf");
        std::shared_ptr<const swf::VideoStream> stream;
        const swf::VideoFrame* frame = nullptr;
        Rgba background{255, 255, 255, 255};
        for (const auto& f : movie.frames) {
            for (const auto& tag : f.tags) {
                if (const auto* d = std::get_if<swf::DefineCharacter>(&tag)) {
                    if (const auto* v =
                            std::get_if<std::shared_ptr<const swf::VideoStream>>(&d->character)) {
                        stream = *v;
                    }
                } else if (const auto* v = std::get_if<swf::VideoFrame>(&tag)) {
                    frame = v;
                } else if (const auto* b = std::get_if<swf::SetBackgroundColor>(&tag)) {
                    background = b->color;
                }
            }
        }
        ASSERT_TRUE(stream && frame);
        VideoTrack track(*stream);
        track.AddFrame(frame->frameNumber, frame->data);
        const VideoPicture* picture = track.Picture(0);
        ASSERT_NE(picture, nullptr) << track.LastError();

        cairo_surface_t* png =
            cairo_image_surface_create_from_png((dir / "output.expected.png").c_str());
        ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
        const int width = cairo_image_surface_get_width(png);
        const int height = cairo_image_surface_get_height(png);
        const int stride = cairo_image_surface_get_stride(png);
        const auto* data = cairo_image_surface_get_data(png);
        ASSERT_EQ(picture->image.width, width);
        ASSERT_EQ(picture->image.height, height);
        int outliers = 0;
        int worst = 0;
        for (int y = 0; y < height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
            for (int x = 0; x < width; ++x) {
                const std::uint32_t got =
                    picture->image.pixels[static_cast<std::size_t>(y * width + x)];
                const std::uint32_t a = got >> 24;
                const int bg[3] = {background.b, background.g, background.r};
                int diff = 0;
                for (int ch = 0; ch < 3; ++ch) {
                    // Premultiplied over the opaque stage colour.
                    const int v =
                        static_cast<int>((got >> (8 * ch) & 0xFF) +
                                         (255 - a) * static_cast<std::uint32_t>(bg[ch]) / 255);
                    diff =
                        std::max(diff, std::abs(v - static_cast<int>(row[x] >> (8 * ch) & 0xFF)));
                }
                worst = std::max(worst, diff);
                outliers += diff > c.tolerance;
            }
        }
        cairo_surface_destroy(png);
        EXPECT_LE(outliers, c.outliers) << "worst difference " << worst;
    }
}

}  // namespace
}  // namespace flash::media
