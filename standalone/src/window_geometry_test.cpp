#include "window_geometry.h"

#include <gtest/gtest.h>

namespace {

using standalone::FitToMovie;
using standalone::Rect;

TEST(PlayerLayoutTest, ControlAboveToolbarAndSlider) {
    const auto layout = standalone::LayoutFor(600, 400);
    EXPECT_EQ(layout.flash, (Rect{0, 0, 600, 370}));
    EXPECT_EQ(layout.toolbar, (Rect{5, 370, 110, 28}));
    EXPECT_EQ(layout.slider, (Rect{110, 374, 485, 24}));
}

TEST(PlayerLayoutTest, BarGrowsForLargerToolkitControls) {
    const auto layout = standalone::LayoutFor(600, 400, 132, 42, 34);
    EXPECT_EQ(layout.flash, (Rect{0, 0, 600, 356}));
    EXPECT_EQ(layout.toolbar, (Rect{5, 356, 132, 42}));
    EXPECT_EQ(layout.slider, (Rect{132, 360, 463, 38}));
}

// A window of 620 x 480 whose control shows 600 x 370, on a 1280 x 1024 screen.
TEST(FitToMovieTest, GrowsTheWindowByWhatTheControlNeeds) {
    EXPECT_EQ(FitToMovie(620, 480, 600, 370, 550, 400, 1280, 1024),
              (Rect{(1280 - 570) / 2, (1024 - 510) / 2, 570, 510}));
}

TEST(FitToMovieTest, SmallMovieGetsAtLeast320By240) {
    EXPECT_EQ(FitToMovie(620, 480, 600, 370, 100, 50, 1280, 1024),
              (Rect{(1280 - 340) / 2, (1024 - 350) / 2, 340, 350}));
}

TEST(FitToMovieTest, MovieLargerThanTheScreenFillsIt) {
    EXPECT_EQ(FitToMovie(620, 480, 600, 370, 4000, 3000, 1280, 1024), (Rect{0, 0, 1280, 1024}));
}

TEST(FitToMovieTest, UnknownSizeLeavesTheWindow) {
    EXPECT_FALSE(FitToMovie(620, 480, 600, 370, 0, 400, 1280, 1024));
    EXPECT_FALSE(FitToMovie(620, 480, 600, 370, 550, 0, 1280, 1024));
}

}  // namespace
