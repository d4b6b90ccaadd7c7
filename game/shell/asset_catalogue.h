// Which files each scene loads into which slots. LoadSceneImages and
// LoadSceneSounds (frame_tick.h) release everything and dispatch here.
#pragma once

// The play scene's pictures and sounds (by game.stageNumber).
void loadPlaySceneImages();
void loadPlaySceneSounds();

// The front-end scenes' pictures and sounds (by game.scene).
void loadFrontEndSceneImages();
void loadFrontEndSceneSounds();
