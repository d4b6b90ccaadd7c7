#include "game/play/actor_kinds.h"
#include "game/play/tile_map.h"
#include "tests/play_kinds/actor_world.h"

#include <gtest/gtest.h>

namespace {

using namespace actor_world;

class FixedKinds : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
};

int slotOfKind(int kind) {
    for (int i = 0; i < kActorSlots; ++i)
        if (game.actors[i].live && game.actors[i].kind == kind) return i;
    return -1;
}

TEST_F(FixedKinds, CannonFiresEvery180TicksAndItsShotStopsAtTheFirstBlock) {
    setCell(5, 13, kBlockBreakable);  // right face at x = 191
    const int cannon = place(27, 400, kOnFloor);
    for (int tick = 0; tick < 179; ++tick) updateCannon(cannon);
    EXPECT_EQ(liveCount(29), 0);
    updateCannon(cannon);
    const int shot = slotOfKind(29);
    ASSERT_GE(shot, 0);
    EXPECT_EQ(game.actors[shot].x, 385.0f);
    EXPECT_EQ(game.actors[shot].facing, 0);
    int steps = 0;
    while (game.actors[shot].phase == 0 && steps < 500) {
        updateCannonShot(shot);
        ++steps;
    }
    EXPECT_EQ(game.actors[shot].x, 181.0f) << "stopped when its trailing edge x + 8 met the block";
    EXPECT_EQ(cell(5, 13), kBlockEmpty);
    EXPECT_EQ(effectCount(31), 1);
    for (int tick = 0; tick < 19; ++tick) updateCannonShot(shot);
    EXPECT_EQ(game.actors[shot].live, 1);
    updateCannonShot(shot);
    EXPECT_EQ(game.actors[shot].live, 0);
    for (int tick = 0; tick < 180; ++tick) updateCannon(cannon);
    EXPECT_EQ(liveCount(29), 1) << "and again 180 ticks later";
}

TEST_F(FixedKinds, CannonShotStopsAtStoneWithoutBreakingIt) {
    setCell(5, 13, kBlockSolid);
    const int shot = place(29, 300, kOnFloor, 0);
    while (game.actors[shot].phase == 0) updateCannonShot(shot);
    EXPECT_EQ(cell(5, 13), kBlockSolid);
    EXPECT_EQ(effectCount(31), 0);
}

TEST_F(FixedKinds, CrashingSleeperCrashesOnAnyLandingAndThePlainOneNever) {
    const int plain = place(30, 100, 300);
    const int fragile = place(31, 200, 300);
    for (int tick = 0; tick < 100; ++tick) {
        updateSleeper(plain);
        updateSleeper(fragile);
    }
    EXPECT_EQ(game.actors[plain].phase, 0);
    EXPECT_EQ(game.actors[plain].dying, 0);
    EXPECT_FALSE(game.actors[plain].airborne);
    EXPECT_EQ(game.actors[fragile].phase, 6);
    EXPECT_EQ(game.actors[fragile].dying, 1);
}

class Spawners : public ::testing::Test {
protected:
    void SetUp() override { clear(); }

    int scripted(int interval, int limit, std::initializer_list<int> kinds, int facing = 0) {
        const int slot = place(35, 300, kOnFloor);
        Actor& s = game.actors[slot];
        s.spawnInterval = static_cast<int16_t>(interval);
        s.spawnLimit = static_cast<int16_t>(limit);
        int i = 0;
        for (int kind : kinds) {
            s.spawnKinds[i] = static_cast<int16_t>(kind);
            s.spawnFacings[i] = static_cast<int16_t>(facing);
            ++i;
        }
        return slot;
    }
};

TEST_F(Spawners, ScriptedSpawnerStartsOverAtItsZeroEntryAndKeepsToItsLimit) {
    const int slot = scripted(10, 2, {12, 0}, 1);
    for (int tick = 0; tick < 10; ++tick) updateScriptedSpawner(slot);
    ASSERT_EQ(liveCount(12), 1);
    const Actor& child = game.actors[slotOfKind(12)];
    EXPECT_EQ(child.phase, 1) << "a block walker facing left walks left";
    EXPECT_EQ(child.spawnerSlot, slot);
    EXPECT_EQ(effectCount(32), 1);
    for (int tick = 0; tick < 10; ++tick) updateScriptedSpawner(slot);
    EXPECT_EQ(liveCount(12), 2);
    for (int tick = 0; tick < 50; ++tick) updateScriptedSpawner(slot);
    EXPECT_EQ(liveCount(12), 2);
}

TEST_F(Spawners, LimitZeroOrIntervalZeroNeverSpawns) {
    const int noLimit = scripted(10, 0, {12, 0});
    const int noInterval = scripted(0, 5, {12, 0});
    for (int tick = 0; tick < 100; ++tick) {
        updateScriptedSpawner(noLimit);
        updateScriptedSpawner(noInterval);
    }
    EXPECT_EQ(liveCount(12), 0);
}

TEST_F(Spawners, ChildrenOfAnotherSpawnerDoNotCount) {
    const int first = scripted(10, 1, {12, 0});
    const int second = scripted(10, 1, {16, 0});
    for (int tick = 0; tick < 30; ++tick) {
        updateScriptedSpawner(first);
        updateScriptedSpawner(second);
    }
    EXPECT_EQ(liveCount(12), 1);
    EXPECT_EQ(liveCount(16), 1);
}

TEST_F(Spawners, ScriptOfTenKindsStartsOverAfterItsTenthEntry) {
    const int slot = scripted(1, 100, {43, 43, 43, 43, 43, 43, 43, 43, 43, 44});
    for (int tick = 0; tick < 11; ++tick) updateScriptedSpawner(slot);
    EXPECT_EQ(liveCount(43), 10);
    EXPECT_EQ(liveCount(44), 1);
    EXPECT_EQ(game.actors[slot].timer, 1) << "the eleventh entry counts as the end of the script";
}

TEST_F(Spawners, ATimerThatWrapsStartsTheScriptOverInsteadOfReadingBeforeIt) {
    // Ten kinds and a long interval: the script never reaches its end marker
    // and the 16-bit timer wraps after 32767 ticks, about nine minutes. Its
    // next spawn time then comes at -30000, entry -6, which lies before the
    // script in the record (where the spawner's y is kept).
    const int slot = scripted(5000, 1, {43, 43, 43, 43, 43, 43, 43, 43, 43, 44});
    int spawned = 0;
    for (int tick = 0; tick < 70000; ++tick) {
        updateScriptedSpawner(slot);
        for (int i = 0; i < kActorSlots; ++i) {
            Actor& a = game.actors[i];
            if (i == slot || !a.live) continue;
            ASSERT_TRUE(a.kind == 43 || a.kind == 44) << "kind " << a.kind << " at tick " << tick;
            a.live = 0;
            ++spawned;
        }
    }
    // Six in the first 30000 ticks, the script's start again at tick 35536
    // and every 5000 ticks after it.
    EXPECT_EQ(spawned, 6 + 7);
}

TEST_F(Spawners, FullTableSpawnsNothingAndTheCountGoesOn) {
    const int spawner = place(36, 300, kOnFloor);
    while (place(43, 10, 10) >= 0) {
    }
    for (int tick = 0; tick < 180; ++tick) updateTimedSpawner(spawner);
    EXPECT_EQ(liveCount(12), 0);
    EXPECT_EQ(game.actors[spawner].timer, 0);
    game.actors[50].live = 0;
    for (int tick = 0; tick < 180; ++tick) updateTimedSpawner(spawner);
    ASSERT_EQ(liveCount(12), 1);
    EXPECT_EQ(game.actors[50].kind, 12);
    EXPECT_EQ(game.actors[50].phase, 1);
    EXPECT_EQ(game.actors[50].facing, 1);
}

TEST_F(Spawners, TwoChildSpawnerMakesAWalkerThenAFireWalker) {
    const int spawner = place(40, 300, kOnFloor);
    for (int tick = 0; tick < 180; ++tick) updateTimedSpawner(spawner);
    EXPECT_EQ(liveCount(12), 1);
    EXPECT_EQ(liveCount(34), 0);
    for (int tick = 0; tick < 180; ++tick) updateTimedSpawner(spawner);
    EXPECT_EQ(liveCount(34), 1);
    EXPECT_EQ(game.actors[spawner].timer, 0);
}

TEST_F(Spawners, AShotHomingBonusFliesOffTheScreenWhateverItsAgeAndFreesItsSlot) {
    for (int age : {0, 150, 250, 5000}) {
        SCOPED_TRACE(age);
        clear();
        for (int facing : {0, 1}) {
            const int bonus = place(41, 320, 300, facing, 10);
            game.actors[bonus].timer = static_cast<int16_t>(age);
            game.actors[bonus].dying = 1;
        }
        const Actor& right = game.actors[0];  // facing 0 flies right
        const Actor& left = game.actors[1];
        int ticks = 0;
        while ((right.live || left.live) && ticks < 1000) {
            if (right.live) updateHomingBonus(0);
            if (left.live) updateHomingBonus(1);
            ++ticks;
            if (right.live) {
                ASSERT_EQ(right.x, 320.0f + 5 * ticks);
                ASSERT_EQ(right.y, 300.0 - 5 * ticks);
            }
            if (left.live) ASSERT_EQ(left.x, 320.0f - 5 * ticks);
        }
        // 5 pixels a tick upwards: its feet pass the top edge on tick 61.
        EXPECT_EQ(ticks, 61);
        EXPECT_EQ(right.live, 0);
        EXPECT_EQ(left.live, 0);
    }
}

TEST_F(Spawners, HomingBonusDriftsTowardsThePlayerButNeverIntoABlock) {
    for (int row = 8; row <= 13; ++row) setCell(10, row, kBlockSolid);
    const int bonus = place(41, 250, 300);
    game.players[0].x = 600;
    game.players[0].y = 447;
    for (int tick = 0; tick < 2000; ++tick) {
        updateHomingBonus(bonus);
        const Actor& a = game.actors[bonus];
        ASSERT_FALSE(solidAtPoint(a.x, a.y - 16)) << "tick " << tick;
    }
    EXPECT_GT(game.actors[bonus].x, 250.0f);
}

}  // namespace
