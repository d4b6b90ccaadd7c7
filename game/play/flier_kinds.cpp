// The fliers: up and down (18 to 23) and left and right (24 to 26). They
// ignore gravity, pause ten ticks at each turn and break what they bump.
#include "game/play/actor_kinds.h"
#include "game/play/actor_rules.h"

#include <cstddef>

namespace {

struct Flier {
    int16_t firstKind, lastKind;
    double step;
    bool probesOnWholePixels;  // the slow ones look only when on a whole pixel
};

constexpr Flier kVerticalFliers[] = {{18, 19, 1.0, false}, {20, 21, 2.0, false}, {22, 23, 0.5, true}};
constexpr Flier kHorizontalFliers[] = {{24, 24, 1.0, false}, {25, 25, 2.0, false}, {26, 26, 0.5, true}};

template <std::size_t N>
const Flier* flierOf(const Flier (&table)[N], int kind) {
    for (const Flier& f : table)
        if (kind >= f.firstKind && kind <= f.lastKind) return &f;
    return nullptr;
}

bool onWholePixel(double v) { return static_cast<int>(v * 10) % 10 == 0; }

// Turns back with a pause, and breaks the cell bumped when it is not stone.
void bounce(Actor& a, int16_t newPhase, double breakX, double breakY) {
    a.phase = newPhase;
    a.frame = 10;
    if (blockAtPoint(breakX, breakY) != kBlockSolid) breakCellInPassing(breakX, breakY);
}

// Returns false while the flier pauses after a turn (ten ticks).
bool startTick(Actor& a) {
    a.timer += 1;
    setHitBox(a, 6, 25, 0);
    if (a.frame > 0) {
        a.frame -= 1;
        return false;
    }
    return true;
}

}  // namespace

void updateVerticalFlier(int slot) {
    Actor& a = actorAt(slot);
    const Flier* flier = flierOf(kVerticalFliers, a.kind);
    if (!flier) return;
    if (startTick(a)) {
        if (a.phase == 0) {
            a.y -= flier->step;
            a.facing = 1;
        } else if (a.phase == 1) {
            a.y += flier->step;
            a.facing = 0;
        }
    }
    if (!flier->probesOnWholePixels || onWholePixel(a.y)) {
        if (a.phase == 0 && solidAtPoint(a.x, a.y - 32))
            bounce(a, 1, a.x, a.y - 33);
        else if (a.phase == 1 && solidAtPoint(a.x, a.y + 1))
            bounce(a, 0, a.x, a.y + 1);
    }
    if (ageAndExpire(a)) return;
    knockedOut(a);
}

void updateHorizontalFlier(int slot) {
    Actor& a = actorAt(slot);
    const Flier* flier = flierOf(kHorizontalFliers, a.kind);
    if (!flier) return;
    if (startTick(a)) {
        if (a.phase == 0) {
            stepX(a, -flier->step);
            a.facing = 1;
        } else if (a.phase == 1) {
            stepX(a, flier->step);
            a.facing = 0;
        }
    }
    if ((a.phase == 0 || a.phase == 1) && (!flier->probesOnWholePixels || onWholePixel(a.x))) {
        const double probeX = a.phase == 0 ? a.x - 17 : a.x + 17;
        if (solidAtPoint(probeX, a.y - 15)) bounce(a, a.phase == 0 ? 1 : 0, probeX, a.y - 15);
    }
    if (ageAndExpire(a)) return;
    knockedOut(a);
}
