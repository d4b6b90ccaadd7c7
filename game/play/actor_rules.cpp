#include "game/play/actor_rules.h"

#include "game/play/effects.h"
#include "game/play/tile_map.h"
#include "game/state/globals.h"

bool groundGoneUnderFeet(const Actor& a) {
    return !solidAtPoint(a.x - 8, a.y + 2) && !solidAtPoint(a.x + 8, a.y + 2);
}

void fall(Actor& a, double gravity) {
    a.y -= a.vy;
    a.vy -= gravity;
}

void crash(Actor& a) {
    const int x = static_cast<int>(a.x), y = static_cast<int>(a.y);
    spawnEffect(x, y, 64, 0);
    spawnEffect(x + 10, y - 10, 65, 0);
    spawnEffect(x + 5, y + 10, 66, 0);
    spawnEffect(x - 3, y - 5, 67, 0);
    spawnEffect(x - 8, y + 5, 68, 0);
    a.phase = kPhaseFlyingAway;
    a.dying = 1;
}

void flyAway(Actor& a) {
    stepX(a, a.facing == 1 ? -5 : 5);
    a.y -= 5;
    if (a.timer >= 200) a.live = 0;
}

void knockedOut(Actor& a) {
    if (a.phase != kPhaseKnockedOut || !a.airborne) return;
    a.y -= a.vy;
    a.vy -= 0.2;
}

void expire(Actor& a) {
    spawnEffect(static_cast<int>(a.x), static_cast<int>(a.y), kEffectExpiryPuff, 0);
    a.timer = 0;
    a.live = 0;
}

bool ageAndExpire(Actor& a) {
    a.age += 1;
    if (a.lifetime > 0 && !a.dying && a.lifetime < a.age) {
        expire(a);
        return true;
    }
    return false;
}

void breakCellInPassing(double px, double py) {
    spawnBreakEffect(truncateCoordinate(px), truncateCoordinate(py), kEffectActorBreak);
    breakCellAtPoint(px, py);
}
