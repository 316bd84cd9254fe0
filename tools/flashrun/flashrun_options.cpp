#include "flashrun_options.h"

#include <charconv>

namespace flashrun {

const char* const kUsage =
    "usage: flashrun [options] MOVIE\n"
    "Plays MOVIE without a window, the way the corpus runner plays a case.\n"
    "  --frames N         run N frames (default 1)\n"
    "  --input PATH       replay an input.json: after each frame, its events up to the next\n"
    "                     Wait\n"
    "  --trace-file PATH  write the trace output to PATH instead of standard output\n"
    "  --png PATH         write the last frame to PATH as PNG\n"
    "  --width W --height H\n"
    "                     show the movie in a view of W x H pixels (default: the stage size);\n"
    "                     input positions and pictures are pixels of it\n"
    "  --render-all       render every frame, not only the last (for timing the renderer)\n"
    "  --info             print the movie's header figures; runs the movie only when other\n"
    "                     options ask for it\n"
    "  --help             print this text\n"
    "exit codes: 0 done, 1 an output could not be written, 2 bad arguments or input file,\n"
    "3 the movie cannot be read\n";

namespace {

bool ParseCount(const std::string& text, int min, int max, int& out) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max) {
        return false;
    }
    out = value;
    return true;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto next = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string value;
        if (arg == "--frames") {
            if (!next(value)) {
                return std::nullopt;
            }
            if (!ParseCount(value, 1, 10'000'000, o.frames)) {
                error = "--frames takes a whole number from 1";
                return std::nullopt;
            }
            o.framesGiven = true;
        } else if (arg == "--trace-file") {
            if (!next(o.traceFile)) {
                return std::nullopt;
            }
        } else if (arg == "--png") {
            if (!next(o.png)) {
                return std::nullopt;
            }
        } else if (arg == "--width" || arg == "--height") {
            if (!next(value)) {
                return std::nullopt;
            }
            if (!ParseCount(value, 1, 16384, arg == "--width" ? o.width : o.height)) {
                error = arg + " takes a size from 1 to 16384";
                return std::nullopt;
            }
        } else if (arg == "--input") {
            if (!next(o.input)) {
                return std::nullopt;
            }
        } else if (arg == "--render-all") {
            o.renderAll = true;
        } else if (arg == "--info") {
            o.info = true;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
            return o;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return std::nullopt;
        } else if (o.movie.empty()) {
            o.movie = arg;
        } else {
            error = "more than one movie given";
            return std::nullopt;
        }
    }
    if (o.movie.empty()) {
        error = "no movie given";
        return std::nullopt;
    }
    if ((o.width == 0) != (o.height == 0)) {
        error = "--width and --height go together";
        return std::nullopt;
    }
    return o;
}

}  // namespace flashrun
