// Keyboard and joypads. (Placeholder: nothing is held yet.)
#include "media/core/api_lock.h"
#include "media/core/area_hooks.h"
#include "media/media.h"

namespace media::input {
bool Start() { return true; }
void Stop() {}
void HandleEvent(const SDL_Event&) {}
}  // namespace media::input

int CheckKey(int) { return 0; }
int GetPadInput(int) { return 0; }
