// The play scene's part of GameGlobals: the tile map, the players, the actor
// and effect tables and the stage-level counters.
#pragma once

#include <cstdint>

struct PlayState {
    int32_t placeholder;  // the play scene's fields come with the play logic
};
