#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace corpus {

// One pixel check of an image comparison: at most `maxOutliers` pixels may differ by more
// than `tolerance` in any channel.
struct ImageCheck {
    int tolerance = 0;
    long maxOutliers = 0;
};

struct ImageComparison {
    std::string name;            // "output": compared with "output.expected.png"
    std::optional<int> trigger;  // taken after this frame (1-based); otherwise after the run
    std::vector<ImageCheck> checks;
};

struct Approximations {
    bool enabled = false;
    double epsilon = 0.0;
    bool bareNumbers = false;                 // a line that is only a number
    std::vector<std::string> numberPatterns;  // regular expressions whose groups are numbers
};

// How one case of the reference corpus runs and what it expects (its test.toml).
struct CorpusCase {
    std::filesystem::path dir;
    std::string name;   // path relative to the corpus root, with '/'
    std::string group;  // first folder of the name
    int frames = 1;     // num_frames or num_ticks
    bool knownFailure = false;
    std::vector<ImageComparison> images;
    bool rendererRequired = false;  // with_renderer without optional = true
    std::string quality = "high";
    int viewportWidth = 0;  // 0: the stage size
    int viewportHeight = 0;
    double scaleFactor = 1.0;  // device pixels per screen pixel of the viewport's screen
    bool withAudio = false;
    bool withVideo = false;
    bool hasInput = false;       // input.json present
    bool logFetch = false;       // the loads the movie asks for join the trace output
    bool actionScript3 = false;  // the movie's FileAttributes ask for ActionScript 3
    Approximations approximations;
};

// Reads a case folder; throws std::runtime_error when test.toml is missing or unreadable.
CorpusCase LoadCase(const std::filesystem::path& root, const std::filesystem::path& dir);

// Every folder under root that holds a test.toml, sorted by name.
std::vector<std::filesystem::path> FindCases(const std::filesystem::path& root);

}  // namespace corpus
