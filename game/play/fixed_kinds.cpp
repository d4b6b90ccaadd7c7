// The creatures that stay where they are placed: cannons (27, 28) and their
// shots (29), sleepers (30, 31) and flames (33).
#include "game/play/actor_kinds.h"
#include "game/play/actor_rules.h"
#include "game/play/actors.h"
#include "game/play/effects.h"
#include "game/play/play_sounds.h"

namespace {

constexpr int kCannonPeriod = 180;
constexpr int16_t kPhaseStopped = 5;

}  // namespace

void updateCannon(int slot) {
    Actor& a = actorAt(slot);
    if (a.kind != 27 && a.kind != 28) return;
    const bool facesRight = a.kind == 28;
    a.timer += 1;
    setHitBox(a, 3, 28, 3);
    if (a.phase == 0 && a.timer >= kCannonPeriod) {
        a.timer = 0;
        playSceneSound(33);
        const int shot = findFreeActorSlot();
        if (shot >= 0) {
            Actor& s = game.actors[shot];
            s.live = 1;
            s.kind = 29;
            s.x = static_cast<float>(a.x + (facesRight ? 15 : -15));
            s.y = a.y;
            s.facing = facesRight ? 1 : 0;
            s.phase = 0;
            s.timer = 0;
        }
    }
    if (a.phase == kPhaseStopped && a.timer >= 20) a.live = 0;
    knockedOut(a);
}

void updateCannonShot(int slot) {
    Actor& a = actorAt(slot);
    if (a.kind != 29) return;
    a.timer += 1;
    if (a.phase == 0) {
        setHitBox(a, 12, 20, 3);
        const int dir = a.facing == 1 ? 1 : -1;  // facing 0 flies left
        stepX(a, 3 * dir);
        // The shot tests the cell at its trailing edge.
        const double probeX = a.x - 8 * dir;
        const int32_t block = blockAtPoint(probeX, a.y - 16);
        if (block == kBlockBreakable || block == kBlockCracked) {
            spawnBreakEffect(truncateCoordinate(a.x - 32 * dir), truncateCoordinate(a.y - 16),
                             kEffectActorBreakFire);
            breakCellAtPoint(probeX, a.y - 16);
        }
        if (block == kBlockSolid || block == kBlockBreakable || block == kBlockCracked) {
            a.phase = kPhaseStopped;
            a.timer = 0;
        }
    } else if (a.phase == kPhaseStopped && a.timer >= 20) {
        a.live = 0;
    }
}

void updateSleeper(int slot) {
    Actor& a = actorAt(slot);
    if (a.kind != 30 && a.kind != 31) return;
    a.timer += 1;
    if (a.dying) {
        if (a.phase == kPhaseFlyingAway) flyAway(a);
        knockedOut(a);
        return;
    }
    if (a.phase == 0) setHitBox(a, 4, 32, 0);
    if (a.phase == 1) setHitBox(a, 6, 16, 0);
    if (groundGoneUnderFeet(a)) a.airborne = 1;
    if (a.airborne) {
        fall(a, 0.13);
        // Kind 31 cannot take a fall: any landing sends it flying.
        auto landed = a.kind == 31 ? +[](Actor& s) {
            s.airborne = 0;
            s.vy = 0;
            s.phase = kPhaseFlyingAway;
            s.timer = 0;
            s.dying = 1;
        } : +[](Actor& s) {
            s.airborne = 0;
            s.vy = 0;
            s.phase = 0;
        };
        landOnProbe(a, a.x + 8, 0, landed);
        landOnProbe(a, a.x - 8, 0, landed);
    }
    ageAndExpire(a);
}

void updateFlame(int slot) {
    Actor& a = actorAt(slot);
    if (a.kind != 33) return;
    a.timer += 1;
    setHitBox(a, 8, 32, 0);
    if (a.timer > 19) a.live = 0;  // a flame lives twenty ticks
}
