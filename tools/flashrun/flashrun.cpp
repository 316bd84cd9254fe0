// flashrun: plays a movie without a window, the way the corpus runner plays a case. Runs N
// frames (default 1), replays an input.json after each frame, writes every trace line to
// standard output or a file, renders the last frame (or every frame) and writes it as PNG
// when asked, and with --info prints the movie's header figures as the eight stu_SwfInfo
// fields.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "flash/player/player.h"
#include "flash/swf/error.h"
#include "flash/swf/movie.h"
#include "flashrun_options.h"
#include "input_replay.h"

namespace {

class TraceWriter : public flash::PlayerListener {
  public:
    explicit TraceWriter(std::FILE* out) : out_(out) {}
    void OnTrace(const std::string& line) override {
        std::fwrite(line.data(), 1, line.size(), out_);
        std::fputc('\n', out_);
    }

  private:
    std::FILE* out_;
};

// The header figures as GetSwfInfo defines them, taken from the decompressed header (so
// compressed movies give their real figures too).
int PrintInfo(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "flashrun: cannot open %s\n", file.c_str());
        return flashrun::kExitBadMovie;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    flash::swf::Header h;
    try {
        h = flash::swf::ParseHeader(bytes);
    } catch (const flash::swf::ParseError& e) {
        std::fprintf(stderr, "flashrun: %s: not a Flash movie: %s\n", file.c_str(), e.what());
        return flashrun::kExitBadMovie;
    }
    int rate = h.frameRate >> 8;
    std::printf(
        "nWidth=%d\nnHeight=%d\nnFrameCount=%d\nnFrameRate=%d\nnVersion=%d\n"
        "nDuration=%d\nnFileLength=%d\nbCompressed=%d\n",
        h.frameSize.xmax / 20 - h.frameSize.xmin / 20,
        h.frameSize.ymax / 20 - h.frameSize.ymin / 20, int{h.frameCount}, rate, int{h.version},
        rate > 0 ? h.frameCount / rate : 0, static_cast<std::int32_t>(h.fileLength),
        h.compression == flash::swf::Compression::None ? 0 : 1);
    return flashrun::kExitOk;
}

// Events of the input that reached no player call, so a run that could not replay all of its
// input says so.
void ReportSkipped(const replay::ReplayRun& run) {
    if (run.Skipped().empty()) {
        return;
    }
    std::string list;
    for (const auto& [name, count] : run.Skipped()) {
        list += (list.empty() ? "" : ", ") + std::to_string(count) + " " + name;
    }
    std::fprintf(stderr, "flashrun: not replayed, the player has no call for them: %s\n",
                 list.c_str());
}

// Loads and plays the movie, rendering the frames asked for; writes the last one as PNG.
int Play(const flashrun::Options& o, std::vector<replay::InputEvent> events, std::FILE* traceOut) {
    TraceWriter traces(traceOut);
    flash::Player player;
    player.SetListener(&traces);
    try {
        player.LoadMovie(0, o.movie);
    } catch (const flash::FlashError& e) {
        std::fprintf(stderr, "flashrun: %s\n", e.what());
        return flashrun::kExitBadMovie;
    }
    player.Play();
    replay::ReplayRun run(player, std::move(events), o.width, o.height);
    std::optional<flash::Image> image;
    try {
        for (int i = 0; i < o.frames; ++i) {
            run.NextFrame();
            if (o.renderAll || (!o.png.empty() && i + 1 == o.frames)) {
                if (!image) {
                    image.emplace(run.Width(), run.Height());
                }
                // As the window draws: only what changed since the last frame.
                player.RenderChanges(*image);
            }
        }
        ReportSkipped(run);
        if (!o.png.empty()) {
            flash::WritePng(*image, o.png);
        }
    } catch (const flash::FlashError& e) {
        std::fprintf(stderr, "flashrun: %s\n", e.what());
        return flashrun::kExitFailed;
    }
    return flashrun::kExitOk;
}

int Run(const flashrun::Options& o) {
    std::vector<replay::InputEvent> events;
    if (!o.input.empty()) {
        try {
            events = replay::ReadInputFile(o.input);
        } catch (const replay::InputError& e) {
            std::fprintf(stderr, "flashrun: %s\n", e.what());
            return flashrun::kExitBadArguments;
        }
    }
    std::FILE* traceOut = stdout;
    if (!o.traceFile.empty()) {
        traceOut = std::fopen(o.traceFile.c_str(), "wb");
        if (traceOut == nullptr) {
            std::fprintf(stderr, "flashrun: cannot write %s\n", o.traceFile.c_str());
            return flashrun::kExitFailed;
        }
    }
    int status = Play(o, std::move(events), traceOut);
    if (traceOut != stdout && std::fclose(traceOut) != 0) {
        std::fprintf(stderr, "flashrun: cannot write %s\n", o.traceFile.c_str());
        status = status == flashrun::kExitOk ? flashrun::kExitFailed : status;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::optional<flashrun::Options> options =
        flashrun::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "flashrun: %s\n%s", error.c_str(), flashrun::kUsage);
        return flashrun::kExitBadArguments;
    }
    if (options->help) {
        std::printf("%s", flashrun::kUsage);
        return flashrun::kExitOk;
    }
    if (options->info) {
        int status = PrintInfo(options->movie);
        if (status != flashrun::kExitOk || !options->RunsMovie()) {
            return status;
        }
        std::fflush(stdout);
    }
    return Run(*options);
}
