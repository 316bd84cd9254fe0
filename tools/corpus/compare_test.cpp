#include "compare.h"

#include <gtest/gtest.h>

namespace corpus {
namespace {

TEST(CompareOutputTest, LineByLine) {
    Approximations none;
    Approximations bare{true, 0.05, true, {}};
    Approximations pattern{true, 1e-3, false, {"angle=([\\d.]+)"}};
    struct Case {
        const char* expected;
        const char* actual;
        const Approximations& approx;
        bool equal;
        std::size_t line;
    } cases[] = {
        {"a\nb\n", "a\nb\n", none, true, 0},
        {"a\r\nb\r\n", "a\nb", none, true, 0},
        {"a\nb\n\nc\n", "a\rb\r\n\nc\n", none, true, 0},
        {"a\nb\n", "a\nc\n", none, false, 1},
        {"a\nb\n", "a\n", none, false, 1},
        {"a\n", "a\nextra\n", none, false, 1},
        {"1.25\n", "1.26\n", none, false, 0},
        {"1.25\n", "1.26\n", bare, true, 0},
        {"1.25\n", "1.5\n", bare, false, 0},
        {"NaN\n", "NaN\n", bare, true, 0},
        {"x 1.25\n", "x 1.26\n", bare, false, 0},
        {"angle=0.7854 q\n", "angle=0.78541 q\n", pattern, true, 0},
        {"angle=0.7854 q\n", "angle=0.78541 r\n", pattern, false, 0},
        {"angle=0.7854\n", "angle=0.9\n", pattern, false, 0},
    };
    for (const auto& c : cases) {
        TextDiff d = CompareOutput(c.expected, c.actual, c.approx);
        EXPECT_EQ(d.equal, c.equal) << c.expected << " vs " << c.actual;
        if (!c.equal) {
            EXPECT_EQ(d.firstDifference, c.line) << c.expected;
        }
    }
}

TEST(CompareImagesTest, ToleranceAndOutliers) {
    flash::Image expected(4, 1, 0xFF808080);
    flash::Image actual = expected;
    actual.SetPixel(0, 0, 0xFF848080);  // off by 4
    actual.SetPixel(1, 0, 0xFFFF8080);  // off by 127
    EXPECT_FALSE(CompareImages(expected, actual, {{0, 0}}).passed);
    EXPECT_FALSE(CompareImages(expected, actual, {{4, 0}}).passed);
    EXPECT_TRUE(CompareImages(expected, actual, {{4, 1}}).passed);
    EXPECT_TRUE(CompareImages(expected, actual, {{127, 0}}).passed);
    // Every check must hold.
    EXPECT_FALSE(CompareImages(expected, actual, {{0, 2}, {4, 0}}).passed);
    ImageDiff d = CompareImages(expected, actual, {{0, 1}});
    EXPECT_EQ(d.outliers, 2);
    EXPECT_EQ(d.maxDifference, 127);
    EXPECT_FALSE(CompareImages(expected, flash::Image(3, 1), {{255, 100}}).passed);
}

}  // namespace
}  // namespace corpus
