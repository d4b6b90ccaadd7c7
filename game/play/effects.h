// The effect table: spawning and behaviour of every effect kind.
#pragma once

// Effect kinds other parts name.
constexpr int kEffectKeySpark = 1;
constexpr int kEffectPlayerBreak = 14;
constexpr int kEffectBlockMade = 15;
constexpr int kEffectPlayerShot = 20;
constexpr int kEffectShotImpact = 25;
constexpr int kEffectKeyArrival = 29;
constexpr int kEffectActorBreak = 30;
constexpr int kEffectActorBreakFire = 31;
constexpr int kEffectSpawnFlash = 32;
constexpr int kEffectExpiryPuff = 33;
constexpr int kEffectSpellStart = 48;
constexpr int kEffectDebrisMade = 61;
constexpr int kEffectDebrisFile = 62;
constexpr int kEffectSolidSpark = 63;

// The lowest free effect slot, or -1.
int findFreeEffectSlot();

// The first free slot gets kind, live, timer 0, x, phase 0, y, a random
// angle 0..359 and facing; kinds 42..49 also persist. Returns the slot or -1.
int spawnEffect(int x, int y, int kind, int facing);

// A persistent block-break effect (14, 30, 31) with the break sound.
void spawnBreakEffect(int x, int y, int kind);
// A persistent block-made effect (15) with the make sound.
void spawnMakeEffect(int x, int y);

// One tick of effect slot `slot`.
void updateEffect(int slot);
