// The front-end scenes drawn headless with the default pictures and compared
// with reference frames, so that a change in drawing order, position, size
// or blending shows up.
#include "game/scenes/front_end_framework.h"
#include "tests/scenes/golden_picture.h"
#include "tests/scenes/scene_driver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace scene_test;

// Runs each test in the default data directory, where the pictures are.
class ScenePictures : public ::testing::Test {
protected:
    void SetUp() override {
        const char* data = std::getenv("LUMOTTA_DATA_DIR");
        ASSERT_TRUE(data && fs::is_directory(data)) << "LUMOTTA_DATA_DIR is not set";
        previous_ = fs::current_path();
        fs::current_path(data);
    }
    void TearDown() override { fs::current_path(previous_); }

private:
    fs::path previous_;
};

void fillRanking() {
    const int scores[10] = {1234567, 900000, 45000, 12000, 9990, 5000, 800, 120, 10, 0};
    for (int r = 0; r < 10; ++r) game.highScores[r] = {scores[r], scores[r] ? 52 - 5 * r : 0};
}

TEST_F(ScenePictures, TitleIntro) {
    startIn(kSceneTitle);
    ticks(160);
    EXPECT_TRUE(matchesGoldenPicture("title_intro"));
}

TEST_F(ScenePictures, TitleMenu) {
    startIn(kSceneTitle);
    game.highScores[0] = {1234, 9};
    game.highestStage = 7;
    press(kButton1);
    press(kButton1);
    ticks(31);
    press(kDown);
    press(kDown);
    ticks(6);
    ASSERT_EQ(game.menuCursor, 2);
    EXPECT_TRUE(matchesGoldenPicture("title_menu"));
}

TEST_F(ScenePictures, StageSelect) {
    startIn(kSceneStageSelect);
    game.highestStage = 23;
    game.stageSelectChoice = 14;
    ticks(60);
    EXPECT_TRUE(matchesGoldenPicture("stage_select"));
}

TEST_F(ScenePictures, RankingFirstPage) {
    startIn(kSceneRanking);
    fillRanking();
    ticks(420);
    ASSERT_EQ(game.rowShiftX[0], 0);
    EXPECT_TRUE(matchesGoldenPicture("ranking_first_page"));
}

TEST_F(ScenePictures, RankingSecondPageSlidingIn) {
    startIn(kSceneRanking);
    fillRanking();
    ticks(100);
    EXPECT_TRUE(matchesGoldenPicture("ranking_second_page"));
}

TEST_F(ScenePictures, SettingsOptions) {
    startIn(kSceneSettings);
    game.settings.startLives = 12;
    game.settings.noTimeLimit = 1;
    press(kDown);
    press(kDown);
    ticks(40);
    EXPECT_TRUE(matchesGoldenPicture("settings_options"));
}

TEST_F(ScenePictures, SettingsJoypadPage) {
    startIn(kSceneSettings);
    game.padButtons[0].buttonMask[0] = 0x10;
    game.padButtons[0].buttonMask[1] = 0x2000;
    game.padButtons[0].buttonMask[2] = 0x40;
    game.padButtons[0].buttonMask[3] = 0x30;  // two bits: shows nothing
    ticks(30);
    press(kButton1);
    press(kDown);
    ticks(10);
    ASSERT_EQ(game.settingsPage, 1);
    EXPECT_TRUE(matchesGoldenPicture("settings_joypad"));
}

TEST_F(ScenePictures, GameOverWhileThePicturesDrop) {
    startIn(kSceneGameOver);
    game.highScores[0] = {76543, 12};
    game.score = 4500;
    game.stageNumber = 6;
    changeScene(kSceneGameOver);
    ticks(300);
    EXPECT_TRUE(matchesGoldenPicture("game_over"));
}

TEST_F(ScenePictures, GameOverIrisClosing) {
    startIn(kSceneGameOver);
    ticks(100);
    press(kButton1);
    ticks(148);
    ASSERT_EQ(game.continueCounter, 150);
    EXPECT_TRUE(matchesGoldenPicture("game_over_iris"));
}

TEST_F(ScenePictures, Interlude) {
    startIn(kScenePlay);
    game.stageNumber = 15;
    changeScene(kSceneInterlude);
    ticks(30);
    EXPECT_TRUE(matchesGoldenPicture("interlude"));
}

}  // namespace
