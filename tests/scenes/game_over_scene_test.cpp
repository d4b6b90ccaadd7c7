#include "game/scenes/front_end_framework.h"
#include "tests/scenes/scene_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace scene_test;

constexpr int kLandedSound = 1;  // soundSlots[1] of the game-over scene

// A lost game at stage 7 with 4500 points, ranking rows above and below.
void enterGameOver() {
    startIn(kScenePlay);
    game.highScores[0] = {9000, 20};
    game.highScores[1] = {1000, 3};
    game.settings.startLives = 5;
    game.stageNumber = 7;
    game.score = 4500;
    game.players[0].lives = -1;
    game.effects[3].live = 1;
    game.effects[99].live = 1;
    changeScene(kSceneGameOver);
}

void expectScoreRanked() {
    EXPECT_EQ(game.highScores[0].score, 9000);
    EXPECT_EQ(game.highScores[1].score, 4500);
    EXPECT_EQ(game.highScores[1].stageReached, 8);
    EXPECT_EQ(game.highScores[2].score, 1000);
}

TEST(GameOverScene, EntrySwitchesEffectsOffAndLinesTheFallersUp) {
    enterGameOver();
    EXPECT_EQ(game.effects[3].live, 0);
    EXPECT_EQ(game.effects[99].live, 0);
    for (int k = 0; k < 9; ++k) {
        EXPECT_EQ(game.fallers[k].phase, kFallerWaiting);
        EXPECT_EQ(game.fallers[k].y, -310.0);
    }
    EXPECT_EQ(game.fallers[9].phase, kFallerFalling);
}

TEST(GameOverScene, FallersDropBounceAndKnockEachOtherAway) {
    enterGameOver();
    ticks(69);
    EXPECT_EQ(game.fallers[9].phase, kFallerSettling);
    tick();  // tick 70: faller 9 lands and faller 8 sets off
    EXPECT_EQ(game.fallers[9].phase, kFallerResting);
    EXPECT_EQ(game.fallers[9].y, 240.0);
    EXPECT_EQ(game.fallers[8].phase, kFallerFalling);
    EXPECT_EQ(game.fallers[8].y, -310.0);
    ticks(59);  // tick 129: faller 8 passes 270
    EXPECT_EQ(game.fallers[8].phase, kFallerRising);
    EXPECT_EQ(game.fallers[9].phase, kFallerKnockedAway);
    ticks(571);  // tick 700: the last one rests
    EXPECT_EQ(game.fallers[0].phase, kFallerResting);
    EXPECT_EQ(game.fallers[0].y, 240.0);
    EXPECT_EQ(game.fallers[1].phase, kFallerKnockedAway);
}

TEST(GameOverScene, PressAt729ContinuesTheSameStageWithFreshLives) {
    enterGameOver();
    ticks(728);
    EXPECT_EQ(game.sceneSoundStarts[kLandedSound], 0);
    tick(kButton1);  // f = 729
    EXPECT_EQ(game.gameOverFrame, 729);
    EXPECT_EQ(game.continueCounter, 1);
    EXPECT_EQ(game.sceneSoundStarts[kLandedSound], 1);

    ticks(249);
    EXPECT_EQ(game.scene, kSceneGameOver);
    EXPECT_EQ(game.continueCounter, 250);
    EXPECT_EQ(game.gameOverFrame, 729);
    EXPECT_EQ(game.sceneSoundStarts[kLandedSound], 1);  // not again on every tick
    tick();
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.stageNumber, 7);
    EXPECT_EQ(game.score, 0);
    EXPECT_EQ(game.players[0].lives, 5);
    EXPECT_EQ(game.stageSelectMode, 0);
    expectScoreRanked();
}

TEST(GameOverScene, AnEarlyContinueWorksAndFurtherPressesChangeNothing) {
    enterGameOver();
    ticks(10);
    tick(kButton1);
    EXPECT_EQ(game.continueCounter, 1);
    press(kButton1);
    EXPECT_EQ(game.continueCounter, 3);
    EXPECT_EQ(game.gameOverFrame, 11);
    ticks(248);
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.sceneSoundStarts[kLandedSound], 0);
}

TEST(GameOverScene, PressAt730IsIgnoredAndTheTitleFollowsAt901) {
    enterGameOver();
    ticks(729);
    tick(kButton1);  // f = 730
    EXPECT_EQ(game.continueCounter, 0);
    ticks(170);
    EXPECT_EQ(game.gameOverFrame, 900);
    EXPECT_EQ(game.scene, kSceneGameOver);
    EXPECT_EQ(game.highScores[1].score, 1000);  // not ranked yet
    tick();
    EXPECT_EQ(game.scene, kSceneTitle);
    EXPECT_EQ(game.score, 0);
    EXPECT_EQ(game.sceneSoundStarts[kLandedSound], 1);
    expectScoreRanked();
}

TEST(GameOverScene, AScoreBelowEveryRowLeavesTheRankingAlone) {
    enterGameOver();
    for (int r = 0; r < 10; ++r) game.highScores[r] = {10000 - r, r + 1};
    game.score = 0;
    ticks(901);
    ASSERT_EQ(game.scene, kSceneTitle);
    for (int r = 0; r < 10; ++r) EXPECT_EQ(game.highScores[r].score, 10000 - r);
}

}  // namespace
