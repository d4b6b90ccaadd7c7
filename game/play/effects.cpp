// One tick of an effect: its timer, the bounds rule, its kind's behaviour and
// the spell ending.
#include "game/play/effects.h"

#include "game/play/game_random.h"
#include "game/play/play_sounds.h"
#include "game/play/tile_map.h"
#include "game/state/globals.h"

#include <initializer_list>

namespace {

constexpr int kEffectKinds = 69;

// The tick on which each kind ends by itself (0: it does not).
constexpr int16_t kEndsAt[kEffectKinds] = {
    0,                                  // 0
    0,  35, 35, 35, 35, 35, 30, 30, 30, 35,  // 1..10
    40, 25, 30, 20, 20, 30, 30, 30, 20, 0,   // 11..20
    10, 10, 20, 20, 12, 0,  30, 30, 24, 20,  // 21..30
    20, 40, 18, 30, 30, 0,  25, 25, 25, 25,  // 31..40
    0,  0,  0,  0,  0,  0,  0,  60, 70, 0,   // 41..50
    0,  50, 50, 12, 0,  0,  0,  0,  8,  25,  // 51..60
    0,  0,  29, 27, 27, 27, 27, 27,          // 61..68
};

// Kinds that fade out in the 24 ticks after the beam state ends.
constexpr bool endsWithSpell(int kind) {
    switch (kind) {
    case 36: case 37: case 39: case 40: case 41: case 49: case 50: case 51:
    case 54: case 55: case 56: case 57: case 58:
        return true;
    default:
        return false;
    }
}

int whole(double v) { return truncateCoordinate(v); }

// A spark snapped to the centre of the cell the effect is in.
void spawnCellCentred(const Actor& owner, int kind, int phase, bool withAngle) {
    int slot = findFreeEffectSlot();
    if (slot < 0) return;
    Actor& e = game.effects[slot];
    e.persist = 1;
    e.live = 1;
    e.timer = 0;
    e.kind = static_cast<int16_t>(kind);
    e.phase = static_cast<int16_t>(phase);
    e.x = static_cast<float>(kCellSize * cellColumnOf(owner.x) + 16);
    e.y = kCellSize * cellRowOf(owner.y) + 16;
    if (withAngle) e.angle = static_cast<int16_t>(gameRandomBelow(360));
}

void spawnAt(const Actor& e, int dx, int dy, int kind) {
    spawnEffect(whole(e.x) + dx, whole(e.y) + dy, kind, e.facing);
}

void spawnAtFacing(const Actor& e, int dx, int dy, int kind, int facing) {
    spawnEffect(whole(e.x) + dx, whole(e.y) + dy, kind, facing);
}

int sideways(const Actor& e) { return e.facing == 1 ? -1 : 1; }

// The last live exit in slot order, or nullptr.
Actor* lastLiveExit() {
    for (int i = kActorSlots - 1; i >= 0; --i)
        if (game.actors[i].live != 0 && game.actors[i].kind == kKindExit) return &game.actors[i];
    return nullptr;
}

void updateKeySpark(Actor& e) {
    if (e.phase == 0) {
        e.y -= 10;
        if (e.timer % 10 == 8) spawnAtFacing(e, 0, 0, 27, 0);
        if (e.timer == 2) spawnAtFacing(e, 0, 130, 28, 0);
        if (e.y < -100) {
            e.phase = 1;
            if (const Actor* exit = lastLiveExit()) {
                e.x = exit->x;
                e.height = static_cast<int16_t>(whole(exit->y));
            }
        }
        return;
    }
    e.y += 10;
    if (e.timer % 10 == 8) spawnAtFacing(e, 0, 0, 27, 0);
    if (e.y > e.height - 50) {
        e.kind = kEffectKeyArrival;
        e.timer = 1;
        game.freezeCounter = 24;
        e.y += 20;
        for (Actor& a : game.actors) {
            if (a.live == 0 || a.kind != kKindExit) continue;
            a.phase = 1;
            a.timer = 0;
        }
        playSceneSound(31);
        game.shakeTimerY = 20;
        game.shakeTimerX = 20;
    }
}

void updatePlayerBreak(Actor& e) {
    if (e.timer == 1)
        for (int kind : {7, 8, 9, 10, 11, 13}) spawnCellCentred(e, kind, 0, true);
    if (e.timer % 10 == 3) spawnCellCentred(e, 6, 0, true);
    if (e.timer == 15) spawnCellCentred(e, 8, 0, true);
}

void updateBlockMade(Actor& e) {
    if (e.timer == 1) spawnCellCentred(e, 5, 0, false);
    if (e.timer == 10) {
        spawnCellCentred(e, 4, 0, false);
        spawnCellCentred(e, 3, 0, false);
    }
    if (e.timer % 5 == 0) spawnCellCentred(e, 2, 0, true);
    if (e.timer % 5 == 4) spawnCellCentred(e, 2, 1, true);
    if (e.timer == 10) spawnCellCentred(e, 12, 0, true);
}

// Sparkles and debris arc up and fall off the screen.
void arc(Actor& e) {
    e.y -= e.vy;
    e.vy -= 0.5;
    e.x += static_cast<float>(3 * sideways(e));
}

void updateSpellStart(Actor& e) {
    e.persist = 1;
    if (e.timer != 60) return;
    playSceneSound(37);
    for (int kind = 42; kind <= 47; ++kind) {
        for (int n = 0; n < 5; ++n) {
            int x = 50 + gameRandomBelow(550);
            int y = 50 + gameRandomBelow(350);
            spawnEffect(x, y, kind, gameRandomBelow(2));
        }
    }
    spawnEffect(0, 0, 49, e.facing);
}

void updateSpellCharge(Actor& e) {
    if (e.timer < 12) {
        e.y -= 2;
        e.x -= static_cast<float>(2 * sideways(e));
    }
    if (e.timer == 12) {
        spawnAt(e, 0, 0, 53);
        game.players[0].state = kPlayerSpellCharge;
        game.players[0].stateTimer = 0;
    }
}

void updateSpellBurst(Actor& e) {
    e.y += 1;
    if (e.timer != 12) return;
    spawnAt(e, 0, 0, 54);
    spawnAt(e, 0, 0, 64);
    spawnAt(e, -15, -10, 65);
    spawnAt(e, 15, 10, 67);
    spawnAt(e, -15, 10, 65);
    spawnAt(e, 15, -10, 67);
}

void updateBehaviour(Actor& e) {
    int t = e.timer;
    switch (e.kind) {
    case kEffectKeySpark: updateKeySpark(e); break;
    case kEffectPlayerBreak: updatePlayerBreak(e); break;
    case kEffectBlockMade: updateBlockMade(e); break;
    case kEffectPlayerShot:
        e.halfWidth = 10;
        e.height = 10;
        e.depth = 10;
        e.x += static_cast<float>(10 * sideways(e));
        if (t % 3 == 0) spawnAt(e, 0, 0, 21);
        break;
    case kEffectShotImpact:
        if (t == 1)
            for (int kind : {22, 23, 24}) spawnAt(e, 0, 0, kind);
        if (t == 8) spawnAt(e, 0, 0, 26);
        if (t == 12) spawnAt(e, 0, 0, 22);
        break;
    case 28: e.y -= 8; break;
    case kEffectKeyArrival: e.persist = 1; break;
    case kEffectExpiryPuff:
        if (t == 3) playSceneSound(53);
        break;
    case 41:
        if (t == 1) spawnAt(e, 0, 0, 36);
        if (t % 15 == 3) spawnAtFacing(e, 0, 0, 37, gameRandomBelow(2));
        if (t % 15 == 8) spawnAtFacing(e, 0, 0, 38, gameRandomBelow(2));
        if (t % 15 == 13) spawnAtFacing(e, 0, 0, 39, gameRandomBelow(2));
        if (t % 10 == 5) spawnAt(e, 0, 0, 40);
        break;
    case 42: case 43: case 44: case 45: case 46: case 47:
        e.persist = 1;
        if (t == 1) e.vy = 5;
        arc(e);
        break;
    case kEffectSpellStart: updateSpellStart(e); break;
    case 49:
        e.persist = 1;
        if (t == 15) playSceneSound(38);
        break;
    case 50:
        if (t % 10 == 5) spawnAt(e, 0, 0, 51);
        break;
    case 51: e.x += static_cast<float>(10 * sideways(e)); break;
    case 52: updateSpellCharge(e); break;
    case 53: updateSpellBurst(e); break;
    case 54:
        e.y += 1;
        if (t == 12) {
            game.players[0].state = kPlayerSpellTrigger;
            game.players[0].stateTimer = 0;
        }
        break;
    case 60: e.y -= 1; break;
    case kEffectDebrisMade:
    case kEffectDebrisFile:
        e.persist = 1;
        if (t == 1) e.vy = 4 + gameRandomBelow(3);
        arc(e);
        break;
    default: break;
    }
}

}  // namespace

void updateEffect(int slot) {
    if (slot < 0 || slot >= kEffectSlots) return;
    Actor& e = game.effects[slot];
    e.timer = static_cast<int16_t>(e.timer + 1);
    if (e.x < -100 || e.x > 800 || e.y < -200 || e.y > 800) e.live = 0;

    updateBehaviour(e);
    // The kind may have changed (the key spark arriving): read it afresh.
    if (e.kind >= 0 && e.kind < kEffectKinds && kEndsAt[e.kind] != 0 && e.timer == kEndsAt[e.kind])
        e.live = 0;

    if (endsWithSpell(e.kind) && e.phase == 1) {
        e.age = static_cast<int16_t>(e.age + 1);
        if (e.age == 25) e.live = 0;
    }
}
