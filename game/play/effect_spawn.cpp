#include "game/play/effects.h"

#include "game/play/game_random.h"
#include "game/play/play_sounds.h"
#include "game/state/globals.h"

int findFreeEffectSlot() {
    for (int i = 0; i < kEffectSlots; ++i)
        if (game.effects[i].live == 0) return i;
    return -1;
}

int spawnEffect(int x, int y, int kind, int facing) {
    int slot = findFreeEffectSlot();
    if (slot < 0) return -1;
    Actor& e = game.effects[slot];
    e.kind = static_cast<int16_t>(kind);
    e.live = 1;
    e.timer = 0;
    e.x = static_cast<float>(x);
    e.phase = 0;
    e.y = y;
    e.angle = static_cast<int16_t>(gameRandomBelow(360));
    e.facing = static_cast<int16_t>(facing);
    // Only the spell sparkles are made persistent here; any other kind keeps
    // whatever the slot's previous occupant left.
    if (kind >= 42 && kind <= 49) e.persist = 1;
    return slot;
}

namespace {
void spawnPersistent(int x, int y, int kind, int sound) {
    int slot = findFreeEffectSlot();
    if (slot < 0) return;
    playSceneSound(sound);
    Actor& e = game.effects[slot];
    e.persist = 1;
    e.x = static_cast<float>(x);
    e.kind = static_cast<int16_t>(kind);
    e.live = 1;
    e.timer = 0;
    e.phase = 0;
    e.y = y;
}
}  // namespace

void spawnBreakEffect(int x, int y, int kind) { spawnPersistent(x, y, kind, 3); }

void spawnMakeEffect(int x, int y) { spawnPersistent(x, y, kEffectBlockMade, 1); }
