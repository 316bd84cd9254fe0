#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "corpus_case.h"

namespace corpus {

struct CaseResult {
    bool passed = false;
    std::string summary;       // one line: why it failed
    std::string details;       // more lines for a verbose run
    std::string actualOutput;  // the trace output of the run
};

struct RunOptions {
    // When set, actual images are written there as NAME.actual.png.
    std::filesystem::path imageDir;
};

// Runs one case in this process: loads the movie, plays it for the case's frames, and
// compares the trace output and the images.
CaseResult RunCase(const CorpusCase& c, const RunOptions& options = {});

// Runs one case in a child process with a time limit, so a crash or a hang of one movie
// fails that case only.
CaseResult RunCaseIsolated(const CorpusCase& c, int timeoutSeconds, const RunOptions& options = {});

}  // namespace corpus
