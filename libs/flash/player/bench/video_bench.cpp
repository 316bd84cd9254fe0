// Prints what Flash video costs through the engine: CPU time per second of video for a
// 320x240 Sorenson H.263 stream and a 1280x720 H.264 stream at 30 fps, played by a movie's
// NetStream into a Video the stage's size, each frame advanced and drawn (decoding on the
// stream's worker included, as the process's CPU time counts it).
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "flash/player/image.h"
#include "flash/player/player.h"
#include "flv_files.h"
#include "swfgen/script_writer.h"
#include "swfgen/tag_writer.h"

namespace {

using namespace swfgen;

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A stage of the video's size filled by a Video playing `file` at 30 fps.
Bytes VideoMovie(int width, int height) {
    MovieWriter m(8, flash::Rect{0, width * 20, 0, height * 20}, 30);
    flash::swf::VideoStream stream;
    stream.width = static_cast<std::uint16_t>(width);
    stream.height = static_cast<std::uint16_t>(height);
    stream.smoothing = true;
    m.DefineVideoStream(1, stream);
    Place video;
    video.characterId = 1;
    video.name = "v";
    m.PlaceObject2(video);
    ScriptWriter w;
    w.Set("nc", New("NetConnection"));
    w.Do(Call(Var("nc"), "connect", {Null()}));
    w.Set("ns", New("NetStream", {Var("nc")}));
    w.Do(Call(Var("v"), "attachVideo", {Var("ns")}));
    w.Do(Call(Var("ns"), "play", {Str("video.flv")}));
    w.Stop();
    m.DoAction(w.Build());
    m.ShowFrame();
    return m.Build();
}

void Run(const char* name, const flash::media::testing::FlvRecipe& recipe) {
    const auto dir = std::filesystem::temp_directory_path() / "video_bench";
    std::filesystem::create_directories(dir);
    std::string log;
    if (!flash::media::testing::MakeFlv(recipe, dir / "video.flv", &log)) {
        std::printf("%s: cannot make the file: %s\n", name, log.c_str());
        return;
    }
    flash::Player player;
    const Bytes movie = VideoMovie(recipe.width, recipe.height);
    player.LoadMovieBytes(0, {movie.begin(), movie.end()}, (dir / "movie.swf").string());
    player.Play();
    flash::Image image(recipe.width, recipe.height);
    const int frames = static_cast<int>(recipe.seconds * 30);
    const double cpu = CpuSeconds();
    const auto wall = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        player.Advance();
        player.Render(image);
    }
    const double used = CpuSeconds() - cpu;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
    std::printf(
        "%-14s %4dx%-4d 30 fps: %.3f s CPU per second of video (%.0f%% of a core), "
        "%.1f ms wall per frame\n",
        name, recipe.width, recipe.height, used / recipe.seconds, 100 * used / recipe.seconds,
        1000 * elapsed / frames);
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
