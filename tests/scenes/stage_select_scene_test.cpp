#include "game/play/draw_quad.h"
#include "game/scenes/front_end_framework.h"
#include "tests/scenes/scene_driver.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace scene_test;

void enterStageSelect(int highestStage, int choice) {
    startIn(kSceneStageSelect);
    game.highestStage = highestStage;
    game.stageSelectChoice = choice;
}

TEST(StageSelectScene, EntryResetsTheCountersButKeepsTheChoice) {
    startIn(kSceneTitle);
    game.stageSelectChoice = 17;
    game.stageSelectCancel = 1;
    game.exitCounter = 5;
    changeScene(kSceneStageSelect);
    EXPECT_EQ(game.stageSelectChoice, 17);
    EXPECT_EQ(game.stageSelectCancel, 0);
    EXPECT_EQ(game.exitCounter, 0);
    EXPECT_EQ(game.fadeCounter, 25);
    EXPECT_EQ(game.sceneFrame, 0);
}

// The picture drawn in the middle of the screen (320, 260), by scene frame.
std::map<int, int> gMiddlePicture;
void noteMiddlePicture(const QuadDraw& d) {
    if (d.x == 320 && d.y == 260) gMiddlePicture[game.sceneFrame] = d.image;
}

TEST(StageSelectScene, TheMiddleAnimationTakesANewFrameEvery8TicksOver16Frames) {
    enterStageSelect(10, 1);
    // Sixteen marks in place of the frames' handles (refused when drawn),
    // so each frame is known by what is drawn.
    int32_t* tiles = game.tileImages;
    for (int n = 1; n <= 16; ++n) tiles[n] = 0x7000 + n;
    gMiddlePicture.clear();
    setQuadObserver(noteMiddlePicture);
    ticks(140);
    setQuadObserver(nullptr);
    // Scene frame -> tile: frames 0..7 show tile 1, 8..15 tile 2, ... 120..127
    // tile 16, and from 128 tile 1 again.
    const std::pair<int, int> expected[] = {{7, 1}, {8, 2}, {15, 2}, {16, 3}, {127, 16}, {128, 1}, {135, 1}, {136, 2}};
    for (const auto& [frame, tile] : expected) {
        ASSERT_TRUE(gMiddlePicture.count(frame)) << "nothing drawn at frame " << frame;
        EXPECT_EQ(gMiddlePicture[frame], tiles[tile]) << "frame " << frame << " should show tile " << tile;
    }
}

TEST(StageSelectScene, TensAndUnitsClampToTheStagesReached) {
    enterStageSelect(23, 20);
    press(kUp);
    EXPECT_EQ(game.stageSelectChoice, 24);
    press(kUp);
    EXPECT_EQ(game.stageSelectChoice, 24);
    press(kDown);
    EXPECT_EQ(game.stageSelectChoice, 14);
    press(kRight);
    EXPECT_EQ(game.stageSelectChoice, 15);
    press(kLeft);
    press(kLeft);
    EXPECT_EQ(game.stageSelectChoice, 13);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 6);

    game.stageSelectChoice = 5;
    press(kDown);
    EXPECT_EQ(game.stageSelectChoice, 1);
    press(kLeft);
    EXPECT_EQ(game.stageSelectChoice, 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 8);
}

TEST(StageSelectScene, FirstRunOnlyOffersStage1ButEveryDirectionSounds) {
    enterStageSelect(0, 1);
    for (const Pad& pad : {kUp, kDown, kLeft, kRight}) press(pad);
    EXPECT_EQ(game.stageSelectChoice, 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 4);
}

TEST(StageSelectScene, AHeldDirectionMovesOnce) {
    enterStageSelect(40, 1);
    ticks(10, kRight);
    EXPECT_EQ(game.stageSelectChoice, 2);
}

TEST(StageSelectScene, TheChoiceNeverPassesTheLastStage) {
    // After the last stage highestStage is 51; a damaged file may hold more.
    for (int highest : {51, 5000}) {
        enterStageSelect(highest, 45);
        press(kUp);
        EXPECT_EQ(game.stageSelectChoice, 51);
        press(kRight);
        EXPECT_EQ(game.stageSelectChoice, 51);
    }
    enterStageSelect(-7, 1);
    press(kUp);
    EXPECT_EQ(game.stageSelectChoice, 1);
}

TEST(StageSelectScene, ChoosingAStageStartsPlayInStageSelectModeWithTwoLives) {
    enterStageSelect(23, 14);
    game.settings.startLives = 9;
    game.score = 300;
    press(kButton1);
    EXPECT_EQ(game.exitCounter, 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], 1);
    press(kUp);  // ignored while fading out
    ticks(22);
    EXPECT_EQ(game.scene, kSceneStageSelect);
    EXPECT_EQ(game.exitCounter, 25);
    tick();
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.stageNumber, 13);
    EXPECT_EQ(game.stageSelectMode, 1);
    EXPECT_EQ(game.players[0].lives, 2);
    EXPECT_EQ(game.score, 0);
    EXPECT_EQ(game.stageSelectChoice, 14);
}

TEST(StageSelectScene, Buttons1And2TogetherGoToTheTitle) {
    enterStageSelect(23, 14);
    game.settings.startLives = 6;
    game.stageNumber = 13;
    game.score = 300;
    press(Pad{0, 0, true, true});
    EXPECT_EQ(game.stageSelectCancel, 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCancel], 1);
    ticks(25);
    EXPECT_EQ(game.scene, kSceneTitle);
    EXPECT_EQ(game.stageNumber, 0);
    EXPECT_EQ(game.players[0].lives, 6);
    EXPECT_EQ(game.score, 0);
}

TEST(StageSelectScene, InputIsLiveDuringTheFadeIn) {
    enterStageSelect(23, 1);
    tick(kRight);
    EXPECT_EQ(game.fadeCounter, 24);
    EXPECT_EQ(game.stageSelectChoice, 2);
}

}  // namespace
