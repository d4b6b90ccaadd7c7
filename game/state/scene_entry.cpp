#include "game/state/scene_entry.h"

namespace {

void nothing() {}

SceneEntry gEntry{nothing, nothing, nothing};

}  // namespace

const SceneEntry& sceneEntry() { return gEntry; }

void installSceneEntry(const SceneEntry& entry) { gEntry = entry; }

void enterCurrentScene() {
    gEntry.resetState();
    gEntry.loadImages();
    gEntry.loadSounds();
}
