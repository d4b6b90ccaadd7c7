// The play scene before its drawing exists: nothing is drawn.
#include "game/play/play_render.h"

void drawPlayScene() {}
void drawActors() {}
