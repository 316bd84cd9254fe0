// flashrun: plays a movie without a window. Runs N frames (default 1), writes every trace line
// to standard output or a file, renders the last frame to PNG when asked, and with --info
// prints the movie's header figures as the eight stu_SwfInfo fields.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "flash/player/player.h"
#include "flash/swf/error.h"
#include "flash/swf/movie.h"
#include "flashrun_options.h"

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

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    std::optional<flashrun::Options> options =
        flashrun::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::fprintf(stderr, "flashrun: %s\n%s\n", error.c_str(), flashrun::kUsage);
        return flashrun::kExitBadArguments;
    }
    if (options->info) {
        int status = PrintInfo(options->movie);
        bool runAsWell =
            options->framesGiven || !options->png.empty() || !options->traceFile.empty();
        if (status != flashrun::kExitOk || !runAsWell) {
            return status;
        }
        std::fflush(stdout);
    }
    std::FILE* traceOut = stdout;
    if (!options->traceFile.empty()) {
        traceOut = std::fopen(options->traceFile.c_str(), "wb");
        if (traceOut == nullptr) {
            std::fprintf(stderr, "flashrun: cannot write %s\n", options->traceFile.c_str());
            return flashrun::kExitFailed;
        }
    }
    TraceWriter traces(traceOut);
    flash::Player player;
    player.SetListener(&traces);
    try {
        player.LoadMovie(0, options->movie);
    } catch (const flash::FlashError& e) {
        std::fprintf(stderr, "flashrun: %s\n", e.what());
        return flashrun::kExitBadMovie;
    }
    player.Play();
    for (int i = 0; i < options->frames; ++i) {
        player.Advance();
    }
    int status = flashrun::kExitOk;
    if (!options->png.empty()) {
        try {
            int w = options->width > 0 ? options->width : std::max(1, player.StageWidth());
            int h = options->height > 0 ? options->height : std::max(1, player.StageHeight());
            flash::Image image(w, h);
            player.Render(image);
            flash::WritePng(image, options->png);
        } catch (const flash::FlashError& e) {
            std::fprintf(stderr, "flashrun: %s\n", e.what());
            status = flashrun::kExitFailed;
        }
    }
    if (traceOut != stdout && std::fclose(traceOut) != 0) {
        std::fprintf(stderr, "flashrun: cannot write %s\n", options->traceFile.c_str());
        status = flashrun::kExitFailed;
    }
    return status;
}
