#include "game/play/game_random.h"

#include "game/state/globals.h"

int gameRandom() {
    game.randomState = game.randomState * 214013u + 2531011u;
    return static_cast<int>((game.randomState >> 16) & 0x7FFFu);
}
