// The play scene's pictures and sounds. (Placeholder: nothing is loaded yet.)
#include "game/shell/asset_catalogue.h"

void loadPlaySceneImages() {}
void loadPlaySceneSounds() {}
