// The asset catalogue. (Placeholder: every scene releases everything and
// loads nothing yet.)
#include "game/shell/frame_tick.h"
#include "game/shell/globals.h"
#include "media/media.h"

void LoadSceneImages() { DeleteAllImages(0); }
void LoadSceneSounds() { DeleteAllSounds(0); }
