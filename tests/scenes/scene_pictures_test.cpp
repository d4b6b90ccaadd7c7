// The front-end scenes drawn headless with the default pictures and compared
// with reference frames, so that a change in drawing order, position, size
// or blending shows up.
#include "game/scenes/front_end_framework.h"
#include "media/core/area_hooks.h"
#include "media/media.h"
#include "tests/scenes/scene_driver.h"
#include "tests/support/golden_picture.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

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

// Pictures from the same pictures on the same renderer come out the same;
// the slack absorbs a driver's rounding of blended and turned pictures, and
// is far below what one moved digit or a swapped layer changes.
::testing::AssertionResult matchesGolden(const std::string& name) {
    return testing_support::matchesGoldenPicture("tests/scenes/golden", name, {6, 12});
}

void fillRanking() {
    const int scores[10] = {1234567, 900000, 45000, 12000, 9990, 5000, 800, 120, 10, 0};
    for (int r = 0; r < 10; ++r) game.highScores[r] = {scores[r], scores[r] ? 52 - 5 * r : 0};
}

TEST_F(ScenePictures, TitleIntro) {
    startIn(kSceneTitle);
    ticks(160);
    EXPECT_TRUE(matchesGolden("title_intro"));
}

std::vector<uint32_t> screenPixels() {
    std::vector<uint32_t> pixels(static_cast<size_t>(kScreenWidth) * kScreenHeight);
    EXPECT_EQ(ReadScreenPixels(pixels.data(), kScreenWidth, kScreenHeight), 0);
    return pixels;
}

double sharedShare(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    size_t same = 0;
    for (size_t i = 0; i < a.size(); ++i) same += (a[i] & 0xFFFFFF) == (b[i] & 0xFFFFFF);
    return static_cast<double>(same) / static_cast<double>(a.size());
}

// F1 held shows the controls over any scene; let go, the scene shows as
// before. The picture is loaded again after a scene change released it.
TEST_F(ScenePictures, ControlsShowWhileF1IsHeld) {
    for (int round = 0; round < 2; ++round) {
        startIn(kSceneTitle);
        ticks(160);
        EXPECT_TRUE(matchesGolden("title_intro")) << "round " << round;
        const std::vector<uint32_t> title = screenPixels();
        testing_support::pressKey(SDL_SCANCODE_F1);
        tick();
        EXPECT_TRUE(matchesGolden("controls_over_title")) << "round " << round;
        EXPECT_LT(sharedShare(title, screenPixels()), 0.2);
        testing_support::releaseKey(SDL_SCANCODE_F1);
        tick();
        // Only the glint at her wand changes from one tick to the next here.
        EXPECT_GT(sharedShare(title, screenPixels()), 0.95) << "the controls stay after F1 was let go";
    }
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
    EXPECT_TRUE(matchesGolden("title_menu"));
}

// The first stage of a new game once its intro is over, with a best score
// of 1234: also the reference the window test compares the real window with.
TEST_F(ScenePictures, FirstStageOfANewGame) {
    startIn(kScenePlay);
    game.highScores[0] = {1234, 9};
    game.players[0].lives = game.settings.startLives;
    ticks(150);
    EXPECT_TRUE(matchesGolden("first_stage"));
}

TEST_F(ScenePictures, StageSelect) {
    startIn(kSceneStageSelect);
    game.highestStage = 23;
    game.stageSelectChoice = 14;
    ticks(60);
    EXPECT_TRUE(matchesGolden("stage_select"));
}

TEST_F(ScenePictures, RankingFirstPage) {
    startIn(kSceneRanking);
    fillRanking();
    ticks(420);
    ASSERT_EQ(game.rowShiftX[0], 0);
    EXPECT_TRUE(matchesGolden("ranking_first_page"));
}

TEST_F(ScenePictures, RankingSecondPageSlidingIn) {
    startIn(kSceneRanking);
    fillRanking();
    ticks(100);
    EXPECT_TRUE(matchesGolden("ranking_second_page"));
}

TEST_F(ScenePictures, SettingsOptions) {
    startIn(kSceneSettings);
    game.settings.startLives = 12;
    game.settings.noTimeLimit = 1;
    press(kDown);
    press(kDown);
    ticks(40);
    EXPECT_TRUE(matchesGolden("settings_options"));
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
    EXPECT_TRUE(matchesGolden("settings_joypad"));
}

bool fullScreen() {
    return (SDL_GetWindowFlags(media::screen::Window()) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

// The settings scene's pictures, by slot: handle and size, -1 where the
// slot holds none.
struct SlotPicture {
    int handle;
    int w;
    int h;
};
std::vector<SlotPicture> settingsPictures() {
    std::vector<SlotPicture> slots;
    for (int32_t handle : game.sceneImages) {
        SlotPicture p{handle, -1, -1};
        if (GetImageSize(handle, &p.w, &p.h) != 0) p.w = p.h = -1;
        slots.push_back(p);
    }
    return slots;
}

// The switch makes the display anew, which deletes every picture; the scene
// loads its own again, so every slot holds a live picture of the same size.
void expectReloaded(const std::vector<SlotPicture>& before) {
    const std::vector<SlotPicture> after = settingsPictures();
    for (size_t i = 0; i < before.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(after[i].w, before[i].w);
        EXPECT_EQ(after[i].h, before[i].h);
        if (before[i].w < 0) continue;
        int w = 0, h = 0;
        if (after[i].handle != before[i].handle) {
            EXPECT_EQ(GetImageSize(before[i].handle, &w, &h), -1) << "an old handle still answers";
        }
    }
}

TEST_F(ScenePictures, FullScreenSwitchReloadsTheSettingsPictures) {
    startIn(kSceneSettings);
    ASSERT_FALSE(fullScreen());
    const std::vector<SlotPicture> windowed = settingsPictures();
    int loaded = 0;
    for (const SlotPicture& p : windowed) loaded += p.w > 0;
    ASSERT_EQ(loaded, 18) << "the default set lacks settings pictures";

    for (int i = 0; i < 3; ++i) press(kDown);
    press(kRight);
    ASSERT_EQ(game.settings.fullScreen, 1);
    EXPECT_TRUE(fullScreen());
    expectReloaded(windowed);
    ticks(30);
    // Drawn with the new pictures, colour key and all.
    EXPECT_TRUE(matchesGolden("settings_full_screen"));

    const std::vector<SlotPicture> full = settingsPictures();
    press(kLeft);
    ASSERT_EQ(game.settings.fullScreen, 0);
    EXPECT_FALSE(fullScreen());
    expectReloaded(full);
}

TEST_F(ScenePictures, GameOverWhileThePicturesDrop) {
    startIn(kSceneGameOver);
    game.highScores[0] = {76543, 12};
    game.score = 4500;
    game.stageNumber = 6;
    changeScene(kSceneGameOver);
    ticks(300);
    EXPECT_TRUE(matchesGolden("game_over"));
}

TEST_F(ScenePictures, GameOverIrisClosing) {
    startIn(kSceneGameOver);
    ticks(100);
    press(kButton1);
    ticks(149);  // the press is continue tick 1
    ASSERT_EQ(game.continueCounter, 150);
    EXPECT_TRUE(matchesGolden("game_over_iris"));
}

TEST_F(ScenePictures, Interlude) {
    startIn(kScenePlay);
    game.stageNumber = 15;
    changeScene(kSceneInterlude);
    ticks(30);
    EXPECT_TRUE(matchesGolden("interlude"));
}

}  // namespace
