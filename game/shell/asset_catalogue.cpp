#include "game/shell/asset_catalogue.h"

#include "game/shell/frame_tick.h"
#include "game/state/globals.h"
#include "media/media.h"

void LoadSceneImages() {
    DeleteAllImages(0);
    if (game.scene == kScenePlay)
        loadPlaySceneImages();
    else
        loadFrontEndSceneImages();
}

void LoadSceneSounds() {
    DeleteAllSounds(0);
    if (game.scene == kScenePlay)
        loadPlaySceneSounds();
    else
        loadFrontEndSceneSounds();
}
