#pragma once

#include <optional>
#include <string>
#include <vector>

namespace flashrun {

// Exit codes other tools rely on.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;        // an output could not be written
inline constexpr int kExitBadArguments = 2;  // also an input file that cannot be replayed
inline constexpr int kExitBadMovie = 3;

struct Options {
    int frames = 1;
    bool framesGiven = false;
    std::string traceFile;  // empty: standard output
    std::string png;        // empty: no picture
    std::string input;      // input.json to replay; empty: none
    int width = 0;          // 0: the stage size
    int height = 0;
    bool renderAll = false;  // render every frame, not only the one written
    bool info = false;
    bool help = false;
    std::string movie;

    // Whether to play the movie (with --info alone only the header is printed).
    bool RunsMovie() const {
        return !info || framesGiven || !png.empty() || !traceFile.empty() || !input.empty() ||
               renderAll;
    }
};

// Reads the arguments kUsage lists; on bad arguments returns nothing and sets `error`.
// With --help nothing else is needed.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

// The usage text with every option, one a line.
extern const char* const kUsage;

}  // namespace flashrun
