// The interlude: one full picture for the group of five stages just cleared,
// shown until button 1, then the next stage (after stage 30's picture, the
// mid-game movie first).
#include "game/scenes/front_end_framework.h"
#include "game/scenes/scenes.h"
#include "game/state/globals.h"
#include "media/media.h"

namespace {

constexpr int kMidGameMovieStage = 30;

}  // namespace

void resetInterludeScene() {
    game.sceneFrame = 0;
    game.exitCounter = 0;
    game.fadeCounter = kMenuFadeTicks;
}

void updateInterludeScene() {
    advanceMenuCounters();

    // Every tick, also while fading out: a second press starts the fade again.
    if (freshPress(0)) game.exitCounter = 1;

    setOpaque();
    // Pictures 1..10 follow stages 5, 10, ... 50; any other stage shows none.
    const int picture = game.stageNumber / 5;
    if (game.stageNumber >= 0 && picture >= 1 && picture <= 10)
        drawPicture(320, 240, game.sceneImages[picture]);
    DrawFades();

    if (game.exitCounter == kMenuExitTick)
        changeScene(game.stageNumber == kMidGameMovieStage ? kSceneMidGameMovie : kScenePlay);
}
