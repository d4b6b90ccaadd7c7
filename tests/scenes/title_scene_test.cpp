#include "game/scenes/front_end_framework.h"
#include "tests/scenes/scene_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace scene_test;

// Jumps over the intro and brings the menu up; returns with the menu's first
// tick done.
void bringUpMenu() {
    startIn(kSceneTitle);
    press(kButton1);  // jump to the end of the intro
    press(kButton1);  // the menu
    ASSERT_EQ(game.menuShown, 1);
}

// Brings the menu up and waits out its dead time: the next tick takes input.
void bringUpLiveMenu() {
    bringUpMenu();
    ticks(30);
    ASSERT_EQ(game.menuTimer, 30);
}

void chooseItem(int item) {
    while (game.menuCursor < item) press(kDown);
    while (game.menuCursor > item) press(kUp);
    press(kButton1);
    ASSERT_EQ(game.exitCounter, 1);
}

TEST(TitleScene, EntryStartsTheIntroButKeepsTheCursor) {
    startIn(kSceneTitle);
    game.menuCursor = 3;
    game.menuShown = 1;
    game.menuTimer = 40;
    game.exitCounter = 9;
    game.sceneFrame = 500;
    changeScene(kSceneTitle);
    EXPECT_EQ(game.menuShown, 0);
    EXPECT_EQ(game.menuTimer, 0);
    EXPECT_EQ(game.exitCounter, 0);
    EXPECT_EQ(game.sceneFrame, 0);
    EXPECT_EQ(game.menuCursor, 3);
}

TEST(TitleScene, PressDuringTheIntroJumpsToItsEndAndTheMusicStartsNextTick) {
    startIn(kSceneTitle);
    ticks(9);
    tick(kButton1);
    EXPECT_EQ(game.sceneFrame, 270);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundMusic], 0);
    EXPECT_EQ(game.menuShown, 0);

    tick(kButton1);  // still held: not a fresh press
    EXPECT_EQ(game.sceneFrame, 271);
    EXPECT_EQ(game.sceneSoundStarts[kSoundMusic], 1);
    EXPECT_EQ(game.menuShown, 0);

    press(kButton1);
    EXPECT_EQ(game.menuShown, 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], 2);
    EXPECT_EQ(game.sceneSoundStarts[kSoundMusic], 1);  // started once only
}

TEST(TitleScene, IntroWithoutInputStartsTheMusicAtTick271) {
    startIn(kSceneTitle);
    ticks(270);
    EXPECT_EQ(game.sceneSoundStarts[kSoundMusic], 0);
    tick();
    EXPECT_EQ(game.sceneSoundStarts[kSoundMusic], 1);
    ticks(100);
    EXPECT_EQ(game.menuShown, 0);  // the intro waits for button 1
}

TEST(TitleScene, MenuIgnoresInputForItsFirst30Ticks) {
    bringUpMenu();
    const int decideSounds = game.sceneSoundStarts[kSoundDecide];
    // menuTimer runs 1..30 over these ticks.
    for (int i = 1; i < 30; ++i) tick(i % 2 ? kButton1 : kDown);
    tick();
    EXPECT_EQ(game.menuTimer, 30);
    EXPECT_EQ(game.exitCounter, 0);
    EXPECT_EQ(game.menuCursor, 0);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 0);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], decideSounds);

    tick(kDown);  // menuTimer 31: live
    EXPECT_EQ(game.menuCursor, 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 1);
}

TEST(TitleScene, CursorClampsAtBothEndsAndStillPlaysItsSound) {
    bringUpLiveMenu();
    press(kUp);
    EXPECT_EQ(game.menuCursor, 0);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 1);

    for (int i = 0; i < 6; ++i) press(kDown);
    EXPECT_EQ(game.menuCursor, 4);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 7);

    tick(kDown);  // held, not fresh
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 7);
}

TEST(TitleScene, QuitItemEndsTheProgram85TicksAfterTheChoice) {
    bringUpLiveMenu();
    chooseItem(4);
    ticks(83);
    EXPECT_EQ(game.exitCounter, 84);
    EXPECT_EQ(game.quitRequested, 0);
    tick();
    EXPECT_EQ(game.quitRequested, 1);
    EXPECT_EQ(game.scene, kSceneTitle);
}

TEST(TitleScene, InputIsDeadOnceAnItemIsChosen) {
    bringUpLiveMenu();
    chooseItem(1);
    press(kDown);
    press(kButton1);
    EXPECT_EQ(game.menuCursor, 1);
    EXPECT_EQ(game.exitCounter, 5);
}

TEST(TitleScene, ItemsLeadToTheirScenesWithAFreshGame) {
    const int expected[4] = {kSceneOpeningMovie, kSceneRanking, kSceneStageSelect, kSceneSettings};
    for (int item = 0; item < 4; ++item) {
        SCOPED_TRACE(item);
        bringUpLiveMenu();
        game.settings.startLives = 7;
        game.score = 4321;
        game.stageNumber = 12;
        game.players[0].lives = 0;
        chooseItem(item);
        ticks(83);
        EXPECT_EQ(game.scene, kSceneTitle);
        tick();
        EXPECT_EQ(game.scene, expected[item]);
        EXPECT_EQ(game.stageNumber, 0);
        EXPECT_EQ(game.score, 0);
        EXPECT_EQ(game.players[0].lives, 7);
        EXPECT_EQ(game.quitRequested, 0);
    }
}

TEST(TitleScene, NewGamePlaysTheOpeningMovieThenStartsStage0InNormalMode) {
    bringUpLiveMenu();
    game.stageSelectMode = 1;
    chooseItem(0);
    ticks(84);
    ASSERT_EQ(game.scene, kSceneOpeningMovie);
    tick();
    EXPECT_EQ(game.scene, kScenePlay);
    EXPECT_EQ(game.stageNumber, 0);
    EXPECT_EQ(game.stageSelectMode, 0);
}

TEST(TitleScene, TheCursorIsRememberedAfterAVisitToTheRanking) {
    bringUpLiveMenu();
    chooseItem(1);
    ticks(84);
    ASSERT_EQ(game.scene, kSceneRanking);
    press(kButton1);
    ticks(25);
    ASSERT_EQ(game.scene, kSceneTitle);
    EXPECT_EQ(game.menuCursor, 1);
    EXPECT_EQ(game.menuShown, 0);
}

}  // namespace
