// Rules the creatures share: gravity and landing, crashing, flying away,
// being knocked out, expiring, and breaking a cell in passing.
#pragma once

#include "game/play/tile_map.h"
#include "game/state/globals.h"
#include "game/state/play_state.h"

// Phases every creature understands.
constexpr int16_t kPhaseFellThrough = 5;  // its floor broke under it
constexpr int16_t kPhaseFlyingAway = 6;   // crashed, leaving the screen
constexpr int16_t kPhaseKnockedOut = 10;  // shot or caught by the spell

inline Actor& actorAt(int slot) { return game.actors[slot]; }

inline void setHitBox(Actor& a, int halfWidth, int height, int depth) {
    a.halfWidth = static_cast<int16_t>(halfWidth);
    a.height = static_cast<int16_t>(height);
    a.depth = static_cast<int16_t>(depth);
}

// Moves x by a step, in float as the record keeps it.
inline void stepX(Actor& a, double step) { a.x = static_cast<float>(a.x + step); }

// Both feet over empty cells two pixels below (x +- 8, y + 2).
bool groundGoneUnderFeet(const Actor& a);

// Gravity: y -= vy, vy -= gravity.
void fall(Actor& a, double gravity);

// Up to 64 tries: while the cell at (probeX, y + below) is solid, the actor
// is pushed up one pixel and `landed` runs (it may change the actor). The
// probe's column stays where it was when the tries began.
template <typename Landed>
void landOnProbe(Actor& a, double probeX, int below, Landed landed);

// The five pieces of a crash; the actor then flies away, dying.
void crash(Actor& a);

// Phase 6: five pixels a tick up and away from the way it faced; the slot is
// freed once its timer reaches 200.
void flyAway(Actor& a);

// Phase 10 while airborne: up and then down under a gravity of 0.2, with no
// tile tests; the actor keeps its slot.
void knockedOut(Actor& a);

// The expiry puff (effect 33) at the actor's feet, and the slot freed.
void expire(Actor& a);

// age += 1; a creature with a lifetime that is not dying expires once its
// age passes it. Returns true when the slot was freed.
bool ageAndExpire(Actor& a);

// A creature breaks the cell at a point: the break effect 30 at the point,
// the cell emptied and its hidden item released.
void breakCellInPassing(double px, double py);

template <typename Landed>
void landOnProbe(Actor& a, double probeX, int below, Landed landed) {
    for (int tries = 0; tries < 64 && solidAtPoint(probeX, a.y + below); ++tries) {
        a.y -= 1;
        landed(a);
    }
}
