// The front-end scenes' pictures and sounds. (Placeholder: nothing is loaded
// yet.)
#include "game/shell/asset_catalogue.h"

void loadFrontEndSceneImages() {}
void loadFrontEndSceneSounds() {}
