// The frame tick and the scene dispatch.
#pragma once

void FrameTick();

// The three scene-entry routines, each a dispatch on game.scene.
void ResetSceneState();
void LoadSceneImages();
void LoadSceneSounds();

// Reset, images, sounds: the usual way into a new scene.
void enterScene();
