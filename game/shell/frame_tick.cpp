#include "game/shell/frame_tick.h"

#include "game/play/play_scene.h"
#include "game/scenes/scenes.h"
#include "game/shell/comforts.h"
#include "game/shell/controls.h"
#include "game/shell/help_overlay.h"
#include "game/state/globals.h"
#include "game/state/scene_entry.h"
#include "media/media.h"

namespace {

using SceneRoutine = void (*)();

void updatePlay() { updatePlayScene(); }

// Indexed by scene number.
constexpr SceneRoutine kSceneUpdates[] = {
    updatePlay,              updateGameOverScene,     updateTitleScene,
    updateStageSelectScene,  updateRankingScene,      updateSettingsScene,
    updateOpeningMovieScene, updateStartupMovieScene, updateInterludeScene,
    updateEndingMovieScene,  updateMidGameMovieScene,
};

// The movie scenes have no entry work.
constexpr SceneRoutine kSceneResets[] = {
    loadStage,          resetGameOverScene, resetTitleScene,     resetStageSelectScene,
    resetRankingScene,  resetSettingsScene, nullptr,             nullptr,
    resetInterludeScene, nullptr,           nullptr,
};

constexpr int kSceneCount = static_cast<int>(sizeof kSceneUpdates / sizeof kSceneUpdates[0]);

}  // namespace

void ResetSceneState() {
    if (game.scene < 0 || game.scene >= kSceneCount) return;
    if (SceneRoutine reset = kSceneResets[game.scene]) reset();
}

void installShellSceneEntry() {
    installSceneEntry({ResetSceneState, LoadSceneImages, LoadSceneSounds});
}

void enterScene() {
    installShellSceneEntry();
    enterCurrentScene();
}

void FrameTick() {
    ClearScreen();
    sampleControls();
    handleComfortKeys();
    if (game.scene >= 0 && game.scene < kSceneCount) kSceneUpdates[game.scene]();
    drawComfortNote();
    drawHelpOverlay();
    EnterMediaLock();
    FlipScreen();
    LeaveMediaLock();
}
