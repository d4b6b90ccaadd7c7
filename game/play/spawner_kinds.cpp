// The spawners: the scripted spawner (35) and the timed spawners (36 to 40),
// and the homing bonus (41) that the bonus key calls up.
#include "game/play/actor_kinds.h"
#include "game/play/actor_rules.h"
#include "game/play/actors.h"
#include "game/play/effects.h"
#include "game/play/play_sounds.h"

namespace {

struct TimedChild {
    int16_t kind, phase, facing;
};

// What a timed spawner makes: every 180 ticks the first child; the two-child
// spawners make the second at 360 and start over.
struct TimedSpawner {
    int16_t kind;
    TimedChild first;
    TimedChild second;  // kind 0: none
};

constexpr TimedSpawner kTimedSpawners[] = {
    {36, {12, 1, 1}, {0, 0, 0}},
    {37, {34, 0, 0}, {0, 0, 0}},
    {38, {34, 1, 1}, {0, 0, 0}},
    {39, {12, 0, 0}, {34, 0, 0}},
    {40, {12, 1, 1}, {34, 1, 1}},
};

constexpr int kSpawnPeriod = 180;

// A child takes the first free slot; with none free, nothing comes.
void spawnTimedChild(const Actor& spawner, const TimedChild& child) {
    const int slot = spawnActorAt(child.kind, spawner.x, spawner.y);
    if (slot < 0) return;
    Actor& c = game.actors[slot];
    c.phase = child.phase;
    c.facing = child.facing;
    c.age = 0;
    c.dying = 0;
}

// The bonus's 32x32 picture stands on its feet: it is out of sight once its
// feet are above the top edge or it is wholly past a side.
constexpr double kFieldWidth = 640;
bool outOfSight(const Actor& a) { return a.y < 0 || a.x < -16 || a.x > kFieldWidth + 16; }

int liveChildrenOf(int spawnerSlot) {
    int count = 0;
    for (const Actor& a : game.actors)
        if (a.live != 0 && a.spawnerSlot == spawnerSlot) ++count;
    return count;
}

}  // namespace

void updateTimedSpawner(int slot) {
    Actor& a = actorAt(slot);
    for (const TimedSpawner& spawner : kTimedSpawners) {
        if (spawner.kind != a.kind) continue;
        a.timer += 1;
        if (spawner.second.kind == 0) {
            if (a.timer % kSpawnPeriod == 0) {
                a.timer = 0;
                spawnTimedChild(a, spawner.first);
            }
        } else if (a.timer == kSpawnPeriod) {
            spawnTimedChild(a, spawner.first);
        } else if (a.timer >= 2 * kSpawnPeriod) {
            spawnTimedChild(a, spawner.second);
            a.timer = 0;
        }
        return;
    }
}

void updateScriptedSpawner(int slot) {
    Actor& a = actorAt(slot);
    if (a.kind != 35) return;
    a.timer += 1;
    if (a.spawnInterval < 1 || a.timer % a.spawnInterval != 0) return;
    int entry = a.timer / a.spawnInterval;  // 1-based
    // A 0 kind ends the script and it starts over at its first entry. A
    // script of ten kinds has no end marker: its eleventh entry counts as 0.
    // The 16-bit timer of a long script wraps after about nine minutes and
    // would count its entries from 0 or below, before the script's start:
    // that also starts the script over, so the entry stays within 1..10.
    if (entry < 1 || entry > kSpawnScriptEntries || a.spawnKinds[entry - 1] == 0) {
        a.timer = a.spawnInterval;
        entry = 1;
    }
    const int16_t kind = a.spawnKinds[entry - 1];
    // An empty script has nothing to make (it would only fill the table with
    // actors that do nothing).
    if (kind == 0) return;
    if (liveChildrenOf(slot) >= a.spawnLimit) return;
    const int childSlot = findFreeActorSlot();
    if (childSlot < 0) return;
    playSceneSound(52);
    Actor& c = game.actors[childSlot];
    c.live = 1;
    c.kind = kind;
    c.timer = 0;
    c.x = a.x;
    c.y = a.y;
    c.phase = 0;
    c.spawnerSlot = static_cast<int16_t>(slot);
    c.facing = a.spawnFacings[entry - 1];
    c.age = 0;
    c.dying = 0;
    c.frame = 0;
    c.lifetime = a.spawnLifetimes[entry - 1];
    // Block walkers walk left in phase 1.
    if ((kind == 12 || kind == 16 || kind == 17) && c.facing != 0) c.phase = 1;
    spawnEffect(static_cast<int>(a.x), static_cast<int>(a.y - 16), kEffectSpawnFlash,
                c.facing != 0 ? 1 : 0);
}

void updateHomingBonus(int slot) {
    Actor& a = actorAt(slot);
    if (a.kind != kKindHomingBonus) return;
    a.timer += 1;
    if (a.phase == 0) {
        setHitBox(a, 12, 32, 0);
        const Player& player = game.players[0];
        if (player.x > a.x) {
            a.facing = 1;
            stepX(a, 0.2);
        } else {
            a.facing = 0;
            stepX(a, -0.2);
        }
        a.y += player.y > a.y ? 0.2 : -0.2;
        // Pushed back out of any block it drifted into, 32 pixels at most
        // each way.
        const double column = a.x;
        for (int i = 0; i < 32 && solidAtPoint(column, a.y); ++i) a.y -= 1;
        for (int i = 0; i < 32 && solidAtPoint(column, a.y - 31); ++i) a.y += 1;
        const int row = cellRowOf(a.y - 15);
        for (int i = 0; i < 32 && blockAt(cellColumnOf(a.x - 16), row) != kBlockEmpty; ++i)
            stepX(a, 1);
        for (int i = 0; i < 32 && blockAt(cellColumnOf(a.x + 16), row) != kBlockEmpty; ++i)
            stepX(a, -1);
    } else if (a.phase == kPhaseKnockedOut) {
        // Shot, it flies off the screen, up and away from the way it faced.
        // A shot does not restart its timer, so freeing it when the timer
        // reaches 200 would make a bonus shot late in its life vanish on the
        // spot: its slot is freed once it is out of sight instead, which at
        // five pixels a tick upwards always comes.
        stepX(a, a.facing == 0 ? 5 : -5);
        a.y -= 5;
        if (outOfSight(a)) a.live = 0;
    }
}
