#include "game/scenes/front_end_framework.h"
#include "tests/scenes/scene_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace scene_test;

TEST(MovieScenes, StartupMovieHandsOverToTheTitle) {
    startIn(kSceneStartupMovie);
    tick();
    EXPECT_EQ(game.scene, kSceneTitle);
    EXPECT_EQ(game.sceneFrame, 0);  // the title's entry ran
    tick();
    EXPECT_EQ(game.sceneFrame, 1);
}

TEST(MovieScenes, OpeningMovieStartsANormalGame) {
    startIn(kSceneOpeningMovie);
    game.stageSelectMode = 1;
    game.stageNumber = 0;
    tick();
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.stageSelectMode, 0);
    EXPECT_EQ(game.stageNumber, 0);
}

TEST(MovieScenes, MidGameMovieResumesPlayAtTheSameStage) {
    startIn(kSceneMidGameMovie);
    game.stageNumber = 30;
    game.score = 777;
    tick();
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.stageNumber, 30);
    EXPECT_EQ(game.score, 777);
}

TEST(MovieScenes, EndingRanksTheScoreWithStageReached52AndKeepsIt) {
    startIn(kSceneEndingMovie);
    game.highScores[0] = {90000, 40};
    game.highScores[1] = {100, 3};
    game.score = 12345;
    game.stageNumber = 51;
    tick();
    EXPECT_EQ(game.scene, kSceneTitle);
    EXPECT_EQ(game.highScores[0].score, 90000);
    EXPECT_EQ(game.highScores[1].score, 12345);
    EXPECT_EQ(game.highScores[1].stageReached, 52);
    EXPECT_EQ(game.highScores[2].score, 100);
    EXPECT_EQ(game.score, 12345);  // the next new game clears it
}

}  // namespace
