// Entering a scene releases every picture and sound and loads the scene's
// own, as its catalogue lists them.
#include "game/shell/frame_tick.h"
#include "game/shell/play_catalogue.h"
#include "game/state/globals.h"
#include "media/media.h"

void LoadSceneImages() {
    DeleteAllImages(0);
    SceneLoader loader;
    if (game.scene == kScenePlay)
        visitPlaySceneImages(game.stageNumber, loader);
    else
        visitFrontEndSceneImages(game.scene, loader);
}

void LoadSceneSounds() {
    DeleteAllSounds(0);
    SceneLoader loader;
    if (game.scene == kScenePlay)
        visitPlaySceneSounds(game.stageNumber, loader);
    else
        visitFrontEndSceneSounds(game.scene, loader);
}
