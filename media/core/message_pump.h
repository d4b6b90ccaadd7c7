// What the areas of the media layer need of the core's message pump.
#pragma once

#include <SDL.h>

namespace media::core {

// True on the thread that made the window (the only thread that may pump
// SDL's event queue).
bool OnWindowThread();

// True between a successful InitMedia and EndMedia.
bool Running();

}  // namespace media::core
