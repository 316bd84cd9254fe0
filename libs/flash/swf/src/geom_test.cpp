#include "flash/geom.h"

#include <gtest/gtest.h>

namespace flash {
namespace {

TEST(MatrixTest, ProductAppliesTheRightFactorFirst) {
    const Matrix scale = Matrix::Scale(2, 3);
    const Matrix move = Matrix::Translate(10, -5);
    EXPECT_EQ((move * scale).Apply(Point{1, 1}), (Point{12, -2}));
    EXPECT_EQ((scale * move).Apply(Point{1, 1}), (Point{22, -12}));
}

TEST(MatrixTest, InverseUndoesAndSingularHasNone) {
    const Matrix m{0.5, 0.25, -1, 2, 100, -40};
    const auto inv = m.Inverted();
    ASSERT_TRUE(inv.has_value());
    const Point p = (*inv * m).Apply(Point{7, -3});
    EXPECT_NEAR(p.x, 7, 1e-9);
    EXPECT_NEAR(p.y, -3, 1e-9);
    EXPECT_FALSE((Matrix{1, 2, 2, 4, 0, 0}.Inverted().has_value()));
}

TEST(MatrixTest, RectTransformIsTheBoxOfTheCorners) {
    const Matrix rotate90{0, 1, -1, 0, 0, 0};
    EXPECT_EQ(rotate90.Apply(Rect{0, 20, 0, 10}), (Rect{-10, 0, 0, 20}));
    const Rect empty{5, 0, 5, 0};
    EXPECT_EQ(Matrix::Scale(2, 2).Apply(empty), empty);
}

TEST(ColorTransformTest, ClampsAndConcatenates) {
    const ColorTransform half{0.5, 0.5, 0.5, 0.5, 0, 0, 0, 0};
    const ColorTransform add{1, 1, 1, 1, 200, -300, 10, 0};
    const Rgba c{200, 100, 50, 255};
    EXPECT_EQ(add.Apply(c), (Rgba{255, 0, 60, 255}));
    EXPECT_EQ(half.Apply(c), (Rgba{100, 50, 25, 127}));
    // Unclamped steps agree with the concatenation.
    const ColorTransform both = half * add;
    EXPECT_EQ(both.Apply(Rgba{10, 20, 30, 40}), half.Apply(add.Apply(Rgba{10, 20, 30, 40})));
    EXPECT_TRUE(ColorTransform{}.IsIdentity());
    EXPECT_FALSE(half.IsIdentity());
}

}  // namespace
}  // namespace flash
