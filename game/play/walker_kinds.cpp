// The walking creatures: the chaser (13), the fire-breathing walkers (32 and
// 34) and the block walkers (12, 16, 17).
#include "game/play/actor_kinds.h"
#include "game/play/actor_rules.h"
#include "game/play/actors.h"
#include "game/play/effects.h"
#include "game/play/play_sounds.h"

namespace {

// +1 moving right (facing 0), -1 moving left (facing 1).
int ahead(const Actor& a) { return a.facing == 1 ? -1 : 1; }

// --- Fire breathing, shared by kinds 32 and 34 -----------------------------

struct FireBreather {
    int16_t kind;
    bool turnsAtLedges;      // 32 turns at the edge of its floor, 34 walks off
    int16_t fallingPhase;    // the phase a fall starts in
    int breakEffectDy;       // where the burnt block's pieces appear
    bool flameOnWholePixels; // 34 places its flame on whole pixels
};

constexpr FireBreather kFireBreathingWalker{32, true, 2, -16, false};
constexpr FireBreather kFireWalker{34, false, 2, -14, true};

// The breakable block two cells ahead stops a walker to breathe on it.
bool breakableAhead(const Actor& a) {
    return blockAtPoint(a.x + 17 * ahead(a), a.y - 16) == kBlockBreakable;
}

void walkAndTurn(Actor& a, const FireBreather& kind) {
    const int dir = ahead(a);
    stepX(a, dir);
    const bool wall = solidAtPoint(a.x + 7 * dir, a.y - 1);
    const bool ledge = kind.turnsAtLedges && !solidAtPoint(a.x + 3 * dir, a.y + 1);
    if (wall || ledge) a.facing = a.facing == 1 ? 0 : 1;
    if (breakableAhead(a)) {
        a.phase = 1;
        a.timer = 0;
    }
}

// Twenty ticks into a stop the walker breathes: the block ahead burns if it
// is still there, and a flame is thrown in front of it either way.
void breatheFire(Actor& a, const FireBreather& kind) {
    playSceneSound(32);
    const int dir = ahead(a);
    if (breakableAhead(a)) {
        spawnBreakEffect(truncateCoordinate(a.x + 32 * dir),
                         truncateCoordinate(a.y + kind.breakEffectDy), kEffectActorBreakFire);
        breakCellAtPoint(a.x + 17 * dir, a.y - 16);
    }
    const int slot = findFreeActorSlot();
    if (slot < 0) return;
    Actor& flame = game.actors[slot];
    double x = a.x + 28 * dir, y = a.y + 14;
    if (kind.flameOnWholePixels) {
        x = truncateCoordinate(x);
        y = truncateCoordinate(y);
    }
    flame.live = 1;
    flame.kind = 33;
    flame.timer = 0;
    flame.phase = 0;
    flame.dying = 0;
    flame.facing = a.facing == 1 ? 0 : 1;
    flame.x = static_cast<float>(x);
    flame.y = y;
}

void breathingStop(Actor& a, const FireBreather& kind) {
    if (a.timer == 20) breatheFire(a, kind);
    if (a.timer == 40) {
        a.phase = 0;
        a.timer = 0;
    }
}

// --- Falling and landing for the chaser and the fire-breathing walker -------

struct Faller {
    int16_t fallingPhase;
    int landingProbeBelow;  // the landing probes sit this far below the feet
    bool startsOnlyBelowPhase5;
};

void fallAndLand(Actor& a, const Faller& rule) {
    if (!a.airborne && (!rule.startsOnlyBelowPhase5 || a.phase < kPhaseFellThrough) &&
        groundGoneUnderFeet(a)) {
        a.airborne = 1;
        a.phase = breakTimerAtPoint(a.x, a.y + 2) > 0 ? kPhaseFellThrough : rule.fallingPhase;
    }
    if (!a.airborne) return;
    fall(a, 0.13);
    auto landed = [](Actor& actor) {
        actor.airborne = 0;
        actor.timer = 0;
        actor.vy = 0;
        if (actor.phase == kPhaseFellThrough)
            crash(actor);
        else if (actor.phase < kPhaseFellThrough)
            actor.phase = 0;
    };
    landOnProbe(a, a.x + 8, rule.landingProbeBelow, landed);
    landOnProbe(a, a.x - 8, rule.landingProbeBelow, landed);
}

void afterBehaviour(Actor& a) {
    if (ageAndExpire(a)) return;
    if (a.phase == kPhaseFlyingAway) flyAway(a);
    knockedOut(a);
}

// --- Block walkers -----------------------------------------------------------

struct BlockWalker {
    int16_t kind;
    double step;
    bool expiresInEveryPhase;  // otherwise only while walking left
};

constexpr BlockWalker kBlockWalkers[] = {
    {12, 1.0, true},
    {16, 2.0, false},
    {17, 0.5, false},
};

const BlockWalker* blockWalkerOf(int kind) {
    for (const BlockWalker& w : kBlockWalkers)
        if (w.kind == kind) return &w;
    return nullptr;
}

constexpr int16_t kPhaseExpiring = 3;

}  // namespace

void updateChaser(int slot) {
    Actor& a = actorAt(slot);
    if (a.kind != 13) return;
    a.timer += 1;
    setHitBox(a, 7, 15, 0);
    if (!a.dying) {
        if (a.phase == 0 || a.phase == 1) {
            const int dir = ahead(a);
            stepX(a, dir);
            // It hurries towards a player standing at exactly its height. On
            // the same floor her feet rest one pixel above its own (she lands
            // on the row above her probe, it on its probe's row): that is its
            // height too, or it would never hurry at all.
            for (const Player& p : game.players) {
                const bool inFront = dir > 0 ? p.x > a.x : p.x < a.x;
                if (inFront && (p.y == a.y || p.y + 1.0 == a.y)) {
                    stepX(a, 0.5 * dir);
                    a.phase = 1;
                }
            }
            const double ledgeX = dir > 0 ? a.x + 17 : a.x - 16;
            if (!solidAtPoint(ledgeX, a.y + 1)) {
                a.phase = 3;
                a.timer = 0;
            }
            if (solidAtPoint(a.x + 16 * dir, a.y - 16)) {
                a.phase = 2;
                a.timer = 0;
            }
        } else if (a.phase == 2) {
            const double wallX = a.x + 16 * ahead(a);
            if (a.timer == 12 && blockAtPoint(wallX, a.y - 16) != kBlockSolid)
                breakCellInPassing(wallX, a.y - 16);
            if (a.timer == 20) {
                a.facing = a.facing == 1 ? 0 : 1;
                a.phase = 0;
            }
        } else if (a.phase == 3 && a.timer == 20) {
            a.facing = a.facing == 1 ? 0 : 1;
            a.phase = 0;
        }
        fallAndLand(a, {4, 0, true});
    }
    afterBehaviour(a);
}

void updateFireBreathingWalker(int slot) {
    Actor& a = actorAt(slot);
    if (a.kind != kFireBreathingWalker.kind) return;
    a.timer += 1;
    setHitBox(a, 6, 15, 0);
    if (!a.dying) {
        if (a.phase == 0)
            walkAndTurn(a, kFireBreathingWalker);
        else if (a.phase == 1)
            breathingStop(a, kFireBreathingWalker);
        fallAndLand(a, {kFireBreathingWalker.fallingPhase, 1, false});
    }
    afterBehaviour(a);
}

void updateFireWalker(int slot) {
    Actor& a = actorAt(slot);
    if (a.kind != kFireWalker.kind) return;
    a.age += 1;
    a.timer += 1;
    setHitBox(a, 6, 15, 0);
    if (a.phase == 0)
        walkAndTurn(a, kFireWalker);
    else if (a.phase == 1)
        breathingStop(a, kFireWalker);
    if (!a.dying) {
        if (groundGoneUnderFeet(a)) {
            a.airborne = 1;
            a.phase = kFireWalker.fallingPhase;
        }
        if (a.airborne) {
            fall(a, 0.13);
            auto landed = [](Actor& actor) {
                actor.airborne = 0;
                actor.phase = 0;
                actor.timer = 0;
                actor.vy = 0;
            };
            landOnProbe(a, a.x + 8, 1, landed);
            landOnProbe(a, a.x - 8, 1, landed);
        }
    }
    // This kind expires by age even while dying.
    if (a.lifetime > 0 && a.lifetime < a.age) {
        expire(a);
        return;
    }
    knockedOut(a);
}

void updateBlockWalker(int slot) {
    Actor& a = actorAt(slot);
    const BlockWalker* walker = blockWalkerOf(a.kind);
    if (!walker) return;
    a.timer += 1;
    setHitBox(a, 6, 25, 0);

    // Expiry counts the timer; the faster walkers only expire walking left.
    const bool mayExpire = walker->expiresInEveryPhase || a.phase == 1 || a.phase == 2;
    if (mayExpire && a.lifetime > 0 && a.lifetime < a.timer) {
        a.timer = 0;
        a.phase = kPhaseExpiring;
    }
    if (a.phase == kPhaseExpiring && a.timer == 0) {
        // A freed walker does nothing more this tick.
        expire(a);
        return;
    }

    // `frame` counts down a pause of ten ticks after each turn.
    if (a.frame > 0) {
        a.frame -= 1;
    } else {
        if (a.phase == 0) {
            if (!a.airborne) stepX(a, walker->step);
            a.facing = 1;
        } else if (a.phase == 1) {
            if (!a.airborne) stepX(a, -walker->step);
            a.facing = 0;
        }
    }

    if (!a.dying) {
        if (groundGoneUnderFeet(a)) a.airborne = 1;
        if (a.airborne) {
            fall(a, 0.13);
            auto landed = [](Actor& actor) {
                actor.airborne = 0;
                actor.vy = 0;
            };
            landOnProbe(a, a.x + 8, 1, landed);
            landOnProbe(a, a.x - 8, 1, landed);
        }
    }

    // It turns at any block ahead, breaking what is not solid stone.
    if (a.phase == 0 || a.phase == 1) {
        const double probeX = a.phase == 0 ? a.x + 16 : a.x - 16;
        const int32_t block = blockAtPoint(probeX, a.y - 16);
        if (block != kBlockEmpty) {
            a.phase = a.phase == 0 ? 1 : 0;
            a.frame = 10;
            if (block != kBlockSolid) breakCellInPassing(probeX, a.y - 16);
        }
    }
    knockedOut(a);
}
