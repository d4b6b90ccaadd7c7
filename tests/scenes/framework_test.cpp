#include "game/scenes/front_end_framework.h"
#include "tests/scenes/scene_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace scene_test;

TEST(FrontEndFramework, BackdropCopiesDriftRightAndUp) {
    const BackdropCentres c = scrollingBackdropCentres(100, 200, 150);
    EXPECT_EQ(c.x[0], 440);
    EXPECT_EQ(c.y[0], 140);
    EXPECT_EQ(c.x[1], 240);
    EXPECT_EQ(c.y[1], 140);
    EXPECT_EQ(c.x[2], 440);
    EXPECT_EQ(c.y[2], 290);
    EXPECT_EQ(c.x[3], 240);
    EXPECT_EQ(c.y[3], 290);
}

TEST(FrontEndFramework, BackdropTruncatesAndWrapsEvery640Ticks) {
    EXPECT_EQ(scrollingBackdropCentres(1, 64, 64).x[0], 321);   // 321.2
    EXPECT_EQ(scrollingBackdropCentres(4, 64, 64).x[0], 324);   // 324.8
    EXPECT_EQ(scrollingBackdropCentres(4, 64, 64).x[1], 260);   // 260.8
    EXPECT_EQ(scrollingBackdropCentres(639, 64, 64).y[0], 240 - 639);
    EXPECT_EQ(scrollingBackdropCentres(640, 64, 64).x[0], 320);
    EXPECT_EQ(scrollingBackdropCentres(740, 64, 64).x[0], 440);
}

TEST(FrontEndFramework, FreshPressNeedsARelease) {
    startIn(kSceneTitle);
    game.input[0].button[0] = 1;
    EXPECT_TRUE(freshPress(0));
    EXPECT_FALSE(freshPress(0));
    game.input[0].button[0] = 0;
    EXPECT_FALSE(freshPress(0));
    game.input[0].button[0] = 1;
    EXPECT_TRUE(freshPress(0));
    // Button 2 keeps its own memory.
    game.input[0].button[1] = 1;
    EXPECT_TRUE(freshPress(1));
}

TEST(FrontEndFramework, FreshDirectionComparesWithTheRememberedOne) {
    startIn(kSceneTitle);
    game.input[0].vertical = 1;
    EXPECT_TRUE(freshVertical(1));
    EXPECT_FALSE(freshVertical(-1));
    rememberDirections();
    EXPECT_FALSE(freshVertical(1));
    game.input[0].vertical = -1;
    EXPECT_TRUE(freshVertical(-1));  // straight from up to down
    game.input[0].horizontal = -1;
    EXPECT_TRUE(freshHorizontal(-1));
}

TEST(FrontEndFramework, MenuCountersAdvanceTogether) {
    startIn(kSceneRanking);
    game.exitCounter = 1;
    advanceMenuCounters();
    EXPECT_EQ(game.sceneFrame, 1);
    EXPECT_EQ(game.exitCounter, 2);
    EXPECT_EQ(game.fadeCounter, 24);
    game.exitCounter = 0;
    game.fadeCounter = 0;
    advanceMenuCounters();
    EXPECT_EQ(game.exitCounter, 0);
    EXPECT_EQ(game.fadeCounter, 0);
}

TEST(FrontEndFramework, DrawingDigitsOfAnyValueIsSafe) {
    // Values read from damaged saved files may be negative or huge.
    const int32_t table[10] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    drawNumber(0, 10, 0, -1234567, 7, table);
    drawNumber(0, 10, 0, 2147483647, 7, table);
    DrawDigit(0, 0, -3, table);
    DrawDigit(0, 0, 10, table);
    SUCCEED();
}

}  // namespace
