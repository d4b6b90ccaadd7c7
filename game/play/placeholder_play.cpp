// The play scene before its logic exists.
#include "game/play/effects.h"
#include "game/play/magic.h"
#include "game/play/play_scene.h"
#include "game/play/player.h"

int updatePlayScene() { return 0; }
void loadStage() {}
void updatePlayer(int) {}
void readPlayerInput(int) {}
void startDeathJump(Player&) {}
void updateEffect(int) {}
void castBlockMagic(Player&) {}
void bumpBlock(int, int) {}
void updateMagicStates(Player&) {}
void startSpellEnding() {}
