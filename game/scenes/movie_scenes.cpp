// The four movie scenes: each plays its movie to the end (or until a key
// ends it) inside one tick and hands over to the next scene.
#include "game/scenes/front_end_framework.h"
#include "game/scenes/scenes.h"
#include "game/state/globals.h"
#include "game/state/high_scores.h"
#include "media/media.h"

namespace {

// Played centred at its own size; any key or joypad button ends it early.
void playSceneMovie(const char* file) { PlayMovie(file, 1, 0); }

}  // namespace

void updateStartupMovieScene() {
    playSceneMovie("25\\0.avi");
    changeScene(kSceneTitle);
}

void updateOpeningMovieScene() {
    playSceneMovie("25\\1.avi");
    game.stageSelectMode = 0;  // a normal game
    changeScene(kScenePlay);
}

void updateEndingMovieScene() {
    playSceneMovie("25\\2.avi");
    InsertHighScore(game.score, game.stageNumber);
    changeScene(kSceneTitle);
}

void updateMidGameMovieScene() {
    playSceneMovie("25\\3.avi");
    changeScene(kScenePlay);
}
