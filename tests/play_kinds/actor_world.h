// A small in-memory play field for the creature tests: an empty grid with a
// floor, cells set by hand and actors placed by hand.
#pragma once

#include "game/play/actor_kinds.h"
#include "game/state/globals.h"
#include "game/state/play_state.h"

#include <cstring>

namespace actor_world {

constexpr int kFloorRow = 14;
// Feet of an actor standing on the floor row: the bottom pixel of row 13.
constexpr double kOnFloor = 32 * 13 + 31;

inline void clear() {
    std::memset(static_cast<PlayState*>(&game), 0, sizeof(PlayState));
    for (Actor& a : game.actors) a.spawnerSlot = -1;
    game.randomState = 1;
    for (int column = 0; column < kGridColumns; ++column)
        game.tileMap.blocks[column * kGridRows + kFloorRow] = kBlockSolid;
}

inline void setCell(int column, int row, int32_t code, int32_t hiddenItem = 0) {
    game.tileMap.blocks[column * kGridRows + row] = code;
    game.tileMap.hiddenItems[column * kGridRows + row] = hiddenItem;
}

inline int32_t cell(int column, int row) { return game.tileMap.blocks[column * kGridRows + row]; }

inline int place(int kind, double x, double y, int facing = 0, int phase = 0) {
    for (int slot = 0; slot < kActorSlots; ++slot) {
        Actor& a = game.actors[slot];
        if (a.live) continue;
        a = Actor{};
        a.live = 1;
        a.kind = static_cast<int16_t>(kind);
        a.x = static_cast<float>(x);
        a.y = y;
        a.facing = static_cast<int16_t>(facing);
        a.phase = static_cast<int16_t>(phase);
        a.spawnerSlot = -1;
        return slot;
    }
    return -1;
}

inline int liveCount(int kind) {
    int n = 0;
    for (const Actor& a : game.actors) n += a.live != 0 && a.kind == kind;
    return n;
}

inline int effectCount(int kind) {
    int n = 0;
    for (const Actor& e : game.effects) n += e.live != 0 && e.kind == kind;
    return n;
}

// One running tick of every behaviour for a slot, in the driver's order; each
// does nothing unless the slot holds one of its kinds.
inline void runBehaviours(int slot) {
    updateHomingBonus(slot);
    updateTimedSpawner(slot);
    updateScriptedSpawner(slot);
    updateFireWalker(slot);
    updateFlame(slot);
    updateFireBreathingWalker(slot);
    updateSleeper(slot);
    updateCannonShot(slot);
    updateCannon(slot);
    updateChaser(slot);
    updateBlockWalker(slot);
    updateWallCrawler(slot);
    updateVerticalFlier(slot);
    updateHorizontalFlier(slot);
}

}  // namespace actor_world
