// The frame tick and the scene dispatch.
#pragma once

void FrameTick();

// The three scene-entry routines, each a dispatch on game.scene.
void ResetSceneState();
void LoadSceneImages();
void LoadSceneSounds();

// Installs the three routines above as the scene entry
// (game/state/scene_entry.h) that play and the front-end scenes change
// scenes through.
void installShellSceneEntry();

// Reset, images, sounds: the usual way into a new scene. The shell's scene
// entry is installed first, so every scene change from here on goes through
// the shell.
void enterScene();
