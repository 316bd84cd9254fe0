// Reference movies of the corpus whose root timeline is shapes only, drawn through a minimal
// display list and compared with the images a mature player produced for them, within each
// case's own tolerance.
#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "flash/swf/movie.h"
#include "simple_stage.h"
#include "tovi/testing/files.h"

namespace flash::render {
namespace {

namespace fs = std::filesystem;

// What test.toml asks for (the few keys these cases use).
struct CaseSettings {
    int frames = 1;
    int tolerance = 0;
    long maxOutliers = 0;
    Quality quality = Quality::High;
};

CaseSettings ReadSettings(const fs::path& toml) {
    std::ifstream in(toml);
    std::stringstream text;
    text << in.rdbuf();
    const std::string s = text.str();
    CaseSettings c;
    std::smatch m;
    auto number = [&](const char* key, auto& out) {
        if (std::regex_search(s, m, std::regex(std::string(key) + R"(\s*=\s*(\d+))"))) {
            out = std::stoi(m[1]);
        }
    };
    number("num_frames", c.frames);
    number("tolerance", c.tolerance);
    number("max_outliers", c.maxOutliers);
    if (std::regex_search(s, m, std::regex(R"(quality\s*=\s*"(\w+)\")"))) {
        const std::string q = m[1];
        c.quality = q == "low" ? Quality::Low : q == "medium" ? Quality::Medium : Quality::High;
    }
    return c;
}

Rgba Straight(std::uint32_t p) {
    const unsigned a = p >> 24;
    if (a == 0) {
        return {0, 0, 0, 0};
    }
    auto un = [a](unsigned v) { return static_cast<std::uint8_t>((v * 255 + a / 2) / a); };
    return {un((p >> 16) & 0xFF), un((p >> 8) & 0xFF), un(p & 0xFF), static_cast<std::uint8_t>(a)};
}

// Straight RGBA of every pixel of a PNG.
std::vector<Rgba> ReadPng(const fs::path& file, int* width, int* height) {
    cairo_surface_t* png = cairo_image_surface_create_from_png(file.c_str());
    std::vector<Rgba> out;
    if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS) {
        *width = cairo_image_surface_get_width(png);
        *height = cairo_image_surface_get_height(png);
        const bool alpha = cairo_image_surface_get_format(png) == CAIRO_FORMAT_ARGB32;
        const int stride = cairo_image_surface_get_stride(png);
        const unsigned char* data = cairo_image_surface_get_data(png);
        for (int y = 0; y < *height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
            for (int x = 0; x < *width; ++x) {
                out.push_back(Straight(alpha ? row[x] : row[x] | 0xFF000000u));
            }
        }
    }
    cairo_surface_destroy(png);
    return out;
}

class CorpusImagesTest : public ::testing::TestWithParam<const char*> {};

TEST_P(CorpusImagesTest, MatchesTheExpectedImage) {
    const fs::path dir = tovi::testing::CorpusDir() / "visual" / GetParam();
    if (!fs::is_directory(dir)) {
        GTEST_SKIP() << "no corpus beside the source tree (set TOVI_CORPUS_DIR)";
    }
    const CaseSettings settings = ReadSettings(dir / "test.toml");
    int width = 0, height = 0;
    const std::vector<Rgba> expected = ReadPng(dir / "output.expected.png", &width, &height);
    ASSERT_FALSE(expected.empty());
    const swf::Movie movie = swf::LoadMovie(dir / "test.swf");
    const std::vector<std::uint32_t> actual =
        RenderMovieFrame(movie, settings.frames, width, height, settings.quality);
    long outliers = 0;
    int largest = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Rgba a = Straight(actual[i]), e = expected[i];
        const int d = std::max(
            {std::abs(a.r - e.r), std::abs(a.g - e.g), std::abs(a.b - e.b), std::abs(a.a - e.a)});
        largest = std::max(largest, d);
        outliers += d > settings.tolerance;
    }
    EXPECT_LE(outliers, settings.maxOutliers) << "largest difference " << largest;
}

INSTANTIATE_TEST_SUITE_P(ShapesOnly, CorpusImagesTest,
                         ::testing::Values("simple_shapes/winding_rule", "gradient_same_ratios",
                                           "gradient_radial_same_ratios",
                                           "color_transform_issue_9698"),
                         [](const auto& param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '/', '_');
                             return name;
                         });

}  // namespace
}  // namespace flash::render
