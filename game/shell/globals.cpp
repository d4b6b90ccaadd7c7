#include "game/shell/globals.h"

GameGlobals game{};
