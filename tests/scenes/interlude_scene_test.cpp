#include "game/scenes/front_end_framework.h"
#include "tests/scenes/scene_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace scene_test;

void enterInterludeAfter(int stageNumber) {
    startIn(kScenePlay);
    game.stageNumber = stageNumber;
    changeScene(kSceneInterlude);
}

TEST(InterludeScene, Button1DuringTheFadeInLeavesForTheNextStage) {
    enterInterludeAfter(10);
    tick(kButton1);
    EXPECT_EQ(game.exitCounter, 1);
    EXPECT_EQ(game.fadeCounter, 24);
    ticks(24);
    EXPECT_EQ(game.scene, kSceneInterlude);
    tick();
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.stageNumber, 10);
}

int soundsStarted() {
    int count = 0;
    for (int32_t starts : game.sceneSoundStarts) count += starts;
    return count;
}

TEST(InterludeScene, APressPlaysNoSound) {
    // Its music starts with the scene's sounds; the scene itself starts none.
    enterInterludeAfter(15);
    press(kButton1);
    ticks(10);
    press(kButton1);  // a second press during the fade out
    EXPECT_EQ(game.exitCounter, 1);
    EXPECT_EQ(soundsStarted(), 0);
}

TEST(InterludeScene, ASecondPressStartsTheFadeOutAgain) {
    enterInterludeAfter(5);
    press(kButton1);
    ticks(10, kButton1);  // held: no new press
    EXPECT_EQ(game.exitCounter, 11);
    press(kButton1);
    EXPECT_EQ(game.exitCounter, 1);
    ticks(24);
    EXPECT_EQ(game.scene, kSceneInterlude);
    tick();
    EXPECT_EQ(game.scene, kScenePlay);
}

TEST(InterludeScene, WaitsForButton1) {
    enterInterludeAfter(25);
    ticks(1000);
    EXPECT_EQ(game.scene, kSceneInterlude);
    EXPECT_EQ(game.exitCounter, 0);
}

TEST(InterludeScene, AfterStage30TheMidGameMoviePlaysBeforePlayResumes) {
    enterInterludeAfter(30);
    press(kButton1);
    ticks(25);
    EXPECT_EQ(game.scene, kSceneMidGameMovie);
    tick();
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.stageNumber, 30);
}

}  // namespace
