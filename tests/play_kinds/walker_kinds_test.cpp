#include "game/play/actor_kinds.h"
#include "game/play/tile_map.h"
#include "tests/play_kinds/actor_world.h"

#include <gtest/gtest.h>

namespace {

using namespace actor_world;

class Walkers : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
};

TEST_F(Walkers, BlockWalkerTurnsAtStoneWithoutBreakingIt) {
    setCell(6, 13, kBlockSolid);  // its left face at x = 192
    const int slot = place(12, 100, kOnFloor, 0, 0);
    Actor& a = game.actors[slot];
    for (int i = 0; i < 76; ++i) updateBlockWalker(slot);
    EXPECT_EQ(a.x, 176.0f);  // the probe x + 16 has reached the block
    EXPECT_EQ(a.phase, 1);
    EXPECT_EQ(a.frame, 10);
    EXPECT_EQ(cell(6, 13), kBlockSolid);
    for (int i = 0; i < 10; ++i) updateBlockWalker(slot);
    EXPECT_EQ(a.x, 176.0f) << "it stands still for its pause";
    updateBlockWalker(slot);
    EXPECT_EQ(a.x, 175.0f);
    EXPECT_EQ(a.facing, 0);
}

TEST_F(Walkers, BlockWalkerBreaksABreakableBlockAndReleasesItsItem) {
    setCell(6, 13, kBlockBreakable, 100 + 47);
    const int slot = place(12, 100, kOnFloor, 0, 0);
    for (int i = 0; i < 76; ++i) updateBlockWalker(slot);
    EXPECT_EQ(game.actors[slot].phase, 1);
    EXPECT_EQ(cell(6, 13), kBlockEmpty);
    EXPECT_EQ(game.tileMap.breakTimers[6 * kGridRows + 13], 20);
    ASSERT_EQ(liveCount(47), 1);
    for (const Actor& item : game.actors) {
        if (item.live && item.kind == 47) {
            EXPECT_EQ(item.x, 6 * 32 + 16.0f);
            EXPECT_EQ(item.y, 13 * 32 + 31.0);
        }
    }
    EXPECT_EQ(effectCount(30), 1);
}

TEST_F(Walkers, FastWalkerFallsOffALedgeAndLandsOnTheFloor) {
    // A shelf at row 10 from column 2 to 5; the floor below at row 14.
    for (int column = 2; column <= 5; ++column) setCell(column, 10, kBlockSolid);
    const int slot = place(16, 120, 32 * 9 + 31, 0, 0);
    Actor& a = game.actors[slot];
    bool fell = false;
    for (int i = 0; i < 200; ++i) {
        updateBlockWalker(slot);
        fell = fell || a.airborne;
    }
    EXPECT_TRUE(fell);
    EXPECT_FALSE(a.airborne);
    // It lands on the first solid cell under a foot: the floor row.
    EXPECT_LT(a.y + 1, 32.0 * kFloorRow);
    EXPECT_GE(a.y + 2, 32.0 * kFloorRow);
    EXPECT_EQ(a.vy, 0.0);
}

TEST_F(Walkers, FastWalkerExpiresOnlyWhileWalkingLeft) {
    const int right = place(16, 100, kOnFloor, 0, 0);
    const int left = place(16, 500, kOnFloor, 1, 1);
    game.actors[right].lifetime = 5;
    game.actors[left].lifetime = 5;
    for (int i = 0; i < 7; ++i) {
        updateBlockWalker(right);
        updateBlockWalker(left);
    }
    EXPECT_EQ(game.actors[right].live, 1);
    EXPECT_EQ(game.actors[left].live, 0);
    EXPECT_EQ(effectCount(33), 1);
}

TEST_F(Walkers, ChaserHurriesOnlyTowardsAPlayerAtItsHeight) {
    const int slot = place(13, 100, kOnFloor, 0, 0);
    Actor& a = game.actors[slot];
    game.players[0].x = 300;
    // Player feet by height: half a pixel above its own, exactly its own,
    // one pixel above (where she stands on its floor: she lands on the row
    // above her probe, it on its probe's row), two above (off the floor).
    const struct {
        double feet;
        float x;
        int16_t phase;
    } kSteps[] = {
        {kOnFloor - 0.5, 101.0f, 0},
        {kOnFloor, 102.5f, 1},
        {kOnFloor - 1, 104.0f, 1},
        {kOnFloor - 2, 105.0f, 1},
    };
    for (const auto& step : kSteps) {
        game.players[0].y = step.feet;
        updateChaser(slot);
        EXPECT_EQ(a.x, step.x) << "feet " << step.feet;
        EXPECT_EQ(a.phase, step.phase) << "feet " << step.feet;
    }
    game.players[0].y = kOnFloor - 1;
    game.players[0].x = 50;  // behind it now
    updateChaser(slot);
    EXPECT_EQ(a.x, 106.0f);
}

TEST_F(Walkers, ChaserBreaksABreakableWallOnItsTwelfthTickAndTurnsAtTwenty) {
    setCell(5, 13, kBlockBreakable);  // left face at x = 160
    const int slot = place(13, 143, kOnFloor, 0, 0);
    Actor& a = game.actors[slot];
    updateChaser(slot);  // x 144: the wall probe x + 16 reaches the block
    ASSERT_EQ(a.phase, 2);
    for (int tick = 1; tick < 12; ++tick) updateChaser(slot);
    EXPECT_EQ(cell(5, 13), kBlockBreakable);
    updateChaser(slot);
    EXPECT_EQ(cell(5, 13), kBlockEmpty);
    for (int tick = 12; tick < 20; ++tick) updateChaser(slot);
    EXPECT_EQ(a.phase, 0);
    EXPECT_EQ(a.facing, 1);
}

TEST_F(Walkers, ChaserLeavesStoneWallsStanding) {
    setCell(5, 13, kBlockSolid);
    const int slot = place(13, 143, kOnFloor, 0, 0);
    for (int tick = 0; tick < 25; ++tick) updateChaser(slot);
    EXPECT_EQ(cell(5, 13), kBlockSolid);
    EXPECT_EQ(game.actors[slot].facing, 1);
}

TEST_F(Walkers, FireWalkerStopsTenPixelsEarlyAndThrowsAFlameEvenWhenTheBlockIsGone) {
    setCell(6, 13, kBlockBreakable);  // face at x = 192
    const int slot = place(34, 150, kOnFloor, 0, 0);
    Actor& a = game.actors[slot];
    int ticks = 0;
    while (a.phase == 0 && ticks < 100) {
        updateFireWalker(slot);
        ++ticks;
    }
    EXPECT_EQ(a.x, 175.0f) << "x + 17 reaches the block, ten pixels before a wall turn";
    setCell(6, 13, kBlockEmpty);  // broken meanwhile by something else
    for (int i = 0; i < 20; ++i) updateFireWalker(slot);
    EXPECT_EQ(liveCount(33), 1);
    EXPECT_EQ(effectCount(31), 0) << "nothing burns when the block has gone";
    for (int i = 0; i < 20; ++i) updateFireWalker(slot);
    EXPECT_EQ(a.phase, 0);
}

TEST_F(Walkers, FireWalkerBurnsTheBlockAndItsFlameLastsTwentyTicks) {
    setCell(6, 13, kBlockBreakable);
    const int slot = place(34, 150, kOnFloor, 0, 0);
    while (game.actors[slot].phase == 0) updateFireWalker(slot);
    for (int i = 0; i < 20; ++i) updateFireWalker(slot);
    EXPECT_EQ(cell(6, 13), kBlockEmpty);
    EXPECT_EQ(effectCount(31), 1);
    int flame = -1;
    for (int i = 0; i < kActorSlots; ++i)
        if (game.actors[i].live && game.actors[i].kind == 33) flame = i;
    ASSERT_GE(flame, 0);
    EXPECT_EQ(game.actors[flame].x, 175.0f + 28);
    EXPECT_EQ(game.actors[flame].facing, 1);
    int lived = 0;
    while (game.actors[flame].live && lived < 100) {
        updateFlame(flame);
        ++lived;
    }
    EXPECT_EQ(lived, 20);
}

TEST_F(Walkers, FireBreathingWalkerTurnsAtTheEdgeOfItsFloor) {
    for (int column = 2; column <= 5; ++column) setCell(column, 10, kBlockSolid);
    const int slot = place(32, 100, 32 * 9 + 31, 0, 0);
    Actor& a = game.actors[slot];
    double rightmost = 0;
    for (int i = 0; i < 300; ++i) {
        updateFireBreathingWalker(slot);
        rightmost = std::max<double>(rightmost, a.x);
    }
    EXPECT_FALSE(a.airborne);
    EXPECT_EQ(a.y, 32 * 9 + 31.0);
    EXPECT_LE(rightmost, 6 * 32 - 3 + 1);
}

TEST_F(Walkers, FireBreathingWalkerStopsBreathesAtTwentyAndWalksOnAtForty) {
    for (int facing : {0, 1}) {
        SCOPED_TRACE(facing);
        clear();
        // A breakable block on the floor hiding an item, ahead of the walker.
        const int column = facing == 0 ? 6 : 3;
        setCell(column, 13, kBlockBreakable, 100 + 44);
        const int slot = place(32, facing == 0 ? 150 : 170, kOnFloor, facing, 0);
        Actor& a = game.actors[slot];
        int ticks = 0;
        while (a.phase == 0 && ticks < 100) {
            updateFireBreathingWalker(slot);
            ++ticks;
        }
        // It stops as its point x + 17 (or x - 17) reaches the block.
        const float stopX = facing == 0 ? 175.0f : 144.0f;
        ASSERT_EQ(a.x, stopX);
        EXPECT_EQ(a.phase, 1);
        EXPECT_EQ(a.timer, 0);
        for (int tick = 1; tick < 20; ++tick) updateFireBreathingWalker(slot);
        EXPECT_EQ(cell(column, 13), kBlockBreakable) << "not yet at 19";
        updateFireBreathingWalker(slot);
        EXPECT_EQ(cell(column, 13), kBlockEmpty) << "burnt at 20";
        EXPECT_EQ(game.tileMap.breakTimers[column * kGridRows + 13], 20);
        EXPECT_EQ(liveCount(44), 1) << "its item comes out";
        ASSERT_EQ(effectCount(31), 1);
        const Actor& burn = game.effects[0];
        EXPECT_EQ(burn.x, stopX + (facing == 0 ? 32 : -32));
        EXPECT_EQ(burn.y, kOnFloor - 16);
        ASSERT_EQ(liveCount(33), 1);
        const Actor* flame = nullptr;
        for (const Actor& f : game.actors)
            if (f.live && f.kind == 33) flame = &f;
        EXPECT_EQ(flame->x, stopX + (facing == 0 ? 28 : -28));
        EXPECT_EQ(flame->y, kOnFloor + 14);
        EXPECT_EQ(flame->facing, facing == 0 ? 1 : 0) << "it faces back at the walker";
        for (int tick = 21; tick < 40; ++tick) updateFireBreathingWalker(slot);
        EXPECT_EQ(a.phase, 1);
        updateFireBreathingWalker(slot);
        EXPECT_EQ(a.phase, 0) << "walking again at 40";
        EXPECT_EQ(a.timer, 0);
        EXPECT_EQ(a.x, stopX) << "it stood still throughout";
    }
}

TEST_F(Walkers, ChaserWaitsTwentyTicksAtALedgeThenTurnsBack) {
    // The floor ends: row 14 is solid only up to column 9 (x 319).
    for (int column = 10; column < kGridColumns; ++column) setCell(column, kFloorRow, kBlockEmpty);
    const int slot = place(13, 290, kOnFloor, 0, 0);
    Actor& a = game.actors[slot];
    int ticks = 0;
    while (a.phase == 0 && ticks < 100) {
        updateChaser(slot);
        ++ticks;
    }
    EXPECT_EQ(a.x, 303.0f) << "its probe x + 17 has left the floor";
    EXPECT_EQ(a.phase, 3);
    EXPECT_EQ(a.timer, 0);
    for (int tick = 1; tick < 20; ++tick) updateChaser(slot);
    EXPECT_EQ(a.phase, 3);
    EXPECT_EQ(a.x, 303.0f);
    updateChaser(slot);
    EXPECT_EQ(a.phase, 0);
    EXPECT_EQ(a.facing, 1);
    EXPECT_FALSE(a.airborne);
    // Moving left the ledge probe is x - 16.
    clear();
    for (int column = 0; column < 10; ++column) setCell(column, kFloorRow, kBlockEmpty);
    const int left = place(13, 350, kOnFloor, 1, 0);
    while (game.actors[left].phase == 0) updateChaser(left);
    EXPECT_EQ(game.actors[left].x, 335.0f);
}

TEST_F(Walkers, ChaserFallsInPhaseFourAndLandsWithItsFeetOnTheFloorsTopRow) {
    const int slot = place(13, 300, 300, 0, 0);
    Actor& a = game.actors[slot];
    updateChaser(slot);
    EXPECT_TRUE(a.airborne);
    EXPECT_EQ(a.phase, 4);
    int ticks = 0;
    while (a.airborne && ticks < 200) {
        updateChaser(slot);
        ++ticks;
    }
    // Its landing probes sit at its feet (y), not below them.
    EXPECT_EQ(static_cast<int>(a.y), kFloorRow * 32 - 1);
    EXPECT_EQ(a.phase, 0);
    EXPECT_EQ(a.vy, 0.0);
    EXPECT_EQ(a.timer, 0);
    // Over a floor broken this tick it falls through, phase 5, and crashes.
    clear();
    setCell(9, 10, kBlockSolid);
    const int through = place(13, 300, 10 * 32 - 1, 0, 0);
    breakCell(9, 10);
    updateChaser(through);
    EXPECT_EQ(game.actors[through].phase, 5);
    while (game.actors[through].airborne) updateChaser(through);
    EXPECT_EQ(game.actors[through].phase, 6);
    EXPECT_EQ(game.actors[through].dying, 1);
}

TEST_F(Walkers, WalkerWhoseFloorBreaksCrashesAndFliesAway) {
    for (int column = 2; column <= 4; ++column) setCell(column, 10, kBlockSolid);
    const int slot = place(32, 100, kOnFloor - 32 * 4, 0, 0);
    Actor& a = game.actors[slot];
    updateFireBreathingWalker(slot);
    for (int column = 2; column <= 4; ++column) breakCell(column, 10);
    updateFireBreathingWalker(slot);
    ASSERT_TRUE(a.airborne);
    EXPECT_EQ(a.phase, 5);
    int ticks = 0;
    while (a.airborne && ticks < 200) {
        updateFireBreathingWalker(slot);
        ++ticks;
    }
    EXPECT_EQ(a.phase, 6);
    EXPECT_EQ(a.dying, 1);
    for (int kind = 64; kind <= 68; ++kind) EXPECT_EQ(effectCount(kind), 1) << kind;
    for (int i = 0; i < 199; ++i) updateFireBreathingWalker(slot);
    EXPECT_EQ(a.live, 1);
    updateFireBreathingWalker(slot);
    EXPECT_EQ(a.live, 0);
}

}  // namespace
