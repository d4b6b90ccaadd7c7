// The game's one random generator: the classic linear congruential recurrence
// with its state in game.randomState, so a game behaves the same everywhere
// and its random state is part of the saved game state.
#pragma once

#include <cstdint>

// The next number 0..32767.
int gameRandom();

// A number 0..n-1 (n >= 1), reduced by remainder.
inline int gameRandomBelow(int n) { return gameRandom() % n; }
