// Prints what FLV playback costs: CPU time per second of video for a 320x240 Sorenson H.263
// stream and a 1280x720 H.264 stream at 30 fps, decoded on the playback's worker and each new
// picture drawn scaled onto a 550x400 stage with Cairo, as the renderer draws video.
#include <cairo.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

#include "flash/media/audio_output.h"
#include "flash/media/flv_playback.h"
#include "flv_files.h"

namespace {

using namespace flash::media;

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void Draw(cairo_t* cr, const StreamPicture& p) {
    const flash::swf::Image& image = p.image;
    cairo_surface_t* s = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(image.pixels.data())),
        CAIRO_FORMAT_ARGB32, image.width, image.height, image.width * 4);
    cairo_save(cr);
    const double scale = std::min(550.0 / image.width, 400.0 / image.height);
    cairo_scale(cr, scale, scale);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(s);
}

void Run(const char* name, const testing::FlvRecipe& recipe) {
    const auto dir = std::filesystem::temp_directory_path() / "flv_bench";
    std::filesystem::create_directories(dir);
    const auto file = dir / (std::string(name) + ".flv");
    std::string log;
    if (!testing::MakeFlv(recipe, file, &log)) {
        std::printf("%s: cannot make the file: %s\n", name, log.c_str());
        return;
    }
    Mixer mixer([] { return std::make_unique<ManualOutput>(); }, false);
    cairo_surface_t* stage = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 550, 400);
    cairo_t* cr = cairo_create(stage);
    const double cpu = CpuSeconds();
    const auto wall = std::chrono::steady_clock::now();
    int drawn = 0;
    {
        FlvPlayback playback(FileOpener(file), mixer, {.audioClock = false});
        std::uint64_t serial = 0;
        while (!playback.Ended() && !playback.Failed()) {
            // The next frame's picture is waited for: the figure is the work, not the pace.
            const std::uint64_t before = playback.PictureSerial();
            playback.Tick(1.0 / recipe.fps);
            for (int i = 0; i < 2000 && playback.PictureSerial() == before && !playback.Ended();
                 ++i) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                playback.Tick(0);
            }
            if (playback.Picture() != nullptr && playback.PictureSerial() != serial) {
                serial = playback.PictureSerial();
                Draw(cr, *playback.Picture());
                ++drawn;
            }
        }
    }
    const double used = CpuSeconds() - cpu;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
    std::printf(
        "%-12s %4dx%-4d %2d fps: %4d pictures drawn, %.3f s CPU per second of video "
        "(%.0f%% of a core), %.2f s wall for %.0f s\n",
        name, recipe.width, recipe.height, recipe.fps, drawn, used / recipe.seconds,
        100 * used / recipe.seconds, elapsed, recipe.seconds);
    cairo_destroy(cr);
    cairo_surface_destroy(stage);
    std::filesystem::remove_all(dir);
}

}  // namespace

int main() {
    Run("flv1_320x240", {.video = "flv",
                         .width = 320,
                         .height = 240,
                         .fps = 30,
                         .seconds = 10,
                         .gop = 30,
                         .extra = "-b:v 500k"});
    Run("h264_1280x720", {.video = "libx264",
                          .width = 1280,
                          .height = 720,
                          .fps = 30,
                          .seconds = 10,
                          .gop = 60,
                          .x264Preset = "veryfast",
                          .extra = "-b:v 3M"});
    return 0;
}
