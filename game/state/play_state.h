// The play scene's part of GameGlobals: the tile map, the players, the actor
// and effect tables and the stage-level counters. Plain data with no padding
// left to chance, so a whole play state can be copied, compared and hashed.
#pragma once

#include <cstdint>

// The stage grid: 40 columns x 15 rows of 32x32 cells, stored column by column.
constexpr int kGridColumns = 40;
constexpr int kGridRows = 15;
constexpr int kCellCount = kGridColumns * kGridRows;
constexpr int kCellSize = 32;
constexpr int kCellScriptValues = 32;

// Block codes of the `blocks` layer.
constexpr int32_t kBlockEmpty = 0;
constexpr int32_t kBlockSolid = 1;
constexpr int32_t kBlockBreakable = 2;
constexpr int32_t kBlockCracked = 3;

struct TileMap {
    int32_t blocks[kCellCount];        // block code; 100+ only while a stage loads
    int32_t hiddenItems[kCellCount];   // v > 0: actor kind v - 100 appears when broken
    int32_t blockVariant[kCellCount];  // 1 from the stage file, 0 made in play
    int32_t breakTimers[kCellCount];   // 20 when broken, counts down per play tick
    int32_t placeTimers[kCellCount];   // 20 when made by magic, counts down per play tick
    int16_t cellScripts[kCellCount][kCellScriptValues];  // kind-35 scripts
};
static_assert(sizeof(TileMap) == 5 * 4 * kCellCount + 2 * kCellCount * kCellScriptValues);

// Player states.
enum PlayerStateId : int16_t {
    kPlayerStanding = 0,
    kPlayerWalking = 1,
    kPlayerJumpWindUp = 2,
    kPlayerInAir = 3,
    kPlayerCrouching = 4,
    kPlayerCrouchWalking = 5,
    kPlayerMagicStanding = 10,
    kPlayerMagicInAir = 11,
    kPlayerMagicCrouching = 12,
    kPlayerLanded = 13,
    kPlayerHeadBump = 14,
    kPlayerLandedAfterBump = 15,
    kPlayerKeyTaken = 16,
    kPlayerKeyRecovering = 17,
    kPlayerDeathJump = 18,
    kPlayerLyingDead = 19,
    kPlayerShotStanding = 30,
    kPlayerShotInAir = 31,
    kPlayerShotCrouching = 32,
    kPlayerAtExit = 40,
    kPlayerLookingUp = 41,
    kPlayerStumble = 42,
    kPlayerSpellStart = 43,
    kPlayerSpellCharge = 44,
    kPlayerSpellTrigger = 45,
    kPlayerSpellBeam = 46,
    kPlayerSpellFinish = 47,
};

struct Player {
    int16_t state;
    int16_t prevState;       // state at the end of the previous update
    int16_t headWasBlocked;  // 1 once a block has been seen over the head
    int16_t lockTimer;       // > 0: no input, no gravity; counts down
    int16_t crouching;
    int16_t bumped;          // 1 after a head bump, until the next landing
    int16_t lives;
    int16_t magic;           // shot charges 0..3
    int16_t x;               // horizontal centre
    int16_t stateTimer;      // ticks in the current state
    int16_t active;
    int16_t facing;          // 0 right, 1 left
    int16_t airborne;
    int16_t holdTimer;       // > 0: the whole update is skipped
    int16_t halfWidth;       // hit box
    int16_t height;
    int16_t depth;
    int16_t spare[3];        // keeps the doubles aligned without hidden padding
    double y;                // feet
    double vy;               // positive = upward
};
static_assert(sizeof(Player) == 20 * 2 + 2 * 8);

constexpr int kSpawnScriptEntries = 10;

// One record layout for both tables: actors (enemies, items, key, exit,
// spawners) and effects (sparks, debris, shots, spell pieces).
struct Actor {
    int16_t angle;      // effects: random direction 0..359
    int16_t phase;      // sub-state of the behaviour
    int16_t kind;
    int16_t frame;      // animation frame (block walkers and fliers: pause count)
    int16_t persist;    // effects: also updated during a freeze
    int16_t age;
    int16_t dying;      // 1 = defeated: ignored by contact and shots
    int16_t lifetime;   // 0 = unlimited
    int16_t timer;      // ticks since spawn
    int16_t live;       // 0 = free slot
    int16_t facing;     // 0 right, 1 left
    int16_t airborne;
    int16_t halfWidth;  // hit box
    int16_t height;
    int16_t pose;       // drawing variant
    int16_t depth;
    double y;           // actors: feet; effects: anchor
    double vy;          // positive = upward
    float x;            // horizontal centre
    // The scripted spawner's script (kind 35 only).
    int16_t spawnKinds[kSpawnScriptEntries];
    int16_t spawnInterval;
    int16_t spawnLimit;
    int16_t spawnFacings[kSpawnScriptEntries];
    int16_t spawnerSlot;  // actor slot of the spawner that made it; -1 if placed
    int16_t spawnLifetimes[kSpawnScriptEntries];
    int16_t spare;        // keeps the record free of hidden padding
};
static_assert(sizeof(Actor) == 16 * 2 + 2 * 8 + 4 + 34 * 2);

constexpr int kActorSlots = 100;
constexpr int kEffectSlots = 100;

// Actor kinds of this scene's own logic (the rest are the creatures).
constexpr int16_t kKindKey = 7;
constexpr int16_t kKindExit = 8;
constexpr int16_t kKindHomingBonus = 41;
constexpr int16_t kKindBonusKey = 42;
constexpr int16_t kKindScore100 = 43;
constexpr int16_t kKindScore200 = 44;
constexpr int16_t kKindScore500 = 45;
constexpr int16_t kKindScore500Life = 46;
constexpr int16_t kKindScore1000 = 47;
constexpr int16_t kKindExtraLife = 48;
constexpr int16_t kKindMagicCharge = 49;

struct PlayState {
    TileMap tileMap;
    Player players[2];
    Actor actors[kActorSlots];
    Actor effects[kEffectSlots];

    // Stage-level counters (noTimeLimit lives in the settings record).
    int32_t freezeCounter;   // >= 1: only the freeze phase runs
    int32_t startCounter;    // stage-start countdown; 0 = running
    int16_t clearCounter;    // ticks since the exit was reached; ends at 300
    int16_t deathCounter;    // ticks since the dead player landed; ends at 85
    int16_t pauseCounter;    // 0 = not paused
    int16_t controlsLocked;  // after death, time-out or reaching the exit
    float timeLeft;          // ticks of play left
    int16_t actorsHeld;      // the big spell holds the actors
    int16_t spare[3];
    int32_t playFrame;       // ticks of normal play since stage load
    int32_t shakeTimerX;
    int32_t shakeTimerY;
    float shakeX;            // added to every drawn position
    float shakeY;
};
static_assert(sizeof(PlayState) == sizeof(TileMap) + 2 * sizeof(Player) +
                                       (kActorSlots + kEffectSlots) * sizeof(Actor) + 48);
