#include "game/scenes/front_end_framework.h"
#include "tests/scenes/scene_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace scene_test;

TEST(RankingScene, EntryPutsEveryRowOffScreenRight) {
    startIn(kSceneRanking);
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(game.rowShiftX[r], 680);
        EXPECT_EQ(game.rowShiftY[r], 0);
    }
    EXPECT_EQ(game.pageDelay, 60);
    EXPECT_EQ(game.fadeCounter, 25);
}

TEST(RankingScene, SecondPageSlidesInOneRowAfterAnother) {
    startIn(kSceneRanking);
    tick();
    EXPECT_EQ(game.rowShiftX[9], 670);  // place 10 moves at once
    EXPECT_EQ(game.rowShiftX[8], 680);
    ticks(17);
    EXPECT_EQ(game.rowShiftX[9], 500);
    EXPECT_EQ(game.rowShiftX[8], 680);
    tick();  // tick 19: place 9 follows 18 ticks after place 10
    EXPECT_EQ(game.rowShiftX[8], 670);
    ticks(68 - 19);
    EXPECT_EQ(game.rowShiftX[9], 0);  // 68 ticks to slide in
    EXPECT_EQ(game.rowShiftX[4], 680);  // the first page waits
}

TEST(RankingScene, Place6RestsAfter140TicksAndThePageDrops60TicksLater) {
    startIn(kSceneRanking);
    ticks(139);
    EXPECT_EQ(game.rowShiftX[5], 10);
    tick();
    EXPECT_EQ(game.rowShiftX[5], 0);
    ticks(59);
    EXPECT_EQ(game.rowShiftY[5], 0);
    tick();  // tick 200
    for (int r = 5; r < 10; ++r) EXPECT_EQ(game.rowShiftY[r], 10);
    EXPECT_EQ(game.rowShiftX[4], 680);

    // Places 5 to 1 follow once the dropping page is nearly gone.
    ticks(45);
    EXPECT_EQ(game.rowShiftY[8], 460);
    EXPECT_EQ(game.rowShiftX[4], 670);
    ticks(500);
    for (int r = 0; r < 10; ++r) EXPECT_EQ(game.rowShiftX[r], 0);
    for (int r = 5; r < 10; ++r) EXPECT_EQ(game.rowShiftY[r], 500);
    for (int r = 0; r < 5; ++r) EXPECT_EQ(game.rowShiftY[r], 0);
    EXPECT_EQ(game.scene, kSceneRanking);  // the ranking stays until button 1
}

TEST(RankingScene, Button1FadesOutAtOnceWhileTheRowsGoOnMoving) {
    startIn(kSceneRanking);
    ticks(9);
    tick(kButton1);
    EXPECT_EQ(game.exitCounter, 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], 1);
    ticks(24);
    EXPECT_EQ(game.scene, kSceneRanking);
    EXPECT_EQ(game.rowShiftX[9], 680 - 340);
    tick();
    EXPECT_EQ(game.scene, kSceneTitle);
}

TEST(RankingScene, AButtonHeldFromTheTitleIsNotAFreshPress) {
    startIn(kSceneRanking);
    game.prevButtons[0][0] = 1;  // still held from the title's choice
    ticks(40, kButton1);
    EXPECT_EQ(game.exitCounter, 0);
    tick();
    tick(kButton1);
    EXPECT_EQ(game.exitCounter, 1);
}

}  // namespace
