// Scenes not built yet. The start-up movie hands over to the title at once.
#include "game/scenes/scenes.h"
#include "game/shell/frame_tick.h"
#include "game/shell/globals.h"

void updateGameOverScene() {}
void updateTitleScene() {}
void updateStageSelectScene() {}
void updateRankingScene() {}
void updateSettingsScene() {}
void updateInterludeScene() {}
void updateOpeningMovieScene() {}
void updateEndingMovieScene() {}
void updateMidGameMovieScene() {}

void updateStartupMovieScene() {
    game.scene = kSceneTitle;
    enterScene();
}

void resetGameOverScene() {}
void resetTitleScene() {}
void resetStageSelectScene() {}
void resetRankingScene() {}
void resetSettingsScene() {}
void resetInterludeScene() {}
