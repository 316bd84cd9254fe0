#pragma once

#include <string>
#include <vector>

#include "corpus_case.h"
#include "flash/player/image.h"

namespace corpus {

// Splits trace output into lines; a final line break ends the last line, "\r\n" counts as one.
std::vector<std::string> SplitLines(const std::string& text);

struct TextDiff {
    bool equal = true;
    std::size_t firstDifference = 0;  // 0-based line index
    std::string expected;             // that line on each side ("<missing>" past the end)
    std::string actual;
};

// Compares trace output line by line; with approximations, numbers (whole lines that are
// numbers, or the groups of the number patterns) may differ by at most epsilon.
TextDiff CompareOutput(const std::string& expected, const std::string& actual,
                       const Approximations& approximations);

struct ImageDiff {
    bool sizeMatches = true;
    long outliers = 0;  // pixels beyond the tolerance of the failing check
    int maxDifference = 0;
    bool passed = true;
};

// Compares two images by the checks (all must hold); pixels compare as straight RGBA.
ImageDiff CompareImages(const flash::Image& expected, const flash::Image& actual,
                        const std::vector<ImageCheck>& checks);

}  // namespace corpus
