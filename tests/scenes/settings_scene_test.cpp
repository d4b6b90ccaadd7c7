#include "game/scenes/front_end_framework.h"
#include "tests/scenes/scene_driver.h"

#include <gtest/gtest.h>

namespace {

using namespace scene_test;

void enterOnRow(int row) {
    startIn(kSceneSettings);
    for (int i = 0; i < row; ++i) press(kDown);
    ASSERT_EQ(game.optionsRow, row);
    game.sceneSoundStarts[kSoundCursor] = 0;
}

TEST(SettingsScene, EntryOpensTheOptionsPageOnItsFirstRow) {
    startIn(kSceneSettings);
    game.settingsPage = 1;
    game.optionsRow = 3;
    game.padRow = 5;
    changeScene(kSceneSettings);
    EXPECT_EQ(game.settingsPage, 0);
    EXPECT_EQ(game.optionsRow, 0);
    EXPECT_EQ(game.padRow, 0);
    EXPECT_EQ(game.fadeCounter, 25);
}

TEST(SettingsScene, RowsClampWithTheirSound) {
    startIn(kSceneSettings);
    press(kUp);
    EXPECT_EQ(game.optionsRow, 0);
    for (int i = 0; i < 7; ++i) press(kDown);
    EXPECT_EQ(game.optionsRow, 4);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 8);
}

TEST(SettingsScene, HeldRightRepeatsAfter60TicksUpTo99) {
    enterOnRow(1);
    game.settings.startLives = 2;
    tick(kRight);
    EXPECT_EQ(game.settings.startLives, 3);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 1);
    ticks(59, kRight);  // ticks 2..60
    EXPECT_EQ(game.settings.startLives, 3);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 1);
    tick(kRight);  // tick 61
    EXPECT_EQ(game.settings.startLives, 4);
    tick(kRight);
    EXPECT_EQ(game.settings.startLives, 5);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 3);
    ticks(94, kRight);
    EXPECT_EQ(game.settings.startLives, 99);
    ticks(20, kRight);
    EXPECT_EQ(game.settings.startLives, 99);

    // Letting go and pressing again starts the delay afresh.
    tick();
    tick(kLeft);
    ticks(59, kLeft);
    EXPECT_EQ(game.settings.startLives, 98);
    tick(kLeft);
    EXPECT_EQ(game.settings.startLives, 97);
}

TEST(SettingsScene, LeftAtNoLivesSoundsAndStaysAtZero) {
    enterOnRow(1);
    game.settings.startLives = 0;
    tick(kLeft);
    EXPECT_EQ(game.settings.startLives, 0);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 1);
}

TEST(SettingsScene, TimeLimitTogglesOncePerPressEitherWay) {
    enterOnRow(2);
    ticks(10, kRight);
    EXPECT_EQ(game.settings.noTimeLimit, 1);
    press(kLeft);
    EXPECT_EQ(game.settings.noTimeLimit, 0);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 2);
    EXPECT_EQ(game.settings.startLives, 2);  // other rows untouched
}

TEST(SettingsScene, FullScreenToggles) {
    enterOnRow(3);
    press(kRight);
    EXPECT_EQ(game.settings.fullScreen, 1);
    EXPECT_EQ(game.scene, kSceneSettings);
    press(kLeft);
    EXPECT_EQ(game.settings.fullScreen, 0);
    EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 2);
}

TEST(SettingsScene, SidewaysOnRowsWithoutAValueDoesNothing) {
    for (int row : {0, 4}) {
        enterOnRow(row);
        const SettingsRecord before = game.settings;
        press(kLeft);
        press(kRight);
        EXPECT_EQ(game.sceneSoundStarts[kSoundCursor], 0);
        EXPECT_EQ(game.settings.startLives, before.startLives);
        EXPECT_EQ(game.settings.noTimeLimit, before.noTimeLimit);
        EXPECT_EQ(game.settings.fullScreen, before.fullScreen);
    }
}

TEST(SettingsScene, JoypadPageOpensFromRow0AndReturnsFromItsRow4) {
    startIn(kSceneSettings);
    press(kButton1);
    EXPECT_EQ(game.settingsPage, 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], 1);

    for (int i = 0; i < 7; ++i) press(kDown);
    EXPECT_EQ(game.padRow, 5);
    press(kButton1);  // the spare row only sounds
    EXPECT_EQ(game.settingsPage, 1);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], 2);

    press(kUp);
    press(kButton1);
    EXPECT_EQ(game.settingsPage, 0);
    EXPECT_EQ(game.padRow, 4);  // kept for the next visit
    EXPECT_EQ(game.optionsRow, 0);
    EXPECT_EQ(game.sceneSoundStarts[kSoundDecide], 3);

    press(kButton1);
    EXPECT_EQ(game.settingsPage, 1);
    EXPECT_EQ(game.padRow, 4);
}

TEST(SettingsScene, Row4LeavesForTheTitleAfterTheFade) {
    enterOnRow(4);
    press(kButton1);
    EXPECT_EQ(game.exitCounter, 1);
    press(kUp);  // dead while fading out
    EXPECT_EQ(game.optionsRow, 4);
    ticks(22);
    EXPECT_EQ(game.scene, kSceneSettings);
    tick();
    EXPECT_EQ(game.scene, kSceneTitle);
}

}  // namespace
