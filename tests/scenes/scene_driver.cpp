#include "tests/scenes/scene_driver.h"

#include "game/play/play_scene.h"
#include "game/scenes/scenes.h"
#include "game/shell/controls.h"
#include "game/shell/frame_tick.h"
#include "game/shell/saved_files.h"
#include "media/media.h"
#include "tests/support/test_support.h"

#include <gtest/gtest.h>

namespace scene_test {

namespace {

// The media layer runs headless for the whole program.
class HeadlessEnvironment : public ::testing::Environment {
public:
    void SetUp() override { media_ = new testing_support::HeadlessMedia; }
    void TearDown() override { delete media_; }

private:
    testing_support::HeadlessMedia* media_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new HeadlessEnvironment);

// Step 3 of the frame tick: the current scene's routine.
void runScene() {
    switch (game.scene) {
    case kScenePlay: updatePlayScene(); break;
    case kSceneGameOver: updateGameOverScene(); break;
    case kSceneTitle: updateTitleScene(); break;
    case kSceneStageSelect: updateStageSelectScene(); break;
    case kSceneRanking: updateRankingScene(); break;
    case kSceneSettings: updateSettingsScene(); break;
    case kSceneOpeningMovie: updateOpeningMovieScene(); break;
    case kSceneStartupMovie: updateStartupMovieScene(); break;
    case kSceneInterlude: updateInterludeScene(); break;
    case kSceneEndingMovie: updateEndingMovieScene(); break;
    case kSceneMidGameMovie: updateMidGameMovieScene(); break;
    default: break;
    }
}

}  // namespace

void startIn(int scene) {
    game = GameGlobals{};
    setDefaultKeyAssignment();
    setSavedDefaults();
    game.scene = scene;
    enterScene();
}

void tick(const Pad& pad) {
    // The frame tick with the devices replaced by the script.
    ClearScreen();
    game.input[0] = InputState{};
    game.input[1] = InputState{};
    game.input[0].horizontal = pad.horizontal;
    game.input[0].vertical = pad.vertical;
    game.input[0].button[0] = pad.button1 ? 1 : 0;
    game.input[0].button[1] = pad.button2 ? 1 : 0;
    runScene();
    FlipScreen();
}

void ticks(int count, const Pad& pad) {
    for (int i = 0; i < count; ++i) tick(pad);
}

void press(const Pad& pad) {
    tick(kNothing);
    tick(pad);
}

}  // namespace scene_test
