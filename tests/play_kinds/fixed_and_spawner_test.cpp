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

TEST_F(FixedKinds, TheRightFacingCannonFiresRightAndItsShotFliesRight) {
    setCell(15, 13, kBlockBreakable, 100 + 45);  // left face at x = 480
    const int cannon = place(28, 300, kOnFloor);
    for (int tick = 0; tick < 180; ++tick) updateCannon(cannon);
    const int shot = slotOfKind(29);
    ASSERT_GE(shot, 0);
    const Actor& s = game.actors[shot];
    EXPECT_EQ(s.x, 315.0f);
    EXPECT_EQ(s.facing, 1);
    updateCannonShot(shot);
    EXPECT_EQ(s.x, 318.0f) << "three pixels a tick to the right";
    EXPECT_EQ(s.halfWidth, 12);
    EXPECT_EQ(s.height, 20);
    EXPECT_EQ(s.depth, 3);
    while (s.phase == 0) updateCannonShot(shot);
    // Its trailing edge x - 8 reached the block.
    EXPECT_EQ(s.x, 489.0f);
    EXPECT_EQ(cell(15, 13), kBlockEmpty);
    EXPECT_EQ(liveCount(45), 1);
    ASSERT_EQ(effectCount(31), 1);
    EXPECT_EQ(game.effects[0].x, 489.0f - 32);
    EXPECT_EQ(game.effects[0].y, kOnFloor - 16);
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

// Every 180 ticks a timed spawner makes its child at its own position; the
// two-child ones make the second at 360 and start over. The child's slot
// keeps nothing of its last occupant that matters.
TEST_F(Spawners, TimedSpawnersMakeTheirChildrenOnTime) {
    const struct {
        int spawner;
        int tick;
        int kind, phase, facing;
        int timerAfter;
    } cases[] = {
        {36, 180, 12, 1, 1, 0}, {37, 180, 34, 0, 0, 0}, {38, 180, 34, 1, 1, 0},
        {39, 180, 12, 0, 0, 180}, {39, 360, 34, 0, 0, 0},
        {40, 180, 12, 1, 1, 180}, {40, 360, 34, 1, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.spawner << " at " << c.tick);
        clear();
        const int spawner = place(c.spawner, 300, kOnFloor);
        // Slot 1 held a dying creature that faced the other way.
        Actor& old = game.actors[1];
        old.kind = 11;
        old.age = 9;
        old.dying = 1;
        old.phase = 10;
        old.facing = static_cast<int16_t>(1 - c.facing);
        old.timer = 50;
        for (int tick = 1; tick < c.tick; ++tick) updateTimedSpawner(spawner);
        if (c.tick == 360) {
            ASSERT_EQ(liveCount(c.kind), 0);
            for (Actor& a : game.actors)
                if (&a != &game.actors[spawner]) a.live = 0;  // take the first child away
            old.kind = 11;
            old.age = 9;
            old.dying = 1;
            old.phase = 10;
            old.facing = static_cast<int16_t>(1 - c.facing);
        }
        EXPECT_EQ(liveCount(c.kind), 0) << "not before its tick";
        updateTimedSpawner(spawner);
        ASSERT_EQ(old.live, 1);
        EXPECT_EQ(old.kind, c.kind);
        EXPECT_EQ(old.phase, c.phase);
        EXPECT_EQ(old.facing, c.facing);
        EXPECT_EQ(old.timer, 0);
        EXPECT_EQ(old.age, 0);
        EXPECT_EQ(old.dying, 0);
        EXPECT_EQ(old.x, 300.0f);
        EXPECT_EQ(old.y, kOnFloor);
        EXPECT_EQ(game.actors[spawner].timer, c.timerAfter);
    }
}

TEST_F(Spawners, AScriptedChildTakesItsEntrysKindFacingAndLifetimeAndNothingOld) {
    const int slot = scripted(4, 3, {16, 24, 17, 0});
    Actor& s = game.actors[slot];
    const int16_t facings[] = {1, 0, 1};
    const int16_t lifetimes[] = {300, 0, 77};
    for (int i = 0; i < 3; ++i) {
        s.spawnFacings[i] = facings[i];
        s.spawnLifetimes[i] = lifetimes[i];
    }
    const int kinds[] = {16, 24, 17};
    const int phases[] = {1, 0, 1};  // walkers facing left walk in phase 1
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        Actor& old = game.actors[1 + i];
        old.kind = 13;
        old.age = 5;
        old.dying = 1;
        old.frame = 7;
        old.phase = 10;
        old.facing = 1;
        for (int tick = 0; tick < 4; ++tick) updateScriptedSpawner(slot);
        ASSERT_EQ(old.live, 1);
        EXPECT_EQ(old.kind, kinds[i]);
        EXPECT_EQ(old.facing, facings[i]);
        EXPECT_EQ(old.lifetime, lifetimes[i]);
        EXPECT_EQ(old.phase, phases[i]);
        EXPECT_EQ(old.spawnerSlot, slot);
        EXPECT_EQ(old.age, 0);
        EXPECT_EQ(old.dying, 0);
        EXPECT_EQ(old.frame, 0);
        EXPECT_EQ(old.timer, 0);
        EXPECT_EQ(old.x, s.x);
        EXPECT_EQ(old.y, s.y);
        // Its spawn flash above the spawner, facing as the child does.
        const Actor& flash = game.effects[i];
        EXPECT_EQ(flash.kind, 32);
        EXPECT_EQ(flash.x, s.x);
        EXPECT_EQ(flash.y, s.y - 16);
        EXPECT_EQ(flash.facing, facings[i] != 0 ? 1 : 0);
    }
}

TEST_F(Spawners, HomingBonusDriftsAFifthOfAPixelOnEachAxis) {
    const struct {
        int playerX;
        double playerY;
        float dx;
        double dy;
        int facing;
    } cases[] = {{400, 400, 0.2f, 0.2, 1}, {100, 100, -0.2f, -0.2, 0}, {300, 300, -0.2f, -0.2, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.playerX);
        clear();
        const int bonus = place(41, 300, 300);
        game.players[0].x = static_cast<int16_t>(c.playerX);
        game.players[0].y = c.playerY;
        updateHomingBonus(bonus);
        const Actor& a = game.actors[bonus];
        EXPECT_EQ(a.x, static_cast<float>(300 + c.dx));
        EXPECT_DOUBLE_EQ(a.y, 300 + c.dy);
        EXPECT_EQ(a.facing, c.facing);
        EXPECT_EQ(a.halfWidth, 12);
        EXPECT_EQ(a.height, 32);
        EXPECT_EQ(a.depth, 0);
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
