// A hash of the whole game state that play depends on: the play state, the
// game values and the random generator. Equal states give equal hashes on
// every run and platform.
#pragma once

#include <cstdint>

uint64_t hashPlayState();
