#include "game/play/draw_quad.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

namespace {

using Points = std::array<std::pair<int, int>, 4>;

Points points(const QuadCorners& c) {
    return {{{c.x[0], c.y[0]}, {c.x[1], c.y[1]}, {c.x[2], c.y[2]}, {c.x[3], c.y[3]}}};
}

TEST(DrawQuadCorners, PlainPictureSitsOnItsCentre) {
    EXPECT_EQ(points(quadCorners(100, 200, 32, 48, 0, 0, 0, 0, 0, 0)),
              (Points{{{84, 176}, {116, 176}, {116, 224}, {84, 224}}}));
}

TEST(DrawQuadCorners, FlipHandsTheCornersOverMirrored) {
    EXPECT_EQ(points(quadCorners(100, 200, 32, 48, 0, 0, 0, 1, 0, 0)),
              (Points{{{116, 176}, {84, 176}, {84, 224}, {116, 224}}}));
}

TEST(DrawQuadCorners, QuarterTurnKeepsTheOutlineWithOnePixelRounding) {
    EXPECT_EQ(points(quadCorners(320, 240, 64, 32, 0, 0, 90, 0, 0, 0)),
              (Points{{{352, 224}, {351, 256}, {287, 255}, {288, 223}}}));
    EXPECT_EQ(points(quadCorners(320, 240, 64, 32, 0, 0, 0, 0, 0, 0)),
              (Points{{{288, 224}, {352, 224}, {352, 256}, {288, 256}}}));
}

TEST(DrawQuadCorners, HalfTurnAboutTheVerticalAxisMirrors) {
    const Points turned = points(quadCorners(100, 200, 32, 48, 180, 0, 0, 0, 0, 0));
    const Points flipped = points(quadCorners(100, 200, 32, 48, 0, 0, 0, 1, 0, 0));
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(turned[i].first, flipped[i].first, 1) << "corner " << i;
        EXPECT_NEAR(turned[i].second, flipped[i].second, 1) << "corner " << i;
    }
}

TEST(DrawQuadCorners, TurnAboutTheVerticalAxisNarrowsWithPerspective) {
    // At 60 degrees the picture is half as wide; the near edge grows and the
    // far edge shrinks.
    const QuadCorners c = quadCorners(320, 240, 64, 64, 60, 0, 0, 0, 0, 0);
    const int leftHeight = c.y[3] - c.y[0];
    const int rightHeight = c.y[2] - c.y[1];
    EXPECT_GT(leftHeight, 64);
    EXPECT_LT(rightHeight, 64);
    EXPECT_NEAR(c.x[1] - c.x[0], 32, 2);
}

TEST(DrawQuadCorners, TurnAboutTheHorizontalAxisFlattens) {
    const QuadCorners c = quadCorners(320, 240, 64, 64, 0, 90, 0, 0, 0, 0);
    EXPECT_NEAR(c.y[3] - c.y[0], 0, 1);
    const QuadCorners none = quadCorners(320, 240, 64, 64, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(none.y[3] - none.y[0], 64);
}

TEST(DrawQuadCorners, ShakeMovesEveryCornerAndTruncatesTowardZero) {
    const QuadCorners c = quadCorners(100, 200, 32, 48, 0, 0, 0, 0, -3.0, 2.0);
    EXPECT_EQ(points(c), (Points{{{81, 178}, {113, 178}, {113, 226}, {81, 226}}}));
    // Truncation toward zero near the left edge: -0.5 becomes 0, not -1.
    const QuadCorners edge = quadCorners(16, 16, 33, 33, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(edge.x[0], 0);
    EXPECT_EQ(edge.x[1], 32);
}

}  // namespace
