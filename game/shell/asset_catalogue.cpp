// Entering a scene releases every picture and sound and loads the scene's
// own, as its catalogue lists them.
#include "game/shell/frame_tick.h"
#include "game/shell/play_catalogue.h"
#include "game/state/globals.h"
#include "media/media.h"

namespace {

// The stage the player most likely enters next is decoded ahead while this
// scene runs, so that even its first entry finds its pictures decoded: from
// the title a new game's first stage, from the stage select the stage
// chosen last; in play, the next stage's background (the rest is shared).
void prepareLikelyStage() {
    switch (game.scene) {
    case kSceneTitle:
        preparePlayScene(0);
        break;
    case kSceneStageSelect:
        preparePlayScene(game.stageSelectChoice > 0 ? game.stageSelectChoice - 1 : 0);
        break;
    case kScenePlay:
        prepareNextStageBackground(game.stageNumber);
        break;
    default:
        break;
    }
}

}  // namespace

void LoadSceneImages() {
    DeleteAllImages(0);
    SceneLoader loader;
    if (game.scene == kScenePlay)
        visitPlaySceneImages(game.stageNumber, loader);
    else
        visitFrontEndSceneImages(game.scene, loader);
    prepareLikelyStage();
}

void LoadSceneSounds() {
    DeleteAllSounds(0);
    SceneLoader loader;
    if (game.scene == kScenePlay)
        visitPlaySceneSounds(game.stageNumber, loader);
    else
        visitFrontEndSceneSounds(game.scene, loader);
}
