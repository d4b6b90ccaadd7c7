// A copy of everything one tick of play reads and writes, taken from the game
// state and put back into it, so a search can try many inputs from one point.
// The stage's kind-35 scripts never change during play and the handle tables
// are not play, so neither is copied: a snapshot is about 37 KB.
#pragma once

#include "game/state/globals.h"

#include <cstddef>
#include <cstdint>

namespace finder {

struct PlaySnapshot {
    // The tile layers that change in play: everything before the scripts.
    static constexpr size_t kLayerBytes = offsetof(TileMap, cellScripts);
    // Players, actors, effects and the stage counters: everything after the map.
    static constexpr size_t kRestBytes = sizeof(PlayState) - sizeof(TileMap);

    unsigned char layers[kLayerBytes];
    unsigned char rest[kRestBytes];
    int32_t score;
    uint32_t randomState;
    int32_t prevButtons[2][4];
    DirectionMemory prevDirection[2];
};

// The game state into `out`, and `in` back into the game state. Plain copies:
// nothing is allocated.
void saveSnapshot(PlaySnapshot& out);
void restoreSnapshot(const PlaySnapshot& in);

}  // namespace finder
