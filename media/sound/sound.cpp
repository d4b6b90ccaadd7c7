// Sound and music. (Placeholder: sound stays off.)
#include "media/core/area_hooks.h"
#include "media/media.h"

namespace media::sound {
bool Start() { return false; }
void Stop() {}
void Upkeep() {}
}  // namespace media::sound

int LoadSound(const char*, int, int) { return -1; }
int PlaySound(int, int, int) { return -1; }
int StopSound(int) { return -1; }
int DeleteAllSounds(int) { return -1; }
int SetSoundLoadMode(int mode) { return mode >= 0 && mode <= 3 ? 0 : -1; }
