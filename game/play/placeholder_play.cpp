// The play scene before its logic exists.
#include "game/play/play_scene.h"

int updatePlayScene() { return 0; }
void loadStage() {}
