#include "compare.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <regex>

namespace corpus {

// Lines end at LF, CR LF or a lone CR (the expected files were written with any of them).
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (end < text.size() && text[end] == '\r' && start < text.size() && text[start] == '\n') {
            ++start;
        }
    }
    return lines;
}

namespace {

bool ParseWholeNumber(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

bool Near(double a, double b, double epsilon) {
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b);
    }
    return a == b || std::fabs(a - b) <= epsilon;
}

// Lines equal once the pattern groups are read as numbers and compared within epsilon.
bool MatchWithPatterns(const std::string& expected, const std::string& actual,
                       const Approximations& approx) {
    for (const auto& pattern : approx.numberPatterns) {
        std::regex re;
        try {
            re = std::regex(pattern);
        } catch (const std::regex_error&) {
            continue;
        }
        std::sregex_iterator e(expected.begin(), expected.end(), re),
            a(actual.begin(), actual.end(), re);
        std::sregex_iterator none;
        bool any = false;
        std::string expectedRest, actualRest;
        std::size_t expectedPos = 0, actualPos = 0;
        for (; e != none && a != none; ++e, ++a) {
            any = true;
            for (std::size_t g = 1; g < e->size() && g < a->size(); ++g) {
                double x = 0, y = 0;
                if (!ParseWholeNumber((*e)[g].str(), x) || !ParseWholeNumber((*a)[g].str(), y) ||
                    !Near(x, y, approx.epsilon)) {
                    return false;
                }
            }
            expectedRest += expected.substr(expectedPos, e->position() - expectedPos);
            actualRest += actual.substr(actualPos, a->position() - actualPos);
            expectedPos = e->position() + e->length();
            actualPos = a->position() + a->length();
        }
        if (any && e == none && a == none) {
            expectedRest += expected.substr(expectedPos);
            actualRest += actual.substr(actualPos);
            if (expectedRest == actualRest) {
                return true;
            }
        }
    }
    return false;
}

bool LinesMatch(const std::string& expected, const std::string& actual,
                const Approximations& approx) {
    if (expected == actual) {
        return true;
    }
    if (!approx.enabled) {
        return false;
    }
    double x = 0, y = 0;
    if (approx.bareNumbers && ParseWholeNumber(expected, x) && ParseWholeNumber(actual, y)) {
        return Near(x, y, approx.epsilon);
    }
    return MatchWithPatterns(expected, actual, approx);
}

}  // namespace

TextDiff CompareOutput(const std::string& expected, const std::string& actual,
                       const Approximations& approximations) {
    std::vector<std::string> e = SplitLines(expected), a = SplitLines(actual);
    TextDiff diff;
    std::size_t n = std::max(e.size(), a.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (i < e.size() && i < a.size() && LinesMatch(e[i], a[i], approximations)) {
            continue;
        }
        diff.equal = false;
        diff.firstDifference = i;
        diff.expected = i < e.size() ? e[i] : "<missing>";
        diff.actual = i < a.size() ? a[i] : "<missing>";
        break;
    }
    return diff;
}

ImageDiff CompareImages(const flash::Image& expected, const flash::Image& actual,
                        const std::vector<ImageCheck>& checks) {
    ImageDiff diff;
    if (expected.Width() != actual.Width() || expected.Height() != actual.Height()) {
        diff.sizeMatches = false;
        diff.passed = false;
        return diff;
    }
    std::vector<int> differences;
    differences.reserve(static_cast<std::size_t>(expected.Width()) * expected.Height());
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < expected.Width(); ++x) {
            flash::StraightRgba p = flash::Unpremultiply(expected.Pixel(x, y));
            flash::StraightRgba q = flash::Unpremultiply(actual.Pixel(x, y));
            int d = std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b),
                              std::abs(p.a - q.a)});
            differences.push_back(d);
            diff.maxDifference = std::max(diff.maxDifference, d);
        }
    }
    for (const auto& check : checks) {
        long outliers = std::count_if(differences.begin(), differences.end(),
                                      [&](int d) { return d > check.tolerance; });
        if (outliers > check.maxOutliers) {
            diff.passed = false;
            diff.outliers = outliers;
            return diff;
        }
        diff.outliers = std::max(diff.outliers, outliers);
    }
    return diff;
}

}  // namespace corpus
