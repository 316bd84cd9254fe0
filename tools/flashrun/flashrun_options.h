#pragma once

#include <optional>
#include <string>
#include <vector>

namespace flashrun {

// Exit codes other tools rely on.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // an output could not be written
inline constexpr int kExitBadArguments = 2;
inline constexpr int kExitBadMovie = 3;

struct Options {
    int frames = 1;
    bool framesGiven = false;
    std::string traceFile;  // empty: standard output
    std::string png;        // empty: no picture
    int width = 0;          // 0: the stage size
    int height = 0;
    bool info = false;
    std::string movie;
};

// Reads `flashrun [--frames N] [--trace-file PATH] [--png PATH] [--width W --height H]
// [--info] MOVIE`; on bad arguments returns nothing and sets `error`.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

extern const char* const kUsage;

}  // namespace flashrun
