// Entering the scene game.scene names: its state reset, its pictures and its
// sounds loaded. Each is a dispatch over every scene, which only the game
// shell knows; the shell installs the three routines here, and play and the
// front-end scenes change scenes through sceneEntry().
#pragma once

struct SceneEntry {
    void (*resetState)();
    void (*loadImages)();
    void (*loadSounds)();
};

// The routines in use; until the shell installs its own, each does nothing.
const SceneEntry& sceneEntry();
void installSceneEntry(const SceneEntry& entry);

// Reset, images, sounds through the routines in use: the usual way into a
// new scene.
void enterCurrentScene();
