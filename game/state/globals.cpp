#include "game/state/globals.h"

GameGlobals game{};
