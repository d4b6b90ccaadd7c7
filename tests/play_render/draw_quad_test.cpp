#include "game/play/draw_quad.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
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

// drawQuad's corners step by step as the rules give them: a square of side
// 0.5 shrunk and turned in its plane, turned about the vertical axis with
// perspective, then (only for a nonzero turnX) about the horizontal axis with
// perspective again, scaled by 4w x 4h, moved to the centre plus the shake
// and truncated; a flip hands the corners over mirrored.
Points modelCorners(int x, int y, int w, int h, int turnY, int turnX, int angle, int flip, double shakeX,
                    double shakeY) {
    const double pi = 3.1415927410125732;
    const double a = angle * pi / 180.0, b = turnY * pi / 180.0, g = turnX * pi / 180.0;
    const double squareX[4] = {-0.25, 0.25, 0.25, -0.25};
    const double squareY[4] = {-0.25, -0.25, 0.25, 0.25};
    Points corners{};
    for (int i = 0; i < 4; ++i) {
        double X = squareX[i] / 2 * std::cos(a) - squareY[i] / 2 * std::sin(a);
        double Y = squareX[i] / 2 * std::sin(a) + squareY[i] / 2 * std::cos(a);
        const double Xt = X * std::cos(b);
        double z = X * std::sin(b);
        double D = 1 + z * 0.25;
        X = Xt / D;
        Y = Y / D;
        if (turnX != 0) {
            const double Yt = Y * std::cos(g);
            z = Y * std::sin(g);
            D = 1 + z * 0.25;
            X = X / D;
            Y = Yt / D;
        }
        corners[static_cast<size_t>(i)] = {static_cast<int>(x + shakeX + X * 4 * w),
                                           static_cast<int>(y + shakeY + Y * 4 * h)};
    }
    if (flip) {
        std::swap(corners[0], corners[1]);
        std::swap(corners[2], corners[3]);
    }
    return corners;
}

TEST(DrawQuadCorners, EveryTurnScaleFlipAndShakeLandsWhereTheRulesPutIt) {
    int checked = 0;
    for (int angle : {0, 10, 45, 90, 135, 180, 200, 270, 355})
        for (int turnY : {0, 30, 60, 180, 240, 300})
            for (int turnX : {0, 45, 60})
                for (const auto& [w, h] : {std::pair{32, 32}, std::pair{64, 32}, std::pair{20, 48}, std::pair{368, 368}})
                    for (int flip : {0, 1})
                        for (const auto& [sx, sy] : {std::pair{0.0, 0.0}, std::pair{-7.0, 2.0}}) {
                            const QuadCorners c = quadCorners(300, 200, w, h, turnY, turnX, angle, flip, sx, sy);
                            ASSERT_EQ(points(c), modelCorners(300, 200, w, h, turnY, turnX, angle, flip, sx, sy))
                                << "angle " << angle << " turnY " << turnY << " turnX " << turnX << " size " << w
                                << "x" << h << " flip " << flip << " shake " << sx << "," << sy;
                            ++checked;
                        }
    EXPECT_EQ(checked, 9 * 6 * 3 * 4 * 2 * 2);
}

TEST(DrawQuadCorners, TurnedCornersOfTheWorkedExamples) {
    // 64 x 32 turned by 45 degrees: the turn comes before the scaling, so the
    // square's diagonal is stretched 64 across and 32 down.
    // Pi as a float holds it is a little more than pi: the corners that
    // should fall on whole pixels land just short of them.
    EXPECT_EQ(points(quadCorners(320, 240, 64, 32, 0, 0, 45, 0, 0, 0)),
              (Points{{{320, 217}, {365, 240}, {319, 262}, {274, 239}}}));
    // A half turn in the plane puts the corners diagonally opposite.
    EXPECT_EQ(points(quadCorners(100, 100, 40, 20, 0, 0, 180, 0, 0, 0)),
              (Points{{{119, 110}, {79, 109}, {80, 89}, {120, 90}}}));
}

}  // namespace
